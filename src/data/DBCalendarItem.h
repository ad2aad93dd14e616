#pragma once
// One calendar event, from either side.
#include "data/EventKind.h"
#include "data/Operation.h"
#include "data/ZeroDateTime.h"

#include <QDateTime>
#include <QString>

namespace orvia {

class DBCalendarItem
{
public:
    qint16 location = 0;               // storage index on the phone; 0 for none
    QDateTime dstart = zeroDateTime(); // start, local, seconds kept
    QDateTime dend = zeroDateTime();   // end; the zero date-time for events read from a phone
    bool alarm = false;                // a reminder is set
    qint32 prerem = 0;                 // reminder lead time in minutes before dstart
    QString body;
    Operation operation = Operation::None;
    QString title;
    EventKind typ{}; // 0 until set
    // The start's clock face as its side holds it (zone-free, as clockFace gives it) where dstart
    // cannot show it: a face the clock skips on that day. Invalid otherwise. Not in the text form.
    QDateTime skippedFace;

    // The start's clock face as its side holds it: a yearly event keeps it for the years that show it.
    QDateTime startFace() const;
    // Keeps `face` as the start's face where dstart does not show it, and forgets it where it does.
    void keepStartFace(const QDateTime &face);

    // location, dstart, dend, alarm (1/0), prerem, typ, "title", "body", operation; CR LF at the end.
    // Dates are in the regional text form, title and body escaped and quoted.
    QString GetDataText() const;
    // Reads such a line (its line end may be left on). Throws type mismatch for a field that cannot be
    // converted and invalid argument for a missing field; fields read before keep their new values.
    void SetDataText(const QString &s);
};

} // namespace orvia
