// The chunks that describe a recording, in every cut and split output: the bext and iXML time
// references, the cue points with their labels, notes and regions, and the chunks no cut can keep.
// Each source layout x the three commands x both cut rules. Every frame of the source is unique, so
// each output frame names the source frame it came from: what an output must say follows from its
// own samples. libsndfile reads the frames, format, cue points and bext time; a walk of the output's
// bytes reads the iXML values, the ltxt regions and which chunks are there.
#include <sndfile.h>

#include <map>
#include <set>

#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kTimeReference = (uint64_t{1} << 32) - 2000;  // the high half changes after 2000 frames
constexpr int64_t kFrames = 10000;
constexpr int kSplit = 30000;  // frame f holds f % kSplit left and f / kSplit right

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
uint32_t U32At(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

struct SourceCue {
  uint32_t id;
  uint32_t position;
  uint32_t frame;  // 0-based
  uint32_t region; // an ltxt region of this length; 0: none
};
// Before the first range, on its first frame, in the frames the chunk rule leaves out, in a cut-out
// stretch (position 0, as some writers leave it), in the last range with a region past the end.
const SourceCue kCues[] = {{1, 500, 500, 0}, {2, 1000, 1000, 4000}, {3, 4015, 4015, 0},
                           {4, 0, 5000, 0},  {5, 7000, 7000, 5000}, {6, 9999, 9999, 0}};

Bytes Bext() {
  Bytes body(602, ' ');
  for (int i = 0; i < 8; ++i) body[338 + i] = uint8_t(kTimeReference >> (8 * i));
  return Chunk("bext", body);
}

std::string IxmlText(const std::string& hi, const std::string& lo) {
  return "<?xml version=\"1.0\"?>\n<BWFXML><PROJECT>p</PROJECT><SPEED><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>" + hi +
         "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>\n<TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO>" + lo +
         "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO></SPEED><BEXT><BWF_TIME_REFERENCE_HIGH>" + hi +
         "</BWF_TIME_REFERENCE_HIGH><BWF_TIME_REFERENCE_LOW> " + lo + " </BWF_TIME_REFERENCE_LOW></BEXT></BWFXML>";
}

Bytes Ixml() {
  return Chunk("iXML", Text(IxmlText(std::to_string(kTimeReference >> 32), std::to_string(uint32_t(kTimeReference)))));
}

Bytes Cue() {
  Bytes body = U32(std::size(kCues));
  for (const SourceCue& c : kCues) {
    body = Join({body, U32(c.id), U32(c.position), Text("data"), U32(0), U32(0), U32(c.frame)});
  }
  return Chunk("cue ", body);
}

// A label for every point, a note for point 3, a region text for the points that have one.
Bytes Adtl() {
  Bytes items = Text("adtl");
  for (const SourceCue& c : kCues) {
    items = Join({items, Chunk("labl", Join({U32(c.id), Text("mark " + std::to_string(c.id) + '\0')}))});
    if (c.id == 3) items = Join({items, Chunk("note", Join({U32(3), Text("odd")}))});
    const Bytes region = Join({U32(c.id), U32(c.region), Text("rgn "), Bytes(8, 0)});
    if (c.region != 0) items = Join({items, Chunk("ltxt", region)});
  }
  return Chunk("LIST", items);
}

const Bytes kSmpl = Chunk("smpl", Bytes(60, 1));
const Bytes kPeak = Chunk("PEAK", Bytes(24, 2));
const Bytes kMd5 = Chunk("MD5 ", Bytes(16, 3));
const Bytes kLevl = Chunk("levl", Bytes(128, 4));

struct Layout {
  const char* name;
  Bytes before;  // chunks between "fmt " and "data"
  Bytes after;   // chunks after the samples
};

void PrintTo(const Layout& l, std::ostream* os) { *os << l.name; }

std::vector<Layout> Layouts() {
  return {{"BextBefore", Bext(), {}},
          {"IxmlAfter", {}, Ixml()},
          {"CueAndLabelsBefore", Join({Cue(), Adtl()}), {}},
          {"CueAndLabelsAfter", {}, Join({Cue(), Adtl()})},
          {"LoopsPeaksChecksums", Join({kSmpl, kPeak}), Join({kMd5, kLevl})},
          {"AllTogether", Join({Bext(), kPeak, Cue(), Ixml()}), Join({Adtl(), kMd5, kSmpl})}};
}

// A RIFF file's chunks after "WAVE": id and body; walked must end exactly at the file's end.
std::vector<std::pair<std::string, Bytes>> ChunksOf(const Bytes& file) {
  std::vector<std::pair<std::string, Bytes>> chunks;
  size_t at = 12;
  for (; at + 8 <= file.size(); at += 8 + U32At(file, at + 4) + U32At(file, at + 4) % 2) {
    const auto body = file.begin() + static_cast<long>(at) + 8;
    chunks.emplace_back(std::string(body - 8, body - 4), Bytes(body, body + U32At(file, at + 4)));
  }
  EXPECT_EQ(at, file.size()) << "the chunks do not add up to the file";
  return chunks;
}

class ChunkLayoutTest : public OutputTest, public ::testing::WithParamInterface<Layout> {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.rate = 48000;
    recipe.frames = kFrames;
    recipe.sample = [](int64_t f, int c) { return static_cast<int>(c == 0 ? f % kSplit : f / kSplit); };
    recipe.chunksBeforeData = GetParam().before;
    recipe.chunksAfterData = GetParam().after;
    MakeSource(recipe);
  }
  bool Has(const Bytes& chunk) const {
    const Bytes& b = GetParam().before;
    const Bytes& a = GetParam().after;
    return std::search(b.begin(), b.end(), chunk.begin(), chunk.end()) != b.end() ||
           std::search(a.begin(), a.end(), chunk.begin(), chunk.end()) != a.end();
  }
  // stopped: the output was cut short, its header filled to its planned size by a JUNK chunk.
  void Check(const std::string& path, int64_t frames, bool stopped = false) const;
};

