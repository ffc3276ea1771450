#pragma once
#include "cli/NormalizeArgs.h"

namespace sonaveld::cli {

// sonaveld-cli normalize --mode loudness: measures every file, gives it (or, with --album, the
// whole list) one plain gain to the target under the true-peak ceiling, writes it as the other
// modes do, measures the output again and reports every file. Files run in parallel (args.jobs);
// messages, printed paths and report rows come in list order. Ctrl+C stops every job; no partial
// output is left. Returns the exit status (1 when any file was refused, failed or stopped).
int RunLoudnessPass(const NormalizeArgs& args);

}  // namespace sonaveld::cli
