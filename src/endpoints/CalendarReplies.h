#pragma once
// Pure parsers of the calendar replies of both families. Malformed text throws a RuntimeError.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace orvia {

struct PhoneEvent
{
    qint16 location = 0;
    QDateTime dstart;
    QDateTime face; // the start as the handset's clock shows it, zone-free (a skipped face stays)
    bool alarm = false;
    qint32 prerem = 0;
    qint16 typ = 1;
    QString title;
    bool indexMismatch = false; // the record's repeated index differed from its index
};

// The first family keeps every event on one line: ten fields per record (index, unused, day, month,
// year, index again, minute, hour, alarm, quoted text), records separated by commas. The record's
// moment is the reminder; a text starting "HH:MM" carries the event's start.
QList<PhoneEvent> parseVelmoraCalendarList(const QString &text);

// True when a first-family text begins with a start time ("HH:MM" and one separating character):
// `hour` and `minute` receive it.
bool leadsWithStartTime(const QString &text, int &hour, int &minute);

// The second family answers one slot: index, kind, alarm flag, date, time, [alarm time,] quoted text.
// "ERROR" (an empty slot) gives nothing.
std::optional<PhoneEvent> parseTarvexCalendarEntry(const QString &line);

// The handset's own date and time forms, read the same whatever the desktop's regional settings:
// dates "yyyy/MM/dd" (also accepted: "yyyy-MM-dd", "yyyy.MM.dd", "dd.MM.yyyy", "dd/MM/yyyy"), times
// "HH:mm" (also "HH:mm:ss", one-digit hours). Invalid values throw.
QDate tarvexDate(const QString &text);
QTime tarvexTime(const QString &text);

} // namespace orvia
