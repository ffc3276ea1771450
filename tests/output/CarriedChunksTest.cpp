// Chunks after the sample data: every cut and split output carries the LIST-INFO and id3 chunks of
// the source after its samples, byte for byte and in source order, and nothing else. Checked on the
// bytes on disk and read back with libsndfile.
#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// A LIST chunk of the given type holding the given sub-chunks.
Bytes List(const std::string& type, const Bytes& items) { return Chunk("LIST", Join({Text(type), items})); }

// LIST-INFO with a title (INAM) and a comment (ICMT), each a zero-ended text.
Bytes Info(const std::string& title, const std::string& comment) {
  return List("INFO", Join({Chunk("INAM", Text(title + '\0')), Chunk("ICMT", Text(comment + '\0'))}));
}

Bytes WithoutLastByte(Bytes b) {
  b.pop_back();
  return b;
}

const Bytes kInfo = Info("Take 1", "live at the hall");         // even size
const Bytes kId3 = Chunk("id3 ", Text("ID3\x04tags!"));           // odd body: a pad byte follows
const Bytes kUpperId3 = Chunk("ID3 ", Text("ID3\x03xx"));
const Bytes kCue = Chunk("cue ", Bytes(28, 1));
const Bytes kAdtl = List("adtl", Chunk("labl", Text("mark")));
const Bytes kSmpl = Chunk("smpl", Bytes(60, 2));
const Bytes kUnknown = Chunk("abcd", Text("hello"));
// A LIST too short to hold a list type: "INFO" stands after it, in the next chunk's id.
const Bytes kShortList = Chunk("LIST", Text("IN"));

struct CarryCase {
  const char* name;
  Bytes after;           // the source's bytes after the samples (and their pad byte)
  int64_t dataSizeField;  // -1: the true size
  Bytes carried;         // what every output must hold after its samples
  std::string title;     // what libsndfile reads back from the outputs
};

void PrintTo(const CarryCase& c, std::ostream* os) { *os << c.name; }

std::vector<CarryCase> Cases() {
  // A chunk whose body runs past the end of the file: the walk stops there, so the id3 chunk
  // inside its body is not carried.
  const Bytes truncated = Join({Text("abcd"), {0xe8, 0x03, 0, 0}, kId3});
  return {
      {"OnlyInfoAndId3AreCarried", Join({kCue, kInfo, kAdtl, kId3, kSmpl, kUnknown, kUpperId3}), -1,
       Join({kInfo, kId3, kUpperId3}), "Take 1"},
      {"NeighboursInSourceOrder", Join({kId3, kInfo}), -1, Join({kId3, kInfo}), "Take 1"},
      {"TruncatedBodyEndsTheWalk", Join({kInfo, truncated}), -1, kInfo, "Take 1"},
      {"TruncatedHeaderEndsTheWalk", Join({kId3, Bytes{'I', 'D', '3', ' ', 4, 0}}), -1, kId3, ""},
      {"MissingLastPadByteIsWritten", Join({kInfo, WithoutLastByte(kId3)}), -1, Join({kInfo, kId3}), "Take 1"},
      {"ListTooShortForAType", Join({kShortList, kInfo}), -1, kInfo, "Take 1"},
      {"AdtlAndCueStayBehind", Join({kCue, kAdtl}), -1, {}, ""},
      // Without a usable data size the samples run to the end of the file: nothing follows them.
      {"DataSizeZero", kInfo, 0, {}, ""},
      {"DataSizePastTheFile", kInfo, 0x7fff0000, {}, ""},
  };
}

class CarriedChunksTest : public OutputTest, public ::testing::WithParamInterface<CarryCase> {
 protected:
  void SetUp() override {
    WavRecipe recipe;  // 8-bit mono, 1001 frames: odd sample data with a pad byte after it
    recipe.bits = 8;
    recipe.channels = 1;
    recipe.frames = 1001;
    recipe.chunksAfterData = GetParam().after;
    recipe.dataSizeField = GetParam().dataSizeField;
    MakeSource(recipe);
  }
  // Source sample bytes from frame `from` (1-based) up to byte `to` (DataEnd when -1).
  Bytes Samples(int64_t from, int64_t to = -1) const {
    const int64_t begin = file.Header.DataOffset + from - 1;
    return SourceBytes(begin, (to < 0 ? file.Header.DataEnd : to) - begin);
  }
  void Expect(const std::string& name, const Bytes& samples) const {
    ExpectWav(dir.File(name), samples, GetParam().carried);
    EXPECT_EQ(ReadWithSndfile(dir.File(name)).title, GetParam().title) << name;
  }
};

TEST_P(CarriedChunksTest, EveryOutputCarriesThem) {
  ASSERT_TRUE(WriteCutEditedFile(file, {301}, false, dir.File("cut.wav"), flags, host).status.ok());
  Expect("cut.wav", Samples(301));  // odd: a pad byte before the chunks

  ASSERT_TRUE(SplitSelectedRanges(file, {201, 601, 801}, false, dir.File("s.wav"), flags, host).status.ok());
  Expect("s01.wav", Samples(201, 44 + 600));
  Expect("s02.wav", Samples(801));

  ASSERT_TRUE(SplitAtMarks(file, {301}, dir.File("p.wav"), flags, host).status.ok());
  Expect("p00.wav", Samples(1, 44 + 600));
  Expect("p01.wav", Samples(601));
}

TEST_P(CarriedChunksTest, AnAbortedOutputCarriesThemToo) {
  host.abortAtIdle = 1;
  const OutputResult r = WriteCutEditedFile(file, {101, 701}, false, dir.File("cut.wav"), flags, host, FineOptions());
  ASSERT_TRUE(r.status.stopped());
  Expect("cut.wav", Samples(101, 44 + 300));
}

INSTANTIATE_TEST_SUITE_P(Layouts, CarriedChunksTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld::test
