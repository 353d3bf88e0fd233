#pragma once
// The main window's bounds and state as stored: the normal geometry (also
// when maximised) and the state, and the way back at start-up onto the
// screens present now.

#include <QWidget>

#include "shell/window_bounds.h"

namespace tarnwick::app {

// The window's normal geometry and state; minimised counts as normal.
WindowPlacement placementOf(const QWidget& window);

// Gives a window not yet shown its stored bounds, kept on a screen of this
// session (unset values: 800 by 600 centred on the primary screen), and the
// maximised state when it was stored maximised.
void restorePlacement(QWidget& window, const WindowPlacement& stored);

}  // namespace tarnwick::app
