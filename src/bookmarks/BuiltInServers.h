#pragma once
// The receivers offered until the user saves a server list of their own.

#include "bookmarks/Bookmarks.h"

#include <QString>

// Built the first time it is needed, with fresh random ids that then stay the
// same for the rest of the run. Safe to call from any thread.
const Bookmarks& builtInServers();

// The address a new window starts with: the second built-in server.
QString defaultServerAddress();
