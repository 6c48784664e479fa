#include "bookmarks/ui/EmptyStatePanel.h"

#include "widgets/Icons.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int iconSize = 40;
constexpr int textWidth = 260;

} // namespace

EmptyStatePanel::EmptyStatePanel(const QString& title, const QString& iconName, const QString& description,
                                 QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);

    auto* icon = new QLabel(this);
    icon->setPixmap(themedIcon(iconName).pixmap(iconSize, iconSize, QIcon::Disabled));
    icon->setAlignment(Qt::AlignCenter);

    auto* heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("emptyStateTitle"));
    QFont headingFont = textStyleFont(TextStyle::title3);
    headingFont.setBold(true);
    heading->setFont(headingFont);
    heading->setAlignment(Qt::AlignCenter);

    auto* detail = new QLabel(description, this);
    detail->setWordWrap(true);
    detail->setFixedWidth(textWidth);
    detail->setAlignment(Qt::AlignCenter);
    useSecondaryText(*detail);

    layout->addWidget(icon);
    layout->addWidget(heading);
    layout->addWidget(detail, 0, Qt::AlignHCenter);
}
