#pragma once
// Window placement shared by the windows that open centred on the screen.
class QWidget;

namespace orvia {

// Moves the window so that its frame is centred on the available area of its screen (the primary
// screen when it has none yet). Without any screen nothing moves.
void centreOnScreen(QWidget &window);

} // namespace orvia
