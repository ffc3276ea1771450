#pragma once
#include <cstdint>

#include "document/SampleLayout.h"
#include "peaks/FramePeaks.h"

namespace sonaveld::peaks {

// The one place that knows how the frames of a layout turn into lane-scale values (see
// ChannelPeak). A new encoding is added here: its case in ScanFrames, which brings its values to
// the 16-bit lane scale.

// Channels drawn for a layout: its channel count (1 to 8), 0 for a layout not handled.
int LaneChannels(const SampleLayout& layout);

// Folds `frames` whole frames, laid out as `layout` from bytes on, into peaks (channel c of a
// frame into peaks.channel[c]).
void ScanFrames(const SampleLayout& layout, const uint8_t* bytes, int64_t frames, FramePeaks& peaks);

}  // namespace sonaveld::peaks
