#pragma once
// SIGTERM, SIGINT and SIGHUP end the event loop as quitting does, instead of
// ending the process where it stands, so that the program removes what it
// made in the sound server (its capture sources) on the way out. Call once,
// after the application object exists.

void quitOnTerminationSignals();
