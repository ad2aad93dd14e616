#pragma once
// An appointment of the desktop store: one iCalendar file with one event (plus its exceptions), kept as
// the parsed calendar so that everything the program does not manage is written back unchanged.
// Times the program writes are floating local times; zoned and UTC times are read as local times.
// A zone is found by its IANA name, else in the file's own VTIMEZONE block, else by its Windows name; a
// time in a zone none of them knows is read as the clock time it shows.
#include "platform/pim/PimItem.h"
#include "platform/pim/RecurrencePattern.h"

#include <QDateTime>

struct icalcomponent_impl;

namespace orvia::pim {

class AppointmentItem : public PimItem
{
public:
    ~AppointmentItem() override;
    AppointmentItem(const AppointmentItem &) = delete;
    AppointmentItem &operator=(const AppointmentItem &) = delete;

    static std::shared_ptr<AppointmentItem> fromData(const QByteArray &data); // throws RuntimeError 4096
    // An appointment, or for a file that holds only a task or a journal entry an item of that kind;
    // throws RuntimeError 4096 for anything else.
    static std::shared_ptr<PimItem> calendarItemFromData(const QByteArray &data);
    static std::shared_ptr<AppointmentItem> createNew();

    QString TypeName() const override { return QStringLiteral("AppointmentItem"); }
    qint32 Class() const override { return ClassAppointment; }

    QString subject() const;
    void setSubject(const QString &text);
    QString body() const;
    void setBody(const QString &text);
    QDateTime start() const;
    void setStart(const QDateTime &when);
    QDateTime end() const;
    void setEnd(const QDateTime &when);
    // The start as the local clock's face (zone-free, as clockFace gives it): a floating time as written,
    // even one the clock skips that day; a zoned or UTC time as the face of its moment here.
    QDateTime startFace() const;
    // A floating start or end at exactly this face (zone-free), even one the clock skips that day: the
    // rule for skipped faces places each day of a series on its own.
    void setStartFace(const QDateTime &face);
    void setEndFace(const QDateTime &face);
    bool AllDayEvent() const;
    // The zone a start or end time names that cannot be resolved (that time is read as the clock time it
    // shows); empty when there is none.
    QString unresolvedZone() const;
    // The file held lines the calendar library could not read (such a file is never rewritten).
    bool holdsUnreadableLines() const { return m_hadErrors; }
    bool ReminderSet() const;
    void setReminderSet(bool on);
    qint32 ReminderMinutesBeforeStart() const;
    void setReminderMinutesBeforeStart(qint32 minutes);
    RecurrencePattern &GetRecurrencePattern() { return m_pattern; }
    // A private property of the event ("X-" name, matched case-blind); empty when absent.
    QString extraProperty(const QByteArray &name) const;
    // Sets it; an empty value removes it.
    void setExtraProperty(const QByteArray &name, const QString &value);

    QString uidText() const { return uid(); }

protected:
    QByteArray serialize() const override;
    QString uid() const override;
    void setUid(const QString &uid) override;
    QString fileExtension() const override { return QStringLiteral(".ics"); }
    void beforeSave() override;

private:
    AppointmentItem(icalcomponent_impl *root, icalcomponent_impl *event, bool hadErrors);
    icalcomponent_impl *reminderAlarm() const;
    QDateTime endFace() const;
    void applyPattern();

    icalcomponent_impl *m_root;
    icalcomponent_impl *m_event;
    bool m_hadErrors;
    qint32 m_minutes = 15;
    RecurrencePattern m_pattern;
};

} // namespace orvia::pim
