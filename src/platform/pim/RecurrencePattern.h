#pragma once
// The repeat rule of an appointment, in the groupware's terms: a kind (5 = every year) and the first and
// last day of the series. Changing any of it rewrites the event's RRULE when the item is saved.
#include <QDate>
#include <QtGlobal>

namespace orvia::pim {

enum RecurrenceKind : qint32
{
    RecursNone = -1,
    RecursDaily = 0,
    RecursWeekly = 1,
    RecursMonthly = 2,
    RecursMonthNth = 3,
    RecursYearly = 5,
    RecursYearNth = 6,
};

class RecurrencePattern
{
public:
    qint32 RecurrenceType() const { return m_type; }
    void setRecurrenceType(qint32 type); // throws RuntimeError 5 for an unknown kind
    QDate PatternStartDate() const { return m_start; }
    void setPatternStartDate(const QDate &date)
    {
        m_start = date;
        m_changed = true;
    }
    QDate PatternEndDate() const { return m_end; }
    void setPatternEndDate(const QDate &date)
    {
        m_end = date;
        m_changed = true;
    }

private:
    friend class AppointmentItem;
    qint32 m_type = RecursNone;
    QDate m_start;
    QDate m_end;
    bool m_changed = false;
};

} // namespace orvia::pim
