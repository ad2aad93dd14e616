#pragma once
// A random but reproducible pair of contents for one handset model: desktop contacts and events (written
// as a vdir tree) and handset phonebook and calendar entries, drawn from the kinds of text that have
// made whole runs diverge before.
#include "phonesim/HandsetContents.h"
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace orvia::test::convergence {

// Kinds of text the generator may draw. Each can be switched off alone, so a known open fault does not
// hide every other failure while it is being mended; the defaults are what the test and the long form use.
struct TextClasses
{
    bool velmoraDayReminders = true; // reminders of a day or more on the Velmora family
    bool velmoraTimeTitles = true;   // event titles starting "HH:MM" on the Velmora family
    bool keywordTitles = true;       // plain event titles whose first word is a kind keyword
    bool quotedEmails = true;        // e-mail addresses holding a double quote
    bool non1252Names = true;        // contact names outside Windows-1252
    bool paddedNames = true;         // full names with leading or trailing blanks
    bool twoNumbersOfOneKind = true; // a desktop contact with two numbers of one kind
    bool sharedPrefixNames = true;   // different contacts sharing their first 12 characters
    bool non1252Titles = true;       // event titles outside Windows-1252
    // Calendar times and texts.
    bool clockChangeTimes = true;    // event times and reminder moments in the hour the run's zone skips
                                     // or repeats, as they stand (never moved aside)
    bool emptyTitles = true;         // events without a title
    bool non1252Descriptions = true; // event descriptions outside Windows-1252
    bool yearlySkippedFaces = true;  // yearly events first dated at a face the run's zone skips in
                                     // another year: a desktop birthday years back, a phone one ahead
    // Contact texts.
    bool decomposedLetters = true; // desktop names and addresses with decomposed letters (NFD)
    bool dialStrings = true;       // numbers with pause letters, "*" and "#" on both sides
    bool codePageCards = true;     // vCard 2.1 cards in the Windows code page without a charset
    bool extensionNumbers = true;  // desktop numbers with extensions and trunk zeros in their usual
                                   // spellings; phone numbers with pauses in a SIM card's other forms
    // Calendar files of other desktops' programs.
    bool fileZones = true;       // desktop events in a zone only the file defines (a display name and a
                                 // VTIMEZONE block with summer-time rules)
    bool unbalancedFiles = true; // desktop files whose BEGIN and END lines do not pair up

    static TextClasses all();
};

// The kind keywords of every language of the program's phrase table.
struct Keywords
{
    QStringList meeting, call, birthday;
};

struct DesktopContact
{
    QString uid;
    QString fullName;
    QList<QPair<QString, QString>> numbers; // vCard TEL type, number as written
    QStringList emails;
    // 0: vCard 3.0 in UTF-8; 1: vCard 2.1 in the Windows code page, no charset named; 2: the same with
    // the name quoted-printable.
    int codePage = 0;
};

struct DesktopEvent
{
    QString uid;
    QString summary; // none when empty
    QDateTime start; // the clock face, floating (held as a UTC value, so a face the zone skips stays)
    int minutes = 30;
    std::optional<int> reminder; // minutes before the start
    bool allDay = false;
    bool yearly = false;
    QString description;
    // A time in a zone the file defines: `start` is the face in that zone, `zoneId` its TZID, `zoneBlock`
    // its VTIMEZONE block and `sameRulesAs` an IANA zone with the same rules over the years drawn.
    QString zoneId = {};
    QByteArray zoneBlock = {};
    QByteArray sameRulesAs = {};
    // A damaged file: its whole text, and whether no reader can take an event from it.
    QByteArray damagedFile = {};
    bool refused = false;
};

struct PhoneEntry
{
    QString memory; // "ME" or "SM"
    phonesim::PhonebookEntry entry;
};

struct World
{
    quint32 seed = 0;
    QString model;
    QString fill;   // "full", "nearly full" or "roomy"
    QString locale; // the regional settings of the runs
    int meCapacity = 0, simCapacity = 0;
    QList<DesktopContact> contacts;
    QList<DesktopEvent> events;
    QList<PhoneEntry> phoneEntries;
    QList<phonesim::CalendarEvent> phoneEvents;

    int itemCount() const;
    World without(int item) const; // the same world less one item (contacts, events, entries, then events)
    QString describeItem(int item) const;
};

// The model and fill follow from the seed so that consecutive seeds cover every model and fill.
World generateWorld(quint32 seed, const TextClasses &classes, const Keywords &words, const QDateTime &now);

// Adds the calendar files other desktops' programs leave: events in zones the file defines, damaged files.
void drawOtherDesktopsFiles(World &w, const TextClasses &classes, const QDateTime &now);

// vCard and iCalendar texts of the desktop items, as a user's tools would have written them.
QByteArray vcardOf(const DesktopContact &c);
QByteArray icsOf(const DesktopEvent &e);
QByteArray zonedIcsOf(const DesktopEvent &e); // for an event in a file's own zone, or a damaged file

} // namespace orvia::test::convergence
