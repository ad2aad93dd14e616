#pragma once
// The details text of a run: notices the user can read after the run (entries a side did not take,
// read errors), kept in globals().gDetails.
#include <QString>

namespace orvia {

// Each notice is one line: the names of items in it come from other programs and the phone, and a
// line break or other control character of theirs is written out (visibleText), never taken as is.

// Appends the translated "Details for", a blank, `name` (each "Outlook" marked "Outlook®"), ": ",
// `text` and CR LF.
void AddDetails(const QString &name, const QString &text);
// Appends `heading`, ": ", the description of an item that could not be read, and CR LF.
void AddReadError(const QString &heading, const QString &description);

} // namespace orvia
