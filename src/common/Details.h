#pragma once
// The details text of a run: notices the user can read after the run (entries a side did not take,
// read errors), kept in globals().gDetails.
#include <QString>

namespace orvia {

// Appends the translated "Details for", a blank, `name` (each "Outlook" marked "Outlook®"), ": ",
// `text` and CR LF.
void AddDetails(const QString &name, const QString &text);

} // namespace orvia
