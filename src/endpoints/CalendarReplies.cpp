#include "endpoints/CalendarReplies.h"

#include "common/ReplyParsing.h"
#include "platform/RuntimeError.h"
#include "platform/WallClock.h"

namespace orvia {

namespace {

const QString kComma = QStringLiteral(",");
const QString kQuote = QStringLiteral("\"");

bool twoDigitsAt(const QString &s, qsizetype at, int limit, int &value)
{
    if (at + 1 >= s.size())
        return false;
    const QChar a = s.at(at), b = s.at(at + 1);
    if (a < QLatin1Char('0') || a > QLatin1Char('9') || b < QLatin1Char('0') || b > QLatin1Char('9'))
        return false;
    value = (a.unicode() - '0') * 10 + (b.unicode() - '0');
    return value < limit;
}

// The text between the n-th and the (n+1)-th comma (quote-aware); up to the end when there is no
// further comma. Throws when the n-th comma is missing.
QString fieldText(const QString &line, qint16 n)
{
    const qint16 from = FindSeparator(line, kComma, n);
    if (from <= 0)
        throwError(ErrInvalidArgument);
    const qint16 to = FindSeparator(line, kComma, qint16(n + 1));
    return to > 0 ? line.mid(from, to - from - 1) : line.mid(from);
}

} // namespace

QList<PhoneEvent> parseVelmoraCalendarList(const QString &text)
{
    QList<PhoneEvent> out;
    QString left = text;
    while (FindSeparator(left, kComma, 1) > 0) {
        PhoneEvent e;
        e.location = GetIntField(left, 0);
        const int day = GetIntField(left, 2);
        const int month = GetIntField(left, 3);
        const int year = GetIntField(left, 4);
        e.indexMismatch = GetIntField(left, 5) != e.location;
        const int minute = GetIntField(left, 6);
        const int hour = GetIntField(left, 7);
        e.alarm = GetIntField(left, 8) != 0;
        QString title = GetQuotedField(left, 9);

        // Drop the record: what follows its closing quote and the comma after it.
        const qint16 q2 = FindSeparator(left, kQuote, 2);
        if (q2 <= 0)
            throwError(ErrInvalidArgument);
        left = left.mid(q2 + 1);

        const QDate date(year, month, day);
        const QTime time(hour, minute);
        if (!date.isValid() || !time.isValid())
            throwError(ErrInvalidArgument);
        // The handset holds clock faces: the lead is counted on the face, as it was written, and only
        // the start becomes a moment.
        const QDateTime t1(date, time, Qt::UTC);
        QDateTime t2 = t1;
        int h = 0, m = 0;
        if (leadsWithStartTime(title, h, m)) {
            t2 = QDateTime(date, QTime(h, m), Qt::UTC);
            if (t2 < t1)
                t2 = t2.addDays(1);
            e.prerem = qint32(faceMinutes(t1, t2));
            title = title.mid(6);
        }
        e.face = t2;
        e.dstart = faceMoment(t2);
        e.typ = 1;
        e.title = title;
        out.append(e);
    }
    return out;
}

bool leadsWithStartTime(const QString &text, int &hour, int &minute)
{
    return text.size() >= 5 && text.at(2) == QLatin1Char(':') && twoDigitsAt(text, 0, 24, hour) &&
           twoDigitsAt(text, 3, 60, minute);
}

QDate tarvexDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *form : {"yyyy/MM/dd", "yyyy-MM-dd", "yyyy.MM.dd", "dd.MM.yyyy", "dd/MM/yyyy", "yyyy/M/d",
                             "d.M.yyyy", "d/M/yyyy"}) {
        const QDate d = QDate::fromString(t, QLatin1String(form));
        if (d.isValid())
            return d;
    }
    throwError(ErrTypeMismatch);
}

QTime tarvexTime(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *form : {"HH:mm", "HH:mm:ss", "H:mm", "H:mm:ss"}) {
        const QTime tm = QTime::fromString(t, QLatin1String(form));
        if (tm.isValid())
            return tm;
    }
    throwError(ErrTypeMismatch);
}

std::optional<PhoneEvent> parseTarvexCalendarEntry(const QString &line)
{
    if (line == QLatin1String("ERROR"))
        return std::nullopt;
    PhoneEvent e;
    e.location = GetIntField(line, 0);
    e.typ = GetIntField(line, 1);
    e.alarm = GetIntField(line, 2) != 0;
    const QDate date = tarvexDate(fieldText(line, 3));
    const QTime time = tarvexTime(fieldText(line, 4));
    e.face = QDateTime(date, time, Qt::UTC);
    e.dstart = faceMoment(e.face);
    if (e.alarm) {
        const QTime alarmAt = tarvexTime(fieldText(line, 5));
        // Only the alarm's time of day is kept, so it is the last such time before the event: an alarm
        // at 23:50 for an event at 00:10 rings 20 minutes before it, not 23 hours 40 minutes after.
        e.prerem = qint32(alarmAt.secsTo(time) / 60);
        if (e.prerem < 0)
            e.prerem += 24 * 60;
        e.title = GetQuotedField(line, 6);
    } else {
        e.title = GetQuotedField(line, 5);
    }
    return e;
}

} // namespace orvia
