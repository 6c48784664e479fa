#pragma once
// The one thread of the process on which every WebSocket lives and every
// received message is decoded, so that neither waits for the GUI thread.

#include <QObject>

namespace NetworkThread {

// An object living on the network thread. Objects made children of it are
// deleted on that thread when the application shuts down. The thread is
// started on first use, which must be on the GUI thread.
QObject* root();

} // namespace NetworkThread
