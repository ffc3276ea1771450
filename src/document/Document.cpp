#include "document/Document.h"

#include "base/Extended.h"

namespace sonaveld {

int64_t MillisecondsToFrame(int64_t ms, int32_t sampleRate) {
  const Extended perMs = Extended(int64_t{sampleRate}) / Extended(int64_t{1000});
  return TruncateToInt(Extended(ms) * perMs);
}

int64_t FrameToMilliseconds(int64_t frame, int32_t sampleRate) {
  if (sampleRate <= 0) return 0;
  const Extended seconds = Extended(frame) / Extended(int64_t{sampleRate});
  return TruncateToInt(seconds * Extended(int64_t{1000}));
}

}  // namespace sonaveld
