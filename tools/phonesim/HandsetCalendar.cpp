// The calendar commands. The maker's handsets list the whole calendar with AT+SCHL and take writes
// at an index of their own choosing; the Tarvex family is read slot by slot with AT+SCHR and written
// at the slot the client names. Both delete with AT+SCHD.
#include "phonesim/Fields.h"
#include "phonesim/Handset.h"
#include "phonesim/TarvexDateForm.h"

namespace orvia::phonesim {

namespace {

enum : int
{
    kMemoryFull = 20,
    kInvalidIndex = 21,
    kTextTooLong = 24,
    kBadParameters = 50
};

QString two(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Fields must all be unquoted numbers except the last, a quoted text.
std::optional<QList<int>> numbersThenText(const QList<Field> &f, QString *text)
{
    QList<int> nums;
    for (qsizetype i = 0; i + 1 < f.size(); ++i) {
        const auto v = intField(f.at(i), 0, 9999);
        if (!v)
            return std::nullopt;
        nums << *v;
    }
    if (f.isEmpty() || !f.constLast().quoted)
        return std::nullopt;
    *text = f.constLast().text;
    return nums;
}

std::optional<QDateTime> dateTime(int year, int month, int day, int hour, int minute)
{
    const QDate d(year, month, day);
    const QTime t(hour, minute);
    if (year < 1900 || !d.isValid() || !t.isValid())
        return std::nullopt;
    return QDateTime(d, t, Qt::UTC); // a clock face: the handset knows no zone
}

} // namespace

Handset::Outcome Handset::runCalendar(const AtCommand &c, bool *handled)
{
    using K = AtCommand::Kind;
    *handled = true;
    const bool tarvex = m_model->family == Family::Tarvex;
    if (c.name == QLatin1String("+SCHL") && !tarvex && c.kind == K::Action)
        return velmoraList();
    if (c.name == QLatin1String("+SCHR") && tarvex && c.kind == K::Set)
        return tarvexRead(c.args);
    if (c.name == QLatin1String("+SCHW") && c.kind == K::Set)
        return tarvex ? tarvexWrite(c.args) : velmoraWrite(c.args);
    if (c.name == QLatin1String("+SCHD") && c.kind == K::Set)
        return deleteEvent(c.args);
    *handled = false;
    return Outcome::syntax();
}

// One line, every record ten fields: index, 0, day, month, year, index again, minute, hour, alarm,
// quoted text; records follow each other after a comma. An empty calendar answers OK alone.
Handset::Outcome Handset::velmoraList()
{
    QStringList records;
    for (const auto &[index, e] : m_contents.calendar) {
        const QDate d = e.when.date();
        const QTime t = e.when.time();
        records << QStringLiteral("%1,0,%2,%3,%4,%1,%5,%6,%7,\"%8\"")
                       .arg(QString::number(index), two(d.day()), two(d.month()), QString::number(d.year()),
                            two(t.minute()), two(t.hour()),
                            e.alarm ? QStringLiteral("1") : QStringLiteral("0"), e.text);
    }
    if (records.isEmpty())
        return Outcome::ok();
    return Outcome::ok({QStringLiteral("+SCHL: ") + records.join(u',')});
}

// index (0: the handset chooses), day, month, year, a fixed 00, minute, hour, alarm, "text".
Handset::Outcome Handset::velmoraWrite(const QString &args)
{
    const auto f = splitFields(args, false);
    QString text;
    const auto n = f && f->size() == 9 ? numbersThenText(*f, &text) : std::nullopt;
    if (!n)
        return Outcome::error(kBadParameters);
    const auto when = dateTime(n->at(3), n->at(2), n->at(1), n->at(6), n->at(5));
    if (!when || n->at(7) > 1)
        return Outcome::error(kBadParameters);
    if (text.size() > m_model->calendarTextLength)
        return Outcome::error(kTextTooLong);
    int index = n->at(0);
    const int first = m_model->calendarFirst;
    const int last = first + m_model->calendarCapacity - 1;
    if (index == 0) {
        for (index = first; index <= last && m_contents.calendar.count(index); ++index) {
        }
        if (index > last)
            return Outcome::error(kMemoryFull);
    } else if (index < first || index > last) {
        return Outcome::error(kInvalidIndex);
    }
    m_contents.calendar[index] = CalendarEvent{1, *when, n->at(7) == 1, std::nullopt, text};
    return Outcome::ok();
}

// "+SCHR: slot,kind,alarm,date,time[,alarm time],"text"" in the handset's fixed date and time
// forms; an empty slot answers ERROR, whatever the error mode.
Handset::Outcome Handset::tarvexRead(const QString &args)
{
    const auto f = splitFields(args, false);
    const int first = m_model->calendarFirst;
    const auto slot =
        f && f->size() == 1 ? intField(f->at(0), first, first + m_model->calendarCapacity - 1) : std::nullopt;
    if (!slot)
        return Outcome::plain();
    const auto it = m_contents.calendar.find(*slot);
    if (it == m_contents.calendar.end())
        return Outcome::plain();
    const CalendarEvent &e = it->second;
    QString line = QStringLiteral("+SCHR: %1,%2,%3,%4,%5")
                       .arg(*slot)
                       .arg(e.kind)
                       .arg(e.alarm ? 1 : 0)
                       .arg(tarvexDateText(e.when.date()), tarvexTimeText(e.when.time()));
    if (e.alarm)
        line += u',' + tarvexTimeText(e.alarmTime.value_or(e.when.time()));
    line += QStringLiteral(",\"") + e.text + u'"';
    return Outcome::ok({line});
}

// slot, kind, alarm, year, month, day, hour, minute[, alarm hour, alarm minute], "text".
Handset::Outcome Handset::tarvexWrite(const QString &args)
{
    const auto f = splitFields(args, false);
    QString text;
    const auto n = f ? numbersThenText(*f, &text) : std::nullopt;
    if (!n || n->size() < 3)
        return Outcome::error(kBadParameters);
    const bool alarm = n->at(2) == 1;
    if (n->at(2) > 1 || n->size() != (alarm ? 10 : 8) || n->at(1) < 1 || n->at(1) > 4)
        return Outcome::error(kBadParameters);
    const auto when = dateTime(n->at(3), n->at(4), n->at(5), n->at(6), n->at(7));
    std::optional<QTime> alarmTime;
    if (alarm) {
        alarmTime = QTime(n->at(8), n->at(9));
        if (!alarmTime->isValid())
            return Outcome::error(kBadParameters);
    }
    if (!when)
        return Outcome::error(kBadParameters);
    const int first = m_model->calendarFirst;
    if (n->at(0) < first || n->at(0) > first + m_model->calendarCapacity - 1)
        return Outcome::error(kInvalidIndex);
    if (text.size() > m_model->calendarTextLength)
        return Outcome::error(kTextTooLong);
    m_contents.calendar[n->at(0)] = CalendarEvent{n->at(1), *when, alarm, alarmTime, text};
    return Outcome::ok();
}

// Deleting an empty index is refused, as the handsets refuse reading one.
Handset::Outcome Handset::deleteEvent(const QString &args)
{
    const auto f = splitFields(args, false);
    const auto index = f && f->size() == 1 ? intField(f->at(0), 0, 9999) : std::nullopt;
    if (!index || !m_contents.calendar.erase(*index))
        return Outcome::error(kInvalidIndex);
    return Outcome::ok();
}

} // namespace orvia::phonesim
