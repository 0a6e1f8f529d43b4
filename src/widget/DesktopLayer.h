#pragma once

class QWidget;

// Puts a widget's window where desktop widgets live: frameless, below other windows, on every
// workspace and out of the task bar. Under X11 the window is typed as part of the desktop
// (_NET_WM_WINDOW_TYPE_DESKTOP); elsewhere it stays a plain tool window kept at the bottom.
namespace plannery::DesktopLayer {

// Call before the window is first shown.
void apply(QWidget& window);

// Whether the application runs on X11.
bool isX11();

} // namespace plannery::DesktopLayer
