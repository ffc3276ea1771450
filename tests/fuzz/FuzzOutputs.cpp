// A whole run of the file commands on a fuzzed file with fuzzed marks: the cut-edited file, the
// split of the selected ranges, the split at marks (each possibly aborted part-way) and the
// normalization pass. After each: no crash, the source unchanged, Busy and AbortRequested 0, no
// file left but the source and the outputs reported, and every output exactly the file that the
// plain account of the rules (OutputModel) builds: the header with the two size fields (and, for
// the cuts on frames, the fact chunk's frame count), then the expected byte stretches of the source
// (200-byte chunks for 8/16 bits unless exact, exact frames for the others), then the chunks after
// the data; each chunk by its id (time references, cue points and labels rebuilt for the output's
// frames, loops, peaks and checksums left out). A normalized file keeps the source's size, its
// header and the bytes after the data area; a float file keeps its samples that are not finite, and the others end
// within -1..1. The normalizer takes 24/32-bit and float files by their format tag (plain or
// extensible), refuses the rest.
//
// Input: byte 0 options (bit 0 keep head, bit 1 small copy blocks, bit 2 abort, bit 3 marks as raw
// 64-bit values instead of 16-bit frames, bit 4 average mode, bit 5 exact cuts), byte 1 the number of marks, byte 2
// the idle calls before the abort, byte 3 the percentage; then the marks; the rest is the file.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <limits>

#include "FuzzSupport.h"
#include "OutputModel.h"
#include "QuietNormalizerHost.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "marks/MarkStore.h"
#include "normalizer/NormalizePass.h"
#include "output/OutputCommands.h"

using namespace sonaveld;

namespace {

struct Controls {
  bool keepHead = false;
  bool smallBlocks = false;
  bool abort = false;
  bool wideMarks = false;
  bool average = false;
  bool exact = false;
  int abortAfter = 0;
  int percent = 100;
  std::vector<int64_t> marks;  // as given, unsorted, possibly refused by the store
};

// Splits the input into the controls and the file's bytes.
check::Bytes Decode(const uint8_t* data, size_t size, Controls* c) {
  const uint8_t options = data[0];
  c->keepHead = options & 1;
  c->smallBlocks = options & 2;
  c->abort = options & 4;
  c->wideMarks = options & 8;
  c->average = options & 16;
  c->exact = options & 32;
  const int count = data[1];
  c->abortAfter = data[2];
  c->percent = 1 + data[3] % 150;
  size_t at = 4;
  const size_t width = c->wideMarks ? 8 : 2;
  for (int i = 0; i < count && at + width <= size; ++i, at += width) {
    if (c->wideMarks) {
      int64_t v;
      std::memcpy(&v, data + at, 8);
      c->marks.push_back(v);
    } else {
      c->marks.push_back(data[at] | data[at + 1] << 8);
    }
  }
  return check::Bytes(data + at, data + size);
}

// Answers Yes and, in abort mode, sets AbortRequested after a number of idle calls.
class FuzzOutputHost : public OutputHost {
 public:
  FuzzOutputHost(CreationFlags& flags, int abortAfter) : flags_(flags), left_(abortAfter) {}
  bool ConfirmLowSpace(const std::string&) override { return true; }
  void Idle() override {
    FUZZ_CHECK(flags_.Busy == 1, "Idle while Busy is 0");
    if (left_ >= 0 && left_-- == 0) flags_.AbortRequested = 1;
  }

