#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "io/ByteSink.h"

namespace sonaveld {

// The default opener: a new file created exclusively at tempPath; nullptr when it cannot be.
std::unique_ptr<ByteSink> OpenFileSink(const std::string& tempPath);

// A sink over an open stream, which it owns and closes; nullptr for a null stream. The stream
// is switched to no buffering: its writers hand over large blocks, and stdio's own buffer would
// only add a copy.
std::unique_ptr<ByteSink> StreamSink(std::FILE* file);

}  // namespace sonaveld
