#pragma once
// A KiwiSDR's listeners counted without connecting: its status page's
// "users" and "users_max".

#include "connection/ReceiverConnection.h"

void readKiwiListenerCounts(QNetworkAccessManager& network, const QUrl& serverURL, QObject* parent,
    const EventPost& post, std::function<void(std::optional<ListenerCounts>)> done);
