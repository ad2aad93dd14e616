#pragma once
// Whole runs over one generated world: three contacts runs and three calendar runs between the
// simulated handset and a temporary desktop tree, and what must hold afterwards.
//
// - Every run ends with "Data exchange successfully completed.".
// - After the first contacts run and the first calendar run, no later run changes a byte of the
//   desktop tree or a field of the handset.
// - No side holds one item twice: one datum twice under one name, or two events of one kind, start
//   minute and title.
// - Reads back: every datum and every coming event that one side holds after the first pair (as the
//   second runs read the sides) is on the other side too, or is noticed.
//   On the other side means: a contact datum of the same kind and text under the same name, or under
//   the phone's cut of it (at least its first 12 characters, trimmed), a double quote standing as an
//   apostrophe, a home or work number of a phone without kinds under the name with "#H" or "#W"; an
//   event at the same minute (a yearly one on the same day of the year and time, 29 February meeting
//   1 March), of the same kind where the phone keeps kinds, with the same title (on the phone the title
//   and the body joined by a blank) up to trailing blanks, or the phone's cut of it of at least 20
//   characters; and that event has a reminder exactly when the item has one. A birthday and an event of
//   the same day of the year whose titles begin one another are one event to the program, whatever their
//   kinds, times and reminders: each stands for the other.
//   Noticed means: the details text of the first run of its kind contains the datum's text, or the
//   event's title, or its start (a yearly event's next anniversary too) as the details write dates, or
//   says "Events sync until" a moment at or before that start. An e-mail address of a contact
//   without a number needs neither, and past events stay where they are.
// - Every calendar run's details name each desktop all-day event (its title up to trailing blanks).
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
