#pragma once
#include <string>

namespace sonaveld::cli {

// The last branches of the argument loop of a command that takes one WAV file: `a` is an unknown
// option (anything starting with "-" but "-" itself), the WAV file (kept in wave), or a second
// one. Returns the usage error, empty when `a` was taken as the file.
inline std::string TakeWaveOperand(const std::string& a, std::string& wave) {
  if (a.starts_with("-") && a != "-") return "unknown option " + a;
  if (!wave.empty()) return "more than one WAV file";
  wave = a;
  return {};
}

}  // namespace sonaveld::cli
