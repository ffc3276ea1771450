#include "cli/OpenWave.h"

#include "base/Messages.h"
#include "cli/Commands.h"

namespace sonaveld::cli {

OpenedWave OpenWave(const std::string& path) {
  OpenedWave wave;
  wave.source = FileSource::Open(path);
  if (!wave.source) {
    PrintMessage(FormatMessage(MessageId::kCannotOpen, path));
    return wave;
  }
  const ProbeResult probe = ProbeWave(*wave.source, path);
  if (!probe.status.ok()) {
    PrintMessage(probe.status.message());
    wave.source.reset();
    return wave;
  }
  wave.header = probe.header;
  return wave;
}

}  // namespace sonaveld::cli
