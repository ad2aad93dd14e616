#pragma once
// Without a display the toolkit's offscreen platform warns at every start that it cannot raise a
// window or pass on size hints; those notices say nothing to the user and are kept off the console.
#include <QString>

namespace orvia {

// The offscreen platform's notices about what it cannot do with a window.
bool isHeadlessWindowNotice(const QString &message);
// On the offscreen platform, installs a message handler that drops those notices and writes every
// other message as the toolkit would. Call once, after the application object exists.
void quietHeadlessWindowNotices();

} // namespace orvia
