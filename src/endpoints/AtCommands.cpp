#include "endpoints/AtCommands.h"

#include "endpoints/CalendarReplies.h"
#include "endpoints/PhoneModels.h"

#include "platform/WallClock.h"

#include <algorithm>

namespace orvia {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + quotableText(text) + QLatin1Char('"');
}

// Event texts: a quote becomes a blank, as the desktop side reads a quote in a subject, so the text
// read back from the phone matches its desktop original and is not taken for a new event.
QString quotedEventText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char('"'), QLatin1Char(' '));
    return QLatin1Char('"') + quotableText(t) + QLatin1Char('"');
}

QString cut(const QString &text, int len)
{
    return text.left(qMax(0, len));
}

// The first family reads the start back as the first time of its text at or after the record moment,
// so only a lead under a day comes back as itself; a longer one would move the event days early. The
// longest lead that reads back keeps the reminder as early as the handset can hold it.
qint32 velmoraLead(qint32 prerem)
{
    constexpr qint32 kLongestLead = 24 * 60 - 1;
    return std::clamp(prerem, 0, kLongestLead);
}

// The handset's clock is a face without a zone: its reminder lies `minutes` before the start on the
// face, and the lead is read back on the face too, so it comes back as itself whatever change of clock
// lies in between (a face in an hour the change skips is still a face the handset holds).
QDateTime faceMinus(const QDateTime &start, qint32 minutes)
{
    return clockFace(start).addSecs(-qint64(minutes) * 60);
}

} // namespace

QString quotableText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c == QLatin1Char('"'))
            c = QLatin1Char('\'');
        else if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return out;
}

QString selectMemoryCommand(const QString &mem)
{
    return QStringLiteral("AT+CPBS=") + QLatin1Char('"') + mem + QLatin1Char('"');
}

QString readEntryCommand(qint16 index)
{
    return QStringLiteral("AT+CPBR=") + QString::number(index);
}

QString writeEntryCommand(const EntryWrite &e)
{
    QString s = QStringLiteral("AT+CPBW=") + QString::number(e.location) + QLatin1Char(',');
    if (e.memoryDigit)
        s += e.memory == QLatin1String("SM") ? QStringLiteral("0,") : QStringLiteral("2,");
    s += quoted(e.data) + QLatin1Char(',');
    if (e.typ >= 1 && e.typ <= 3)
        s += e.data.contains(QLatin1Char('+')) ? QStringLiteral("145") : QStringLiteral("129");
    s += QLatin1Char(',') + quoted(e.name);
    if (e.category)
        s += QLatin1Char(',') + QString::number(categoryFromKind(e.typ));
    return s;
}

QString twoDigits(int n)
{
    return n >= 0 && n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n);
}

QString velmoraEventText(const VelmoraEventWrite &e, int bodyLen)
{
    const QString own = e.title + QLatin1Char(' ') + e.body;
    // A text that itself begins with a time would be read as carrying the start: the real start goes
    // in front of it even without a lead.
    int hour = 0, minute = 0;
    QString text;
    if (velmoraLead(e.prerem) != 0 || leadsWithStartTime(own, hour, minute))
        text = twoDigits(e.dstart.time().hour()) + QLatin1Char(':') + twoDigits(e.dstart.time().minute()) +
               QLatin1Char(' ');
    return cut(text + own, bodyLen);
}

QString velmoraWriteEventCommand(const VelmoraEventWrite &e, int bodyLen)
{
    const QDateTime r = faceMinus(e.dstart, velmoraLead(e.prerem));
    const QDate d = r.date();
    const QTime t = r.time();
    return QStringLiteral("at+schw=0,") + twoDigits(d.day()) + QLatin1Char(',') + twoDigits(d.month()) +
           QLatin1Char(',') + QString::number(d.year()) + QStringLiteral(",00,") + twoDigits(t.minute()) +
           QLatin1Char(',') + twoDigits(t.hour()) + QLatin1Char(',') +
           (e.alarm ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char(',') +
           quotedEventText(velmoraEventText(e, bodyLen));
}

QString tarvexWriteEventCommand(const TarvexEventWrite &e, int bodyLen)
{
    const QString text = cut(e.title + QLatin1Char(' ') + e.body, bodyLen);
    const QDate d = e.dstart.date();
    const QTime t = e.dstart.time();
    QString s = QStringLiteral("at+schw=") + QString::number(e.location) + QLatin1Char(',') +
                QString::number(e.typ) + (e.alarm ? QStringLiteral(",1,") : QStringLiteral(",0,")) +
                QString::number(d.year()) + QLatin1Char(',') + twoDigits(d.month()) + QLatin1Char(',') +
                twoDigits(d.day()) + QLatin1Char(',') + twoDigits(t.hour()) + QLatin1Char(',') +
                twoDigits(t.minute()) + QLatin1Char(',');
    if (e.alarm) {
        const QTime a = faceMinus(e.dstart, e.prerem).time();
        s += twoDigits(a.hour()) + QLatin1Char(',') + twoDigits(a.minute()) + QLatin1Char(',');
    }
    return s + quotedEventText(text);
}

QString deleteEventCommand(qint16 location)
{
    return QStringLiteral("at+schd=") + QString::number(location);
}

QString readSlotCommand(qint16 slot)
{
    return QStringLiteral("at+schr=") + QString::number(slot);
}

} // namespace orvia
