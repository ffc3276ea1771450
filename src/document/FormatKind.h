#pragma once
#include <cstdint>

namespace sonaveld {

// The four sample layouts the system handles, numbered as the normalizer numbers them too.
enum class FormatKind : uint8_t {
  kNone = 0,
  kStereo16 = 1,
  kMono16 = 2,
  kStereo8 = 3,
  kMono8 = 4,
};

// Kind of a file with these header values; kNone for anything but 8/16 bits and 1/2 channels.
FormatKind ClassifyFormat(int bitsPerSample, int channels);

// Bytes of one sample frame: 4, 2, 2, 1 for kinds 1 to 4; 0 for kNone.
int FrameBytes(FormatKind kind);

}  // namespace sonaveld
