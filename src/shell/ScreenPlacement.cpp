#include "shell/ScreenPlacement.h"
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace orvia {

void centreOnScreen(QWidget &window)
{
    QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.adjustSize();
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace orvia
