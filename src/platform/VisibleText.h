#pragma once
// Text another program chose (a file or folder name, a contact's name, an event's subject, a reply)
// on its way into the log, the run's details or an error's description: its control characters are
// written out, so that it stays on its own line and cannot pass for a line or notice of ours.
#include <QString>
#include <QStringView>

namespace orvia {

// CR, LF and TAB become \r, \n and \t, every other control character \xNN; the line and paragraph
// separators and the bidirectional embeddings, overrides and isolates become \uNNNN. Everything else,
// backslashes included, stays as it is.
QString visibleText(QStringView text);
// The same for each line of a text whose lines end in CR LF (a store's text form): the line ends stay.
QString visibleLines(QStringView text);

} // namespace orvia
