#pragma once
// The command lines both drivers send, composed as text (without the line end).
#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace orvia {

// A text that goes between double quotes on a command line: a double quote would end the field early
// and CR or LF would end the command, so they become an apostrophe and blanks. Same length as the input.
QString quotableText(const QString &text);

QString selectMemoryCommand(const QString &mem); // AT+CPBS="SM"
QString readEntryCommand(qint16 index);          // AT+CPBR=7

struct EntryWrite
{
    QString name;
    qint16 location = 0;
    QString memory;           // "SM" or "ME"
    QString data;             // number or e-mail address
    qint16 typ = 1;           // 1..3 numbers, 4 e-mail
    bool memoryDigit = false; // the second family puts 0 (SIM) or 2 (handset) after the location
    bool category = false;    // extended phonebook: category digit after the name
};
QString writeEntryCommand(const EntryWrite &e);

// Two digits at least, a leading zero below 10.
QString twoDigits(int n);

// The first family's calendar write: the record moment is the reminder moment (a lead of a day or more
// is cut to just under a day), and the start time leads the text when it differs or when the text
// itself begins with a time.
struct VelmoraEventWrite
{
    QDateTime dstart;
    qint32 prerem = 0;
    bool alarm = false;
    QString title;
    QString body;
};
QString velmoraEventText(const VelmoraEventWrite &e, int bodyLen);
QString velmoraWriteEventCommand(const VelmoraEventWrite &e, int bodyLen);

// The second family's calendar write: event date and time, and the alarm's time of day when set.
struct TarvexEventWrite
{
    qint16 location = 0;
    qint16 typ = 1;
    QDateTime dstart;
    qint32 prerem = 0;
    bool alarm = false;
    QString title;
    QString body;
};
QString tarvexWriteEventCommand(const TarvexEventWrite &e, int bodyLen);

QString deleteEventCommand(qint16 location); // at+schd=3
QString readSlotCommand(qint16 slot);        // at+schr=3

} // namespace orvia