 private:
  CreationFlags& flags_;
  int left_;
};

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Checks one command's result against the expected outputs, then removes the outputs.
void CheckCommand(const char* name, const OutputResult& r, const CreationFlags& flags, const Controls& c,
                  const check::Bytes& source, const check::ModelHeader& h,
                  const std::vector<std::string>& paths, const check::Outputs& expected) {
  const std::string what = std::string(name) + ": ";
  const bool aborted = r.status.stopped();
  FUZZ_CHECK(r.status.ok() || aborted, what + "failed: " + r.status.message());
  FUZZ_CHECK(flags.Busy == 0 && flags.AbortRequested == 0, what + "flags left set");
  FUZZ_CHECK(aborted ? c.abort : true, what + "aborted without a request");
  FUZZ_CHECK(!r.partial || aborted, what + "an output cut short without a stop");
  // The outputs completed, then the one the stop cut short.
  std::vector<std::string> outputs = r.written;
  if (r.partial) outputs.push_back(r.partial->path);
  FUZZ_CHECK(outputs.size() <= paths.size(), what + "more outputs than expected");
  if (!aborted) FUZZ_CHECK(outputs.size() == paths.size(), what + "outputs missing");
  std::vector<std::string> listing{"source.wav"};
  for (size_t k = 0; k < outputs.size(); ++k) {
    FUZZ_CHECK(outputs[k] == paths[k], what + "output name " + outputs[k]);
    const check::Bytes actual = check::ReadWholeFile(paths[k]);
    // The output cut short holds a prefix of its samples (and the chunks), shorter than planned.
    int64_t kept = -1;
    if (r.partial && k + 1 == outputs.size()) {
      kept = check::DataSizeField(actual, check::ModelDataOffset(source, h, expected[k]));
      const auto planned = static_cast<int64_t>(expected[k].samples.size());
      FUZZ_CHECK(kept < planned, what + "output cut short is not shorter than expected");
      FUZZ_CHECK(r.partial->sampleBytes == kept, what + "share written of the output cut short");
      FUZZ_CHECK(r.partial->plannedBytes == planned, what + "planned bytes");
    }
    const std::string diff =
        check::CompareOutput(actual, check::ModelOutputFile(source, h, expected[k], c.exact, kept));
    FUZZ_CHECK(diff.empty(), what + BaseName(paths[k]) + ": " + diff);
    listing.push_back(BaseName(paths[k]));
  }
  std::sort(listing.begin(), listing.end());
  FUZZ_CHECK(check::ScratchListing() == listing, what + "unexpected files in the folder");
  for (const auto& path : outputs) std::remove(path.c_str());
}

void RunOutputs(const std::string& path, const check::Bytes& source, const check::ModelHeader& h,
                const Controls& c) {
  auto in = FileSource::Open(path);
  FUZZ_CHECK(in != nullptr, "source cannot be opened");
  const ProbeResult probe = ProbeWave(*in);
  in.reset();
  FUZZ_CHECK(probe.status.ok() == h.accepted, "probe of the file disagrees with the rules");
  if (!probe.status.ok()) return;

  MarkStore store;
  for (int64_t m : c.marks) (void)store.Add(m);  // refusals leave the store as it was
  const std::vector<int64_t> marks = store.Sorted();
  if (marks.empty()) return;

  const FileFields file{path, probe.header, 0};
  OutputOptions options;
  if (c.smallBlocks || c.abort) {
    options.blockBytes = 200 * (1 + c.abortAfter % 3);
    options.idleInterval = std::chrono::milliseconds(0);
  }
  options.freeBytes = [](const std::string&) { return std::numeric_limits<int64_t>::max(); };
  options.exactCuts = c.exact;
  const int abortAfter = c.abort ? c.abortAfter : -1;
  const std::string folder = check::ScratchFolder();

  CreationFlags flags;
  FuzzOutputHost host(flags, abortAfter);
  OutputResult r = WriteCutEditedFile(file, marks, c.keepHead, folder + "/cut.wav", flags, host, options);
  CheckCommand("cut", r, flags, c, source, h, {folder + "/cut.wav"},
               check::ModelCutEdited(source, h, marks, c.keepHead, c.exact));

  flags = {};
  FuzzOutputHost host2(flags, abortAfter);
  r = SplitSelectedRanges(file, marks, c.keepHead, folder + "/split.wav", flags, host2, options);
  const check::Outputs ranges = check::ModelSplitRanges(source, h, marks, c.keepHead, c.exact);
  std::vector<std::string> names;
  for (size_t k = 0; k < ranges.size(); ++k) names.push_back(check::NumberedName(folder, "split", int(k + 1)));
  CheckCommand("split", r, flags, c, source, h, names, ranges);

  flags = {};
  FuzzOutputHost host3(flags, abortAfter);
  r = SplitAtMarks(file, marks, folder + "/piece.wav", flags, host3, options);
  const check::Outputs pieces = check::ModelSplitAtMarks(source, h, marks, c.exact);
  names.clear();
  for (size_t k = 0; k < pieces.size(); ++k) names.push_back(check::NumberedName(folder, "piece", int(k)));
  CheckCommand("split-marks", r, flags, c, source, h, names, pieces);
}

// A little-endian value of the file; bytes beyond its end read as 0.
uint32_t Field(const check::Bytes& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(at + i < b.size() ? b[at + i] : 0) << (8 * i);
  return v;
}

// The encodings the normalizer takes, from the rules: 8 or 16 bits whatever the tag; 24 or 32 bits
// with tag 1 (PCM), 32 bits with tag 3 (float), or either tag as the sub-format of the extensible
// tag 0xFFFE with a format chunk of at least 40 bytes. Returns 3 for float, 1 for integers, 0 for
// a file it refuses.
int NormalizerEncoding(const check::Bytes& b, int bits) {
  if (bits == 8 || bits == 16) return 1;
  uint32_t tag = Field(b, 20, 2);
  if (tag == 0xFFFE) tag = Field(b, 16, 4) >= 40 ? Field(b, 44, 2) : 0;
  if (tag == 1 && (bits == 24 || bits == 32)) return 1;
  return tag == 3 && bits == 32 ? 3 : 0;
}

void RunNormalize(const std::string& path, const check::Bytes& source, const Controls& c) {
  const check::ModelHeader h = check::ModelProbe(source, 0, 100);
  const int encoding = NormalizerEncoding(source, h.bits);
  const bool accepted = encoding != 0 && h.channels >= 1 && h.channels <= 8 && h.dataOffset != 0;
  QuietNormalizerHost host;
  NormalizePass pass(host);
  pass.SetFreeSpaceQuery([](const std::string&) { return std::numeric_limits<int64_t>::max(); });
  NormalizeSettings settings;
  settings.percent = c.percent;
  settings.mode = c.average ? NormalizeMode::kAverage : NormalizeMode::kPeak;
  const PassResult r = pass.Run({path}, settings);
  const std::string output = check::ScratchFolder() + "/source-n.wav";
  if (!accepted) {
    FUZZ_CHECK(r.outcome == PassOutcome::kFailed && !r.status.message().empty(),
               "normalizer took a file it must refuse");
    FUZZ_CHECK(check::ScratchListing() == std::vector<std::string>{"source.wav"}, "refused file left an output");
    return;
  }
  FUZZ_CHECK(r.outcome == PassOutcome::kFinished, "normalizer failed: " + r.status.message());
  const check::Bytes normalized = check::ReadWholeFile(output);
  const std::string diff = check::CheckNormalized(normalized, source, h);
  FUZZ_CHECK(diff.empty(), "normalize: " + diff);
  // Float samples that are not finite stay; the others end within -1..1 (or all stay at level 0).
  for (int64_t at = h.dataOffset; encoding == 3 && at + 4 <= h.dataEnd; at += 4) {
    float x, y;
    std::memcpy(&x, &source[static_cast<size_t>(at)], 4);
    std::memcpy(&y, &normalized[static_cast<size_t>(at)], 4);
    FUZZ_CHECK(std::memcmp(&x, &y, 4) == 0 || (std::isfinite(x) && y >= -1 && y <= 1), "normalize: float sample");
  }
  FUZZ_CHECK(check::ScratchListing() == (std::vector<std::string>{"source-n.wav", "source.wav"}),
             "normalize: unexpected files in the folder");
  std::remove(output.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  Controls c;
  const check::Bytes source = Decode(data, size, &c);
  check::ClearScratchFolder();
  const std::string path = check::ScratchFolder() + "/source.wav";
  check::WriteWholeFile(path, source);

  RunOutputs(path, source, check::ModelProbe(source), c);
  RunNormalize(path, source, c);

  FUZZ_CHECK(check::ReadWholeFile(path) == source, "the source file changed");
  return 0;
}
