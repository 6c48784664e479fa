#pragma once
// Tells a session when Linux reports the network back, so that a try it is
// waiting for starts at once instead of after the rest of its wait.

class ReceiverClient;

// Does nothing where the system offers no reachability backend.
void followNetworkReachability(ReceiverClient& client);
