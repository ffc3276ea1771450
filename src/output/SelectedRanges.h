#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "document/WaveProbe.h"

namespace sonaveld {

// A half-open range [start, end) of 1-based sample frames. toEnd: the range ends at the implied
// end position, so it runs to the end of the sample area.
struct FrameRange {
  int64_t start = 0;
  int64_t end = 0;
  bool toEnd = false;

  bool operator==(const FrameRange&) const = default;
};

// The implied end position E: one more position after the last mark, beyond the last frame of the
// file (data_end - 1 used as a frame index).
int64_t ImpliedEndPosition(const WaveHeader& header);

// SelectedRanges: the pairing of the ascending marks P1..Pn into the ranges the cut-edited file keeps.
// keepHead off: (P1,P2), (P3,P4), ..., and (Pn,E) when n is odd. keepHead on: (1,P1), (P2,P3), ...,
// and (Pn,E) when n is even. E is impliedEnd.
std::vector<FrameRange> SelectedRanges(const std::vector<int64_t>& marks, bool keepHead, int64_t impliedEnd);

// NumberedOutputName: the name of the k-th numbered output: fileName up to the last "." of its file
// name (a dot in a folder name never counts), then k with at least two digits, then ".wav".
// song.wav, 1 → song01.wav; song, 10 → song10.wav.
std::string NumberedOutputName(const std::string& fileName, int k);

}  // namespace sonaveld
