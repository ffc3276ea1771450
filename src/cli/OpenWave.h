#pragma once
#include <memory>
#include <string>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld::cli {

// A WAV file opened and probed for one command.
struct OpenedWave {
  std::unique_ptr<FileSource> source;  // null when the file was refused
  WaveHeader header;
};

// Opens the WAV at path and probes its header. When it cannot be opened or the probe refuses it,
// prints the system's message and returns no source (the command then exits with kExitRefused).
OpenedWave OpenWave(const std::string& path);

}  // namespace sonaveld::cli
