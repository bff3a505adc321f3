#pragma once

// SIGINT and SIGTERM end the event loop instead of the process, so everything owned by main is
// destroyed in order: the program still says goodbye to the analyser, kv847-sim closes its terminal.
void quitOnTerminationSignals();
