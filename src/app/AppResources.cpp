#include "app/AppResources.h"

// Resources of a static library are registered by hand, once.
static void registerOnce()
{
    Q_INIT_RESOURCE(AppResources);
}

void registerAppResources()
{
    static const bool registered = (registerOnce(), true);
    Q_UNUSED(registered);
}

QIcon applicationIcon()
{
    registerAppResources();
    return QIcon::fromTheme(QStringLiteral("farlisten"), QIcon(QStringLiteral(":/farlisten/app/farlisten.svg")));
}
