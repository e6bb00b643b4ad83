// The commands of koravel-cli: a prediction streamed as a report, and the counts of hybrids.
#pragma once

#include "cli_options.h"

#include <functional>
#include <string>

namespace koravel {
class CellGrid;
class ProgressBar;
} // namespace koravel

namespace koravel::cli {

// Each returns the exit status: 0 done, 1 an error (its message already on standard error,
// nothing on standard output, the --output file as it was).
int runPrediction(const Options &options);
int runCounts(const Options &options);
int runDiallel(const Options &options);

// The window's import of the data file named on the command line into grid; its information
// messages go to standard error. Errors propagate.
void importFromCommandLine(const std::string &path, CellGrid &grid, ProgressBar &progress);

// Runs work and gives its exit status: 0 when it returns, 1 when it raises an Error or runs out
// of memory, with the message on standard error.
int statusOf(const std::function<void()> &work);

} // namespace koravel::cli
