#pragma once
// What a simulated handset holds: its model, both phonebook memories and its calendar. Plain values,
// compared whole by tests.
#include <QDateTime>
#include <QString>
#include <map>
#include <optional>

namespace orvia::phonesim {

struct PhonebookEntry
{
    QString number;          // a number, or an e-mail address (category 3)
    std::optional<int> type; // 129, 145, ...; empty when written with an empty type field
    QString name;
    int category = 0; // extended phonebooks only: 0 mobile/other, 1 work, 2 home, 3 e-mail
    bool operator==(const PhonebookEntry &) const = default;
};

struct Memory
{
    int capacity = 0;
    std::map<int, PhonebookEntry> entries; // by location, 1-based
    bool operator==(const Memory &) const = default;
    int used() const { return static_cast<int>(entries.size()); }
    int firstFree() const; // 0 when full
};

struct CalendarEvent
{
    int kind = 1;   // 1 event, 2 call, 3 meeting, 4 birthday (kept by the Tarvex family)
    QDateTime when; // the record's date and time (minutes): a clock face, held as a UTC value
    bool alarm = false;
    std::optional<QTime> alarmTime; // the Tarvex family's alarm time of day
    QString text;
    // Equal faces are equal records, however the date and time were made.
    bool operator==(const CalendarEvent &o) const
    {
        return kind == o.kind && when.date() == o.when.date() && when.time() == o.when.time() &&
               alarm == o.alarm && alarmTime == o.alarmTime && text == o.text;
    }
};

struct HandsetContents
{
    QString model; // a code of the model table
    QString imei = QStringLiteral("351234567890126");
    QString imsi = QStringLiteral("262019876543210");
    bool simReady = true;
    // The letter in which the SIM card hands back a pause written to it ("p", "P" or ","): it keeps one
    // code for any of them. Empty: numbers read back as written.
    QString simPause;
    Memory sim;                            // "SM"
    Memory me;                             // "ME"
    std::map<int, CalendarEvent> calendar; // by index
    bool operator==(const HandsetContents &) const = default;

    // Empty contents for a model of the table, with its default capacities. An unknown code gives
    // the contents of the first model with `model` set to the code (check with findModel first).
    static HandsetContents forModel(const QString &code);
    Memory *memory(const QString &name); // "SM" or "ME" (case-insensitive), nullptr otherwise
};

} // namespace orvia::phonesim
