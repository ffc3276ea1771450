#pragma once
#include <cstdint>

#include "document/FormatKind.h"
#include "peaks/FramePeaks.h"

namespace sonaveld::peaks {

// The one place that knows how the frames of a kind turn into lane-scale values (see
// ChannelPeak). A new kind is added here: its channel count and its case in ScanFrames, which
// brings its values to the 16-bit lane scale.

// Channels drawn for a kind: 2 for stereo, 1 for mono, 0 without a kind.
int LaneChannels(FormatKind kind);

// Folds `frames` whole frames, laid out as `kind` from bytes on, into peaks.
void ScanFrames(FormatKind kind, const uint8_t* bytes, int64_t frames, FramePeaks& peaks);

}  // namespace sonaveld::peaks
