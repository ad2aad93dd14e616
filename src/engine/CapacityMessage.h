#pragma once
// What the user is told when a desktop folder holds more than a run can: how many it holds, how many a
// run can hold, that nothing was changed, and what to do about it.
#include <QString>
#include <functional>

namespace orvia {

class RunCapacityError;

// The message's lines, each English text passed through `tr` (the translation for the window, the
// text itself for the log).
QString capacityMessage(const RunCapacityError &e, const std::function<QString(const QString &)> &tr);

} // namespace orvia
