#pragma once
// Whole runs over one generated world: three contacts runs and three calendar runs between the
// simulated handset and a temporary desktop tree, and what must hold afterwards.
//
// - Every run ends with "Data exchange successfully completed.".
// - After the first contacts run and the first calendar run, no later run changes a byte of the
//   desktop tree or a field of the handset.
// - No side holds one item twice: the same name under two contacts, one datum twice in one contact,
//   one phone entry twice, or two events of one kind, start minute and title.
// - Every datum and every event one side holds after the first pair is on the other side too (a
//   contact datum under a name that is the same name, or the phone's cut of it of at least 12
//   characters; an event at the same minute, of the same kind, with the same title or the phone's cut
//   of it), unless the first run of its kind gave a notice for it: its details text names the datum,
//   the event's title or its start as the details show dates, or says up to which date events were
//   synchronised and the event lies after every event the phone holds. A desktop all-day event must
//   be named in the details of every calendar run.
#include "convergence/ConvergenceWorld.h"
#include <QStringList>

namespace orvia::test::convergence {

struct Verdict
{
    QStringList failures; // each one line of what broke, then the texts involved
    bool ok() const { return failures.isEmpty(); }
};

// The keyword lists of the program's language file; empty lists when the file cannot be read.
Keywords loadKeywords(const QString &languageFile);

// The fixed moment at which the runs start.
QDateTime runStart();

Verdict checkWorld(const World &world, const Keywords &words);

// The world with every item removed whose removal keeps some failure: the texts a failure needs.
World reduceWorld(const World &world, const Keywords &words);

QString describeWorld(const World &world);

} // namespace orvia::test::convergence
