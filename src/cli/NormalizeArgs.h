#pragma once
#include <string>
#include <vector>

#include "normalizer/LoudnessGain.h"
#include "normalizer/NormalizePass.h"

namespace sonaveld::cli {

// The arguments of sonaveld-cli normalize.
struct NormalizeArgs {
  NormalizeSettings settings;
  bool restore = false;
  bool quiet = false;
  std::vector<std::string> files;  // the WAVs named, then those of --files-from, in order
  std::string filesFrom;           // "-" for stdin, a file, or "" for none
  std::string report;              // --report FILE (.csv or .jsonl), "" for none
  // Loudness mode's own.
  LoudnessTarget target;
  bool album = false;
  bool dualMono = false;
  int jobs = 0;  // 0: one per processor
};

// Parses the arguments into out; an empty string when they are valid, else what is wrong (one
// line). Out-of-range values and options of another mode are wrong usage.
std::string ParseNormalizeArgs(const std::vector<std::string>& args, NormalizeArgs& out);

// Appends the paths listed in --files-from (one a line; blank lines skipped, a trailing "\r"
// dropped) to out.files. kExitDone; kExitRefused when the list cannot be read, kExitUsage when no
// file is named at all (the message was printed).
int ReadFileList(NormalizeArgs& out);

}  // namespace sonaveld::cli
