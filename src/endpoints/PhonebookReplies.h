#pragma once
// Pure parsers of the phonebook replies. A line that cannot hold what is expected throws the
// RuntimeError of the failed conversion, so the caller can end the operation cleanly.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace orvia {

struct MemoryStatus
{
    bool handset = false; // the line names "ME"; otherwise it is the SIM card
    qint16 used = 0;
    qint16 total = 0;
};

// Every "+CPBS:" line of a reply to "AT+CPBS?".
QList<MemoryStatus> parseMemoryStatus(const QStringList &lines);

struct PhonebookEntry
{
    qint16 location = 0;
    QString number;
    QString name;
    qint16 typ = 1;
};

// Every "+CPBR:" line of a reply to "AT+CPBR=". With `categories`, the digit after the name gives the
// kind of number; a line without it reads as kind 1.
QList<PhonebookEntry> parsePhonebookEntries(const QStringList &lines, bool categories);
PhonebookEntry parsePhonebookLine(const QString &line, bool categories);

} // namespace orvia
