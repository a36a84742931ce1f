#pragma once
// The batch modes as the program runs them: the first file of the command
// line replayed with no question asked; the render mode writes its results
// and ends, the viewer mode shows the replay as it runs in a window of its
// own (the picture scaled to the window), keeps the finished picture up for
// the wait of the command line and ends. The result code is the exit status.
#include "app/command_line.h"

namespace pg {

// Runs the batch of the command line (batchMode set, at least one file) and
// answers the exit status. A QApplication must exist.
[[nodiscard]] int runBatch(const CommandLine& commandLine);

}  // namespace pg
