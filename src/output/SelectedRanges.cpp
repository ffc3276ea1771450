#include "output/SelectedRanges.h"

#include "io/FileNames.h"

namespace sonaveld {

int64_t ImpliedEndPosition(const WaveHeader& header) { return header.DataEnd - 1; }

std::vector<FrameRange> SelectedRanges(const std::vector<int64_t>& marks, bool keepHead, int64_t impliedEnd) {
  // The pairing starts at slot 0 (frame 1) with keep head on, at slot 1 with it off.
  std::vector<int64_t> ends;
  if (keepHead) ends.push_back(1);
  ends.insert(ends.end(), marks.begin(), marks.end());
  const bool needsEnd = ends.size() % 2 == 1;
  std::vector<FrameRange> ranges;
  for (size_t i = 0; i + 1 < ends.size(); i += 2) ranges.push_back({ends[i], ends[i + 1], false});
  if (needsEnd) ranges.push_back({ends.back(), impliedEnd, true});
  return ranges;
}

std::string NumberedOutputName(const std::string& fileName, int k) {
  const std::string number = (k < 10 ? "0" : "") + std::to_string(k);
  return PathWithoutExtension(fileName).value_or(fileName) + number + ".wav";
}

}  // namespace sonaveld
