#pragma once
// The program's own pictures: its icon, and fallbacks for theme icons that
// the desktop may lack.

#include <QIcon>

// Makes the bundled files reachable; safe to call more than once.
void registerAppResources();

QIcon applicationIcon();
