#pragma once

// SIGINT and SIGTERM end the event loop the way closing the window does, so the window's shutdown
// (the disconnect message to the analyser) still runs.
void quitOnTerminationSignals();
