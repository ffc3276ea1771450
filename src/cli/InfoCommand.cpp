#include <cstdio>

#include "cli/Commands.h"
#include "io/ByteSource.h"
#include "document/WaveProbe.h"

namespace sonaveld::cli {

int RunInfo(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].starts_with("-")) return UsageError("info takes one WAV file");
  const std::string& path = args[0];
  auto source = FileSource::Open(path);
  if (!source) {
    PrintMessage(FormatMessage(MessageId::kCannotOpen, path));
    return kExitRefused;
  }
  const ProbeResult probe = ProbeWave(*source, path);
  if (!probe.status.ok()) {
    PrintMessage(probe.status.message());
    return kExitRefused;
  }
  const WaveHeader& h = probe.header;
  const long long frames = h.Frames();
  std::printf("channels: %d\nbits: %d\nrate: %d\nkind: %d\n", h.Channels, h.BitsPerSample, h.SampleRate,
              static_cast<int>(h.Kind));
  std::printf("data_offset: %lld\ndata_end: %lld\nframes: %lld\nlength_ms: %lld\n",
              static_cast<long long>(h.DataOffset), static_cast<long long>(h.DataEnd), frames,
              frames * 1000 / h.SampleRate);
  return kExitDone;
}

}  // namespace sonaveld::cli
