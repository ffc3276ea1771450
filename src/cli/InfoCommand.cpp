#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/OpenWave.h"

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

// One value of the header: a number, or a word (written in quotes in JSON).
struct Field {
  const char* key;
  std::string value;
  bool word = false;
};

Field Number(const char* key, long long value) { return {key, std::to_string(value)}; }

// Prints the values as "key: value" lines, or as one JSON object on one line.
void PrintFields(const std::vector<Field>& fields, bool json) {
  const char* separator = json ? "{" : "";
  for (const Field& f : fields) {
    if (!json) std::printf("%s: %s\n", f.key, f.value.c_str());
    else if (f.word) std::printf("%s\"%s\":\"%s\"", separator, f.key, f.value.c_str());
    else std::printf("%s\"%s\":%s", separator, f.key, f.value.c_str());
    separator = ",";
  }
  if (json) std::printf("}\n");
}

}  // namespace

int RunInfo(const std::vector<std::string>& args) {
  InfoArgs parsed;
  if (std::string error = ParseInfoArgs(args, &parsed); !error.empty()) return UsageError(error);
  const OpenedWave wave = OpenWave(parsed.wave);
  if (!wave.source) return kExitRefused;
  const WaveHeader& h = wave.header;
  const long long frames = h.Frames();
  std::vector<Field> fields{Number("channels", h.Channels),
               Number("bits", h.BitsPerSample),
               Number("rate", h.SampleRate),
               Number("kind", static_cast<int>(h.Kind)),
               {"format", h.Layout.encoding == SampleEncoding::kFloat32 ? "float" : "pcm", true},
               Number("data_offset", h.DataOffset),
               Number("data_end", h.DataEnd),
               Number("frames", frames),
               Number("length_ms", frames * 1000 / h.SampleRate),
               {"container", ContainerName(h.Container), true}};
  // An extensible file also names its speaker positions (0: none given).
  if (h.HasChannelMask) fields.push_back(Number("channel_mask", h.ChannelMask));
  PrintFields(fields, parsed.json);
  return kExitDone;
}

}  // namespace sonaveld::cli
