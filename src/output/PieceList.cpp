#include "output/PieceList.h"

#include <algorithm>
#include <cstdio>

#include "output/SelectedRanges.h"

namespace sonaveld {

std::vector<Piece> ListPieces(const WaveHeader& header, const std::vector<int64_t>& marks, bool keepHead,
                              const PieceNames& names) {
  // The selected ranges start at marks (or at frame 1 with keep head): a piece is selected when
  // one of them starts where it does. Without marks nothing is selected, as the cut map shows it.
  const std::vector<FrameRange> ranges = marks.empty() ? std::vector<FrameRange>() : SelectedRanges(marks, keepHead, ImpliedEndPosition(header));
  const int64_t end = std::max<int64_t>(header.Frames() + 1, marks.empty() ? 1 : marks.back());
  std::vector<Piece> pieces;
  for (size_t j = 0; j <= marks.size(); ++j) {
    Piece piece;
    piece.number = static_cast<int>(j);
    piece.start = j == 0 ? 1 : marks[j - 1];
    piece.length = (j < marks.size() ? marks[j] : end) - piece.start;
    const bool last = j == marks.size();
    piece.selected = std::any_of(ranges.begin(), ranges.end(), [&](const FrameRange& r) {
      return r.start == piece.start && (r.toEnd ? last : !last && r.end == marks[j]);
    });
    piece.name = names.For(piece.start, j == 0);
    pieces.push_back(piece);
  }
  return pieces;
}

std::string ClockText(int64_t frames, int32_t rate) {
  const int64_t ms = frames / rate * 1000 + frames % rate * 1000 / rate;
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", static_cast<long long>(ms / 3600000),
                static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
                static_cast<long long>(ms % 1000));
  return text;
}

}  // namespace sonaveld
