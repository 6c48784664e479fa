#pragma once
// Icons by their freedesktop theme names (bookmark-new, audio-volume-muted,
// ...). The desktop's icon theme is asked first; a copy bundled with the
// program stands in where the theme lacks the icon.

#include <QIcon>
#include <QString>

QIcon themedIcon(const QString& themeName);
