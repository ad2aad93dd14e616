#include "common/CalendarText.h"

#include "data/ZeroDateTime.h"
#include "platform/RuntimeError.h"
#include "platform/WallClock.h"

namespace orvia {

namespace {

// The locale's short date with the year widened to four digits, so the text reads back unchanged.
QString dateFormat(const QLocale &loc)
{
    QString f = loc.dateFormat(QLocale::ShortFormat);
    if (!f.contains(u"yyyy"))
        f.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return f;
}

// Drops the time-zone field (an unquoted 't'), which a local date-time does not need.
QString withoutTimeZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (c == u't' && !quoted)
            continue;
        out += c;
    }
    return out.trimmed();
}

// The locale's short time with seconds added after the minutes; any time-zone part is dropped.
QString timeFormat(const QLocale &loc)
{
    QString f = withoutTimeZone(loc.timeFormat(QLocale::ShortFormat));
    if (!f.contains(u's')) {
        const qsizetype m = f.lastIndexOf(u"mm");
        if (m >= 0) {
            // Same separator as between hours and minutes ("H.mm" gets ".ss").
            const QChar sep = m > 0 && !f.at(m - 1).isLetter() ? f.at(m - 1) : QChar(u':');
            f.insert(m + 2, sep + QStringLiteral("ss"));
        } else
            f = QStringLiteral("HH:mm:ss");
    }
    return f;
}

} // namespace

QString Format2(qint16 &i)
{
    QString s = QString::number(i);
    if (i >= 0 && i < 10)
        s.prepend(u'0');
    return s;
}

bool SameMinute(QDateTime &d1, QDateTime &d2)
{
    const QDate a = d1.date(), b = d2.date();
    const QTime ta = d1.time(), tb = d2.time();
    return ta.minute() == tb.minute() && ta.hour() == tb.hour() && a.day() == b.day() &&
           a.month() == b.month() && a.year() == b.year();
}

QLocale regionalLocale()
{
    return QLocale();
}

QString DateTimeToText(const QDateTime &dt)
{
    const QLocale loc = regionalLocale();
    // A value that was never set counts as the zero date-time, so its text still reads back.
    const QDateTime v = dt.isValid() ? dt : zeroDateTime();
    const QDate d = v.date();
    const QTime t = v.time();
    if (d == zeroDate())
        return loc.toString(t, timeFormat(loc));
    const QString date = loc.toString(d, dateFormat(loc));
    if (t == QTime(0, 0))
        return date;
    return date + u' ' + loc.toString(t, timeFormat(loc));
}

QDateTime TextToDateTime(const QString &text)
{
    const QLocale loc = regionalLocale();
    const QString s = text.trimmed();
    const QString df = dateFormat(loc), tf = timeFormat(loc);
    // Date and time are read apart, so a time the local clock skips or repeats follows the one rule
    // for such times instead of failing.
    for (qsizetype at = s.indexOf(u' '); at > 0; at = s.indexOf(u' ', at + 1)) {
        const QDate d = loc.toDate(s.left(at), df);
        const QTime t = d.isValid() ? loc.toTime(s.mid(at + 1), tf) : QTime();
        if (t.isValid())
            return localMoment(d, t);
    }
    const QDate d = loc.toDate(s, df);
    if (d.isValid())
        return localMoment(d, QTime(0, 0));
    const QTime t = loc.toTime(s, tf);
    if (t.isValid())
        return localMoment(zeroDate(), t);
    throwError(ErrTypeMismatch);
}

} // namespace orvia
