#include "app/WindowMenus.h"

#include "app/AddressBar.h"
#include "app/AppMenuBar.h"
#include "app/MainWindow.h"
#include "session/ReceiverClient.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

void addWindowMenus(QMenuBar& bar, MainWindow& window)
{
    ReceiverClient& client = window.client();

    QMenu* receiver = bar.addMenu(QCoreApplication::translate("WindowMenus", "&Receiver"));
    receiver->setObjectName(QStringLiteral("receiverMenu"));
    QAction* connection = receiver->addAction(QString(), window.addressBar(), &AddressBar::toggleConnection);
    connection->setObjectName(QStringLiteral("connectAction"));
    connection->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    QAction* mute = receiver->addAction(QCoreApplication::translate("WindowMenus", "&Mute"));
    mute->setObjectName(QStringLiteral("muteAction"));
    mute->setCheckable(true);
    mute->setShortcut(QKeySequence(Qt::Key_M));
    QObject::connect(mute, &QAction::triggered, receiver, [&client](bool muted) { client.setMuted(muted); });
    receiver->addSeparator();
    receiver->addAction(window.shareAction());

    QMenu* view = bar.addMenu(QCoreApplication::translate("WindowMenus", "&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    QAction* zoomIn = view->addAction(
        QCoreApplication::translate("WindowMenus", "Zoom &In"),
        [&client] { client.setWaterfallZoom(client.waterfallZoom() + 1); });
    zoomIn->setObjectName(QStringLiteral("zoomInAction"));
    // "+" is Shift+"=" on many layouts: the unshifted key works too.
    QList<QKeySequence> zoomInKeys = standardShortcuts(QKeySequence(Qt::Key_Plus), QKeySequence::ZoomIn);
    zoomInKeys << QKeySequence(Qt::Key_Equal) << QKeySequence(Qt::KeypadModifier | Qt::Key_Plus);
    zoomIn->setShortcuts(zoomInKeys);
    QAction* zoomOut = view->addAction(
        QCoreApplication::translate("WindowMenus", "Zoom &Out"),
        [&client] { client.setWaterfallZoom(client.waterfallZoom() - 1); });
    zoomOut->setObjectName(QStringLiteral("zoomOutAction"));
    QList<QKeySequence> zoomOutKeys = standardShortcuts(QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut);
    zoomOutKeys << QKeySequence(Qt::KeypadModifier | Qt::Key_Minus);
    zoomOut->setShortcuts(zoomOutKeys);
    // After looking around by dragging the scale: the picture around the station again.
    QAction* backToTuned = view->addAction(QCoreApplication::translate("WindowMenus", "&Back to the Tuned Frequency"),
        [&client] { client.setWaterfallZoom(client.waterfallZoom()); });
    backToTuned->setObjectName(QStringLiteral("backToTunedAction"));
    backToTuned->setShortcut(QKeySequence(Qt::Key_Home));

    const auto refresh = [&client, connection, mute, zoomIn, zoomOut, backToTuned] {
        connection->setText(client.state().isActive() ? QCoreApplication::translate("WindowMenus", "&Disconnect")
                                                      : QCoreApplication::translate("WindowMenus", "&Connect"));
        mute->setChecked(client.isMuted());
        const bool connected = client.state().isConnected();
        zoomIn->setEnabled(connected);
        zoomOut->setEnabled(connected);
        backToTuned->setEnabled(connected);
    };
    QObject::connect(&client, &ReceiverClient::stateChanged, receiver, refresh);
    QObject::connect(&client, &ReceiverClient::isMutedChanged, receiver, refresh);
    refresh();
}
