// Pieces named by their marks: the file names on disk (unsafe characters, long names, UTF-8) and
// the title each piece holds, read back with libsndfile and from the bytes; unnamed pieces as ever.
#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Info(const Bytes& items) { return Chunk("LIST", Join({Text("INFO"), items})); }
Bytes Inam(const std::string& title) { return Chunk("INAM", Text(title + '\0')); }
std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

const Bytes kIcmt = Chunk("ICMT", Text(std::string("live\0", 5)));
const Bytes kInfo = Info(Join({Inam("Take 1"), kIcmt}));

struct NameCase {
  const char* label;
  std::string name;  // the mark's name
  std::string file;  // the piece's file name expected on disk
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

std::vector<NameCase> NameCases() {
  const std::string a = "\xe3\x81\x82";  // あ, three bytes
  return {
      {"Plain", "Interview Tanaka", "p01 Interview Tanaka.wav"},
      {"Reserved", "a/b\\c:d*e?f\"g<h>i|j", "p01 a_b_c_d_e_f_g_h_i_j.wav"},
      {"Controls", "tab\tline\nd\x7f" "c1\xc2\x85!", "p01 tab_line_d_c1_!.wav"},
      {"SpacesAtEnds", "  mid dle  ", "p01 mid dle.wav"},
      {"HundredCharacters", Repeat("\xc3\xa9", 150), "p01 " + Repeat("\xc3\xa9", 100) + ".wav"},
      // 100 three-byte characters would not fit in a file name of 255 bytes: 82 do.
      {"FileNameBytes", Repeat(a, 150), "p01 " + Repeat(a, 82) + ".wav"},
      {"CutLeavesASpace", Repeat("x", 99) + " yyy", "p01 " + Repeat("x", 99) + ".wav"},
      {"CutAfterAWholeCharacter", Repeat("x", 99) + "\xe2\x82\xac" + "zz", "p01 " + Repeat("x", 99) + "\xe2\x82\xac.wav"},
      {"NotUtf8", "\xff\xe3\x81ok", "p01 ___ok.wav"},
      {"OnlySpaces", "   ", "p01.wav"},
  };
}

class NamedPieceTest : public OutputTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NamedPieceTest, FileNameAndTitle) {
  WavRecipe recipe;  // 16-bit stereo, 1000 frames, a titled INFO list after the samples
  recipe.chunksAfterData = kInfo;
  MakeSource(recipe);
  OutputOptions options;
  options.names.atMark[401] = GetParam().name;
  options.exactCuts = true;
  ASSERT_TRUE(SplitAtMarks(file, {401}, dir.File("p.wav"), flags, host, options).status.ok());
  EXPECT_EQ(dir.Listing(), "p00.wav " + GetParam().file + " source.wav");

  // The unnamed piece is what it would be without names, its INFO list byte for byte.
  ExpectWav(dir.File("p00.wav"), SourceBytes(44, 1600), kInfo);
  const bool named = GetParam().file != "p01.wav";
  EXPECT_EQ(ReadWithSndfile(dir.File(GetParam().file)).title, named ? GetParam().name : "Take 1");
  // The carried list holds the name in place of its title, nothing else changed.
  const Bytes tail = named ? Info(Join({Inam(GetParam().name), kIcmt})) : kInfo;
  ExpectWav(dir.File(GetParam().file), SourceBytes(44 + 1600, 2400), tail);
}

INSTANTIATE_TEST_SUITE_P(Names, NamedPieceTest, ::testing::ValuesIn(NameCases()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(NamedPieceTest, WithoutAnInfoListANewOneFollowsTheSamples) {
  WavRecipe recipe;  // 8-bit mono: the pieces' samples are odd, a pad byte comes first
  recipe.bits = 8;
  recipe.channels = 1;
  recipe.frames = 1001;
  MakeSource(recipe);
  OutputOptions options;
  options.names.head = "Opening";
  options.names.atMark[601] = "Encore";
  options.names.atMark[301] = "Never starts a range";
  options.exactCuts = true;
  // Keep head: (1, 301) starts at frame 1 and takes the head's name, (601, end) its mark's.
  ASSERT_TRUE(SplitSelectedRanges(file, {301, 601}, true, dir.File("s.wav"), flags, host, options).status.ok());
  EXPECT_EQ(dir.Listing(), "s01 Opening.wav s02 Encore.wav source.wav");
  ExpectWav(dir.File("s01 Opening.wav"), SourceBytes(44, 300), Info(Inam("Opening")));
  ExpectWav(dir.File("s02 Encore.wav"), SourceBytes(44 + 600, 401), Info(Inam("Encore")));
  EXPECT_EQ(ReadWithSndfile(dir.File("s02 Encore.wav")).title, "Encore");
}

TEST_F(NamedPieceTest, AnInfoListBeforeTheSamplesIsTitledInPlace) {
  WavRecipe recipe;
  recipe.chunksBeforeData = Info(Join({kIcmt, Inam("Take 1"), Inam("again")}));
  MakeSource(recipe);
  OutputOptions options;
  options.names.head = "First";
  options.exactCuts = true;
  ASSERT_TRUE(SplitAtMarks(file, {501}, dir.File("p.wav"), flags, host, options).status.ok());
  // The first 500 frames with the title in place of the first INAM, the second left out.
  recipe.chunksBeforeData = Info(Join({kIcmt, Inam("First")}));
  recipe.frames = 500;
  EXPECT_EQ(ReadFileBytes(dir.File("p00 First.wav")), BuildWav(recipe));
  EXPECT_EQ(ReadWithSndfile(dir.File("p00 First.wav")).title, "First");
  ExpectWav(dir.File("p01.wav"), SourceBytes(file.Header.DataOffset + 2000, 2000));
}

}  // namespace
}  // namespace sonaveld::test
