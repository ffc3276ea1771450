// The list of pieces against the pairing rule of the cut map, and the chosen pieces written as the
// split at the marks writes them, byte for byte.
#include "output/OutputFixture.h"
#include "output/PieceList.h"

namespace sonaveld::test {
namespace {

struct ListCase {
  std::vector<int64_t> marks;
  bool keepHead;
  std::vector<bool> selected;  // piece 0, 1, ...: kept by the cut-edited file
};

// Written from the rule: without keep head the stretches from mark 1 to 2, 3 to 4, ... and from
// an odd last mark to the end are kept; with it, the head, then 2 to 3, 4 to 5, ... and an even
// last mark to the end.
const std::vector<ListCase> kCases = {
    {{}, false, {false}},
    {{}, true, {false}},
    {{400}, false, {false, true}},
    {{400}, true, {true, false}},
    {{100, 400}, false, {false, true, false}},
    {{100, 400}, true, {true, false, true}},
    {{100, 400, 700}, false, {false, true, false, true}},
    {{100, 400, 700}, true, {true, false, true, false}},
    {{1, 400}, true, {true, false, true}},  // an empty head keeps its place in the numbering
};

TEST(PieceList, SelectedByTheCutMapsPairingWithNumbersStartsLengthsAndNames) {
  WavRecipe recipe;  // 1000 frames
  WaveHeader h;
  h.Kind = FormatKind::kStereo16;
  h.SampleRate = 44100;
  h.DataOffset = 44;
  h.DataEnd = 44 + recipe.frames * 4;
  PieceNames names;
  names.head = "head";
  names.atMark[400] = "B";
  for (const ListCase& c : kCases) {
    const std::vector<Piece> pieces = ListPieces(h, c.marks, c.keepHead, names);
    ASSERT_EQ(pieces.size(), c.marks.size() + 1);
    int64_t covered = 0;
    for (size_t j = 0; j < pieces.size(); ++j) {
      EXPECT_EQ(pieces[j].number, static_cast<int>(j));
      EXPECT_EQ(pieces[j].selected, c.selected[j]) << "piece " << j << " of " << c.marks.size();
      EXPECT_EQ(pieces[j].start, j == 0 ? 1 : c.marks[j - 1]);
      EXPECT_EQ(pieces[j].name, j == 0 ? "head" : pieces[j].start == 400 ? "B" : "");
      covered += pieces[j].length;
    }
    EXPECT_EQ(covered, 1000);  // the pieces cover the file once
  }
  EXPECT_EQ(ClockText(44100 * 3723 + 22050, 44100), "1:02:03.500");
  EXPECT_EQ(ClockText(44099, 44100), "0:00:00.999");
}

class ChosenPiecesTest : public OutputTest {};

TEST_F(ChosenPiecesTest, OnlyTheCheckedPiecesUnderTheirSplitNumbers) {
  MakeSource(WavRecipe{});
  const std::vector<int64_t> marks = {201, 401, 801};
  OutputOptions options;
  options.names.atMark[401] = "Two";
  ASSERT_TRUE(SplitAtMarks(file, marks, dir.File("all.wav"), flags, host, options).status.ok());
  ASSERT_TRUE(SplitChosenPieces(file, marks, {false, false, true, true}, dir.File("some.wav"), flags, host, options)
                  .status.ok());
  EXPECT_EQ(dir.Listing(), "all00.wav all01.wav all02 Two.wav all03.wav some02 Two.wav some03.wav source.wav");
  EXPECT_EQ(ReadFileBytes(dir.File("some02 Two.wav")), ReadFileBytes(dir.File("all02 Two.wav")));
  EXPECT_EQ(ReadFileBytes(dir.File("some03.wav")), ReadFileBytes(dir.File("all03.wav")));
}

}  // namespace
}  // namespace sonaveld::test
