#pragma once
// A message box for a program without a display: the text goes to the standard error stream and
// the box answers with its first button at once, so nothing waits for a user who cannot answer.
#include "platform/MessageBox.h"

namespace orvia {

class StderrMessageBox : public IMessageBox
{
public:
    int show(const QString &text, int style = mb::OkOnly, const QString &title = QString()) override;
    static int firstButtonAnswer(int style);
    // True where no user can see a window: the offscreen or minimal platform, ORVIA_HEADLESS set, or
    // no display at all.
    static bool headless();
};

} // namespace orvia
