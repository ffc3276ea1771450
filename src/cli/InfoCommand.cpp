#include <cstdio>
#include <utility>

#include "cli/Commands.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld::cli {
namespace {

struct InfoArgs {
  std::string wave;
  bool json = false;
};

// Parses "[--json] [--quiet] WAV" in any order; an error text on wrong usage.
std::string ParseInfoArgs(const std::vector<std::string>& args, InfoArgs* parsed) {
  for (const std::string& a : args) {
    if (a == "--json") parsed->json = true;
    else if (a == "--quiet") continue;  // info shows no progress anyway
    else if (a.starts_with("-") || !parsed->wave.empty()) return "info takes one WAV file";
    else parsed->wave = a;
  }
  return parsed->wave.empty() ? "info takes one WAV file" : "";
}

// Prints the values as "key: value" lines, or as one JSON object on one line.
void PrintFields(const std::vector<std::pair<const char*, long long>>& fields, bool json) {
  const char* separator = json ? "{" : "";
  for (const auto& [key, value] : fields) {
    if (json) std::printf("%s\"%s\":%lld", separator, key, value);
    else std::printf("%s: %lld\n", key, value);
    separator = ",";
  }
  if (json) std::printf("}\n");
}

}  // namespace

int RunInfo(const std::vector<std::string>& args) {
  InfoArgs parsed;
  if (std::string error = ParseInfoArgs(args, &parsed); !error.empty()) return UsageError(error);
  auto source = FileSource::Open(parsed.wave);
  if (!source) {
    PrintMessage(FormatMessage(MessageId::kCannotOpen, parsed.wave));
    return kExitRefused;
  }
  const ProbeResult probe = ProbeWave(*source, parsed.wave);
  if (!probe.status.ok()) {
    PrintMessage(probe.status.message());
    return kExitRefused;
  }
  const WaveHeader& h = probe.header;
  const long long frames = h.Frames();
  PrintFields({{"channels", h.Channels},
               {"bits", h.BitsPerSample},
               {"rate", h.SampleRate},
               {"kind", static_cast<int>(h.Kind)},
               {"data_offset", h.DataOffset},
               {"data_end", h.DataEnd},
               {"frames", frames},
               {"length_ms", frames * 1000 / h.SampleRate}},
              parsed.json);
  return kExitDone;
}

}  // namespace sonaveld::cli
