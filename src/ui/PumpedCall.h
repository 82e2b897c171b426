// Runs a blocking step of a transfer (waking the handset, ending the session, restarting
// it) on a worker thread while the user-interface thread keeps its event loop turning:
// windows repaint and the desktop sees the editor answer, but user input is dropped, as
// if a modal dialog were up. The step must not touch widgets.
#pragma once

#include <functional>

// Runs `work` to its end and returns its result. Call on the user-interface thread.
int RunPumped(const std::function<int()>& work);