// The source frame of each output frame, read back through libsndfile.
std::vector<int64_t> SourceFrames(const std::string& path) {
  const std::vector<int32_t> samples = ReadIntsWithSndfile(path);
  std::vector<int64_t> frames;
  for (size_t i = 0; i + 1 < samples.size(); i += 2) {
    frames.push_back((samples[i] >> 16) + int64_t{kSplit} * (samples[i + 1] >> 16));
  }
  return frames;
}

void ChunkLayoutTest::Check(const std::string& path, int64_t frames, bool stopped) const {
  SCOPED_TRACE(path);
  const std::vector<int64_t> from = SourceFrames(path);
  const SndfileInfo info = ReadWithSndfile(path);
  ASSERT_TRUE(info.opened);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(info.frames, frames);
  ASSERT_EQ(static_cast<int64_t>(from.size()), frames);
  const uint64_t reference = kTimeReference + static_cast<uint64_t>(from.front());
  // The cue points whose frames the output holds, at their output frames.
  std::vector<SndfileInfo::Cue> cues;
  std::map<uint32_t, uint32_t> regions;  // id: frames of the region the output holds
  for (const SourceCue& c : kCues) {
    if (!Has(Cue())) break;
    const auto at = std::find(from.begin(), from.end(), int64_t{c.frame});
    if (at == from.end()) continue;
    const auto frame = static_cast<uint32_t>(at - from.begin());
    cues.push_back({int32_t(c.id), c.position == c.frame ? frame : c.position, frame});
    if (c.region != 0) {
      const auto inRegion = [&](int64_t f) { return f >= c.frame && f < c.frame + c.region; };
      regions[c.id] = static_cast<uint32_t>(std::count_if(from.begin(), from.end(), inRegion));
    }
  }
  EXPECT_EQ(info.cues, cues);
  EXPECT_EQ(info.timeReference, Has(Bext()) ? std::optional<uint64_t>(reference) : std::nullopt);

  std::map<uint32_t, uint32_t> regionsRead;
  std::set<uint32_t> labelled;
  bool ixmlSeen = false;
  for (const auto& [id, body] : ChunksOf(ReadFileBytes(path))) {
    EXPECT_TRUE(id != "smpl" && id != "PEAK" && id != "MD5 " && id != "levl") << id;
    EXPECT_TRUE(id != "JUNK" || (stopped && Has(Cue()) && !GetParam().before.empty())) << id;
    if (id == "iXML") {
      ixmlSeen = true;
      EXPECT_EQ(std::string(body.begin(), body.end()),
                IxmlText(std::to_string(reference >> 32), std::to_string(uint32_t(reference))));
    }
    if (id != "LIST" || std::string(body.begin(), body.begin() + 4) != "adtl") continue;
    for (size_t at = 4; at + 12 <= body.size(); at += 8 + U32At(body, at + 4) + U32At(body, at + 4) % 2) {
      const std::string sub(body.begin() + long(at), body.begin() + long(at) + 4);
      if (sub == "labl") labelled.insert(U32At(body, at + 8));
      if (sub == "ltxt") regionsRead[U32At(body, at + 8)] = U32At(body, at + 12);
    }
  }
  EXPECT_EQ(ixmlSeen, Has(Ixml()));
  EXPECT_EQ(regionsRead, regions);
  std::set<uint32_t> kept;
  for (const auto& c : cues) kept.insert(uint32_t(c.id));
  EXPECT_EQ(labelled, kept);
}

