#include "widgets/CloseButtons.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QWidget>

QDialogButtonBox* addCloseButtons(QWidget& window)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QWidget::close);
    auto* closeAction = new QAction(QCoreApplication::translate("CloseButtons", "Close"), &window);
    closeAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)});
    QObject::connect(closeAction, &QAction::triggered, &window, &QWidget::close);
    window.addAction(closeAction);
    return buttons;
}
