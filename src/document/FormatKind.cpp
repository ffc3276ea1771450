#include "document/FormatKind.h"

namespace sonaveld {

FormatKind ClassifyFormat(int bitsPerSample, int channels) {
  if (bitsPerSample == 16 && channels == 2) return FormatKind::kStereo16;
  if (bitsPerSample == 16 && channels == 1) return FormatKind::kMono16;
  if (bitsPerSample == 8 && channels == 2) return FormatKind::kStereo8;
  if (bitsPerSample == 8 && channels == 1) return FormatKind::kMono8;
  return FormatKind::kNone;
}

int FrameBytes(FormatKind kind) {
  switch (kind) {
    case FormatKind::kStereo16: return 4;
    case FormatKind::kMono16: return 2;
    case FormatKind::kStereo8: return 2;
    case FormatKind::kMono8: return 1;
    case FormatKind::kNone: break;
  }
  return 0;
}

}  // namespace sonaveld
