#pragma once
// The menus that act on one main window: Receiver (Connect or Disconnect,
// Ctrl+Return; Mute, M; Share with other programs) and View (Zoom In, +; Zoom Out, -). The plain keys
// reach them wherever a text field does not take them as typing.

class MainWindow;
class QMenuBar;

void addWindowMenus(QMenuBar& bar, MainWindow& window);
