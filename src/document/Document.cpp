#include "document/Document.h"

namespace sonaveld {

int64_t MillisecondsToFrame(int64_t ms, int32_t sampleRate) {
  const long double perMs = static_cast<long double>(sampleRate) / 1000.0L;
  return static_cast<int64_t>(static_cast<long double>(ms) * perMs);
}

int64_t FrameToMilliseconds(int64_t frame, int32_t sampleRate) {
  if (sampleRate <= 0) return 0;
  const long double seconds = static_cast<long double>(frame) / static_cast<long double>(sampleRate);
  return static_cast<int64_t>(seconds * 1000.0L);
}

}  // namespace sonaveld
