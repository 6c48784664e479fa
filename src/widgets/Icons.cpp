#include "widgets/Icons.h"

#include <QFile>

// Resources of a static library are registered by hand, once, before the
// first icon is looked up.
static void registerBundledIcons()
{
    Q_INIT_RESOURCE(Icons);
}

QIcon themedIcon(const QString& themeName)
{
    static const bool registered = (registerBundledIcons(), true);
    Q_UNUSED(registered);
    const QString bundled = QStringLiteral(":/farlisten/icons/%1.svg").arg(themeName);
    return QIcon::fromTheme(themeName, QFile::exists(bundled) ? QIcon(bundled) : QIcon());
}