TEST_P(ChunkLayoutTest, EveryOutputTellsItsOwnTimeAndMarks) {
  const std::vector<int64_t> marks{1001, 4031, 6001};
  // Frames of the cut, the two ranges and the four pieces: exactly the marked frames, or whole
  // 200-byte chunks (50 frames) from each range's start, and pieces cut 50 to 99 frames after a mark.
  const std::map<bool, std::vector<int64_t>> frames{{false, {7000, 3000, 4000, 1050, 3050, 1950, 3950}},
                                                    {true, {7030, 3030, 4000, 1000, 3030, 1970, 4000}}};
  for (const bool exact : {false, true}) {
    OutputOptions options;
    options.exactCuts = exact;
    const std::string rule = exact ? "exact" : "chunks";
    std::vector<std::string> written;
    for (const OutputResult& r :
         {WriteCutEditedFile(file, marks, false, dir.File(rule + "-cut.wav"), flags, host, options),
          SplitSelectedRanges(file, marks, false, dir.File(rule + "-s.wav"), flags, host, options),
          SplitAtMarks(file, marks, dir.File(rule + "-p.wav"), flags, host, options)}) {
      ASSERT_TRUE(r.status.ok()) << r.status.message();
      written.insert(written.end(), r.written.begin(), r.written.end());
    }
    ASSERT_EQ(written.size(), frames.at(exact).size());
    for (size_t i = 0; i < written.size(); ++i) Check(written[i], frames.at(exact)[i]);
  }
}

// Stopped after its first 50 frames, the cut-edited file holds the points among them only.
TEST_P(ChunkLayoutTest, AStoppedOutputKeepsOnlyTheMarksItHolds) {
  host.abortAtIdle = 1;
  OutputOptions options = FineOptions();
  options.exactCuts = true;
  const OutputResult r = WriteCutEditedFile(file, {1001, 4031}, false, dir.File("cut.wav"), flags, host, options);
  ASSERT_TRUE(r.status.stopped());
  Check(dir.File("cut.wav"), 50, true);
}

INSTANTIATE_TEST_SUITE_P(Sources, ChunkLayoutTest, ::testing::ValuesIn(Layouts()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld::test
