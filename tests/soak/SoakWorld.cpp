#include "SoakWorld.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "QuietNormalizerHost.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "marks/MarkListFile.h"
#include "normalizer/NormalizePass.h"
#include "output/OutputCommands.h"

namespace sonaveld::soak {
namespace {

namespace fs = std::filesystem;

void WriteBytes(const std::string& path, const check::Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

check::Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return check::Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put(check::Bytes& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutChunk(check::Bytes& w, const std::string& id, const check::Bytes& body) {
  w.insert(w.end(), id.begin(), id.end());
  Put(w, static_cast<uint32_t>(body.size()), 4);
  w.insert(w.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) w.push_back(0);
}

// The chunks of a field recording, each now and then: bext (a random TimeReference), iXML, cue
// points in and around the frames with their labels and regions (LIST-adtl), a loop chunk; each
// goes into before or after the data.
void RecorderChunks(std::mt19937_64& r, int64_t frames, check::Bytes& before, check::Bytes& after) {
  const auto pick = [&]() -> check::Bytes& { return r() % 2 ? before : after; };
  if (r() % 2) {
    check::Bytes bext(602, ' ');
    for (int i = 0; i < 8; ++i) bext[338 + i] = static_cast<uint8_t>(r());
    PutChunk(pick(), "bext", bext);
  }
  if (r() % 2) {
    const std::string hi = std::to_string(r() % 3), lo = std::to_string(r() % 4294967296u);
    const std::string xml = "<BWFXML><SPEED><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI>" + hi +
                            "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_HI><TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO>" + lo +
                            "</TIMESTAMP_SAMPLES_SINCE_MIDNIGHT_LO></SPEED></BWFXML>";
    PutChunk(pick(), "iXML", check::Bytes(xml.begin(), xml.end()));
  }
  if (r() % 2) {
    const uint32_t points = 1 + static_cast<uint32_t>(r() % 5);
    check::Bytes cue, adtl = {'a', 'd', 't', 'l'};
    Put(cue, points, 4);
    for (uint32_t id = 1; id <= points; ++id) {
      const auto frame = static_cast<uint32_t>(r() % static_cast<uint64_t>(frames + 20));
      Put(cue, id, 4), Put(cue, r() % 2 ? frame : 0, 4), cue.insert(cue.end(), {'d', 'a', 't', 'a'});
      Put(cue, 0, 4), Put(cue, 0, 4), Put(cue, frame, 4);
      check::Bytes text;
      Put(text, id, 4);
      if (r() % 2) Put(text, static_cast<uint32_t>(r() % 4000), 4), text.insert(text.end(), 12, 'x');
      text.insert(text.end(), {'m', 0, 'k'});
      PutChunk(adtl, text.size() > 8 ? "ltxt" : "labl", text);
    }
    PutChunk(pick(), "cue ", cue);
    PutChunk(pick(), "LIST", adtl);
  }
  if (r() % 3 == 0) PutChunk(pick(), "smpl", check::Bytes(60, 7));
}

// A WAV image: one of the ten kinds (8/16/24/32-bit integer or 32-bit float, the wide ones plain
// or extensible), now and then a fact chunk, a LIST chunk and a recorder's chunks before the data,
// those of a recorder and up to three more chunks after it, a tail byte or two that make no whole frame.
check::Bytes RandomWav(std::mt19937_64& r) {
  const int channels = 1 + static_cast<int>(r() % 2);
  static const int kBits[] = {8, 16, 24, 32, 32};
  const int layout = static_cast<int>(r() % 5);
  const int bits = kBits[layout];
  const uint16_t tag = layout == 4 ? 3 : 1;
  const bool extensible = bits >= 24 && r() % 2;
  const int64_t frames = static_cast<int64_t>(r() % 3000);
  check::Bytes w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put(w, extensible ? 40 : 16, 4);
  Put(w, extensible ? 0xFFFE : tag, 2);
  Put(w, static_cast<uint32_t>(channels), 2);
  Put(w, 22050, 4);
  Put(w, static_cast<uint32_t>(22050 * channels * bits / 8), 4);
  Put(w, static_cast<uint32_t>(channels * bits / 8), 2);
  Put(w, static_cast<uint32_t>(bits), 2);
  if (extensible) {
    Put(w, 22, 2);
    Put(w, static_cast<uint32_t>(bits), 2);
    Put(w, channels == 2 ? 3 : 4, 4);
    Put(w, tag, 2);
    w.insert(w.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  }
  if (r() % 2 == 0) {
    w.insert(w.end(), {'f', 'a', 'c', 't'});
    Put(w, 4, 4);
    Put(w, static_cast<uint32_t>(frames), 4);
  }
  if (r() % 3 == 0) {
    const uint32_t body = 4 + static_cast<uint32_t>(r() % 120) * 2;
    w.insert(w.end(), {'L', 'I', 'S', 'T'});
    Put(w, body, 4);
    w.insert(w.end(), body, 'i');
  }
  check::Bytes recorded;
  if (r() % 3 == 0) RecorderChunks(r, frames, w, recorded);
  const int64_t sampleBytes = frames * channels * bits / 8 + (r() % 4 == 0 ? 1 + static_cast<int64_t>(r() % 2) : 0);
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  Put(w, static_cast<uint32_t>(sampleBytes), 4);
  for (int64_t i = 0; i < sampleBytes; ++i) w.push_back(static_cast<uint8_t>(r()));
  // Chunks after the data: the carried kinds (id3, LIST-INFO) among ones that stay behind (cue,
  // LIST-adtl), odd bodies; now and then the last one's pad byte or the end of its body is missing.
  const int after = static_cast<int>(r() % 4);
  if ((after > 0 || !recorded.empty()) && sampleBytes % 2 == 1) w.push_back(0);
  w.insert(w.end(), recorded.begin(), recorded.end());
  for (int c = 0; c < after; ++c) {
    static const std::string kIds[] = {"id3 ", "LIST", "cue ", "LIST"};
    static const std::string kTypes[] = {"", "INFO", "", "adtl"};
    const int kind = static_cast<int>(r() % 4);
    const std::string& type = kTypes[kind];
    const auto body = static_cast<uint32_t>(type.size() + r() % 21);
    w.insert(w.end(), kIds[kind].begin(), kIds[kind].end());
    Put(w, body, 4);
    w.insert(w.end(), type.begin(), type.end());
    for (size_t i = type.size(); i < body; ++i) w.push_back(static_cast<uint8_t>(r()));
    if (body % 2 == 1) w.push_back(0);
  }
  if (after > 0 && r() % 4 == 0) w.resize(w.size() - 1 - r() % 3);
  const uint32_t riff = static_cast<uint32_t>(w.size() - 8);
  for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return w;
}

// A 24-bit, 32-bit or float WAV image, plain or extensible, with or without a fact chunk, random
// samples (a float now and then NaN or infinite, or beyond full scale), now and then a trailing
// chunk or an incomplete last sample.
check::Bytes RandomWideWav(std::mt19937_64& r) {
  const uint32_t channels = 1 + static_cast<uint32_t>(r() % 2), pick = static_cast<uint32_t>(r() % 3);
  const uint32_t bits = pick == 0 ? 24 : 32, tag = pick == 2 ? 3 : 1, frameBytes = channels * bits / 8;
  const bool extensible = r() % 2 == 0;
  check::Bytes w = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  Put(w, extensible ? 40 : 16, 4);
  Put(w, extensible ? 0xFFFE : tag, 2);
  Put(w, channels, 2);
  Put(w, 48000, 4);
  Put(w, 48000 * frameBytes, 4);
  Put(w, frameBytes, 2);
  Put(w, bits, 2);
  if (extensible) {
    Put(w, 22, 2), Put(w, bits, 2), Put(w, channels == 2 ? 3 : 4, 4), Put(w, tag, 2);
    w.insert(w.end(), {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
  }
  const auto frames = static_cast<uint32_t>(r() % 6000);
  if (r() % 2 == 0) w.insert(w.end(), {'f', 'a', 'c', 't', 4, 0, 0, 0}), Put(w, frames, 4);
  const uint32_t bytes = frames * frameBytes + (r() % 4 == 0 ? 2 : 0);
  w.insert(w.end(), {'d', 'a', 't', 'a'});
  Put(w, bytes, 4);
  for (uint32_t i = 0; i < bytes; i += 4) {
    uint32_t v = static_cast<uint32_t>(r());
    if (tag == 3 && v % 64 != 0) {  // mostly finite floats within +-2
      const float x = static_cast<float>(static_cast<int32_t>(v)) / 1073741824.0f;
      std::memcpy(&v, &x, 4);
    }
    Put(w, v, static_cast<int>(std::min<uint32_t>(4, bytes - i)));
  }
  if (r() % 3 == 0) w.insert(w.end(), {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'});
  const uint32_t riff = static_cast<uint32_t>(w.size() - 8);
  for (int i = 0; i < 4; ++i) w[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
  return w;
}

class SoakHost : public OutputHost {
 public:
  SoakHost(CreationFlags& flags, int abortAt) : flags_(flags), abortAt_(abortAt) {}
  bool ConfirmLowSpace(const std::string&) override { return true; }
  void Idle() override {
    if (flags_.Busy != 1) idleWhileIdle = true;
    if (++idles == abortAt_) flags_.AbortRequested = 1;
  }
  bool idleWhileIdle = false;
  int idles = 0;

 private:
  CreationFlags& flags_;
  int abortAt_;
};

std::string Base(const std::string& path) { return fs::path(path).filename().string(); }

}  // namespace

SoakWorld::SoakWorld(uint64_t start) : random_(start) {
  const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "sonaveld-soak-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  OpenNewFile();
}

SoakWorld::~SoakWorld() {
  std::error_code ec;
  if (!folder_.empty()) fs::remove_all(folder_, ec);
}

std::string SoakWorld::Step() {
  if (folder_.empty()) return "no scratch folder";
  const uint64_t pick = random_() % 100;
  std::string failure;
  if (pick < 2) last_ = "open", failure = OpenNewFile();
  else if (pick < 40) last_ = "add mark", failure = AddMark();
  else if (pick < 50) last_ = "delete one", failure = DeleteOne();
  else if (pick < 52) last_ = "delete all", failure = DeleteAll();
  else if (pick < 57) last_ = "keep head", failure = ToggleKeepHead();
  else if (pick < 67) last_ = "cut", failure = RunOutput(0);
  else if (pick < 77) last_ = "split", failure = RunOutput(1);
  else if (pick < 87) last_ = "split at marks", failure = RunOutput(2);
  else if (pick < 93) last_ = "normalize", failure = Normalize();
  else last_ = "mark file", failure = MarkFileRoundTrip();
  ++tally_[last_];
  return failure.empty() ? CheckState() : failure;
}

std::string SoakWorld::Tally() const {
  std::string text;
  for (const auto& [name, count] : tally_) text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
  return text;
}

int64_t SoakWorld::RandomPosition() {
  const int64_t frames = std::max<int64_t>(1, (model_.dataEnd - model_.dataOffset) / std::max(1, model_.frameBytes));
  switch (random_() % 20) {
    case 0: return -static_cast<int64_t>(random_() % 5);                        // refused
    case 1: return std::numeric_limits<int64_t>::max() - static_cast<int64_t>(random_() % 3);
    case 2: return shadow_.empty() ? 1 : *shadow_.begin();                      // already marked
    default: return 1 + static_cast<int64_t>(random_() % static_cast<uint64_t>(frames + 50));
  }
}

std::string SoakWorld::OpenNewFile() {
  for (const auto& entry : fs::directory_iterator(folder_)) fs::remove(entry.path());
  source_ = RandomWav(random_);
  file_.WaveFileName = Path("take.wav");
  WriteBytes(file_.WaveFileName, source_);
  auto in = FileSource::Open(file_.WaveFileName);
  if (!in) return "source cannot be opened";
  const ProbeResult probe = ProbeWave(*in);
  model_ = check::ModelProbe(source_);
  if (!probe.status.ok() || !model_.accepted) return "generated file refused: " + probe.status.message();
  file_.Header = probe.header;
  store_.Reset();
  shadow_.clear();
  markFileExists_ = false;
  return {};
}

std::string SoakWorld::AddMark() {
  const int64_t pos = RandomPosition();
  const bool accept = pos >= 1 && !shadow_.count(pos) && shadow_.size() < 255;
  const Status status = store_.Add(pos);
  if (status.ok() != accept) return "Add(" + std::to_string(pos) + ") gave " + (status.ok() ? "ok" : status.message());
  if (accept) shadow_.insert(pos);
  return {};
}

std::string SoakWorld::DeleteOne() {
  if (shadow_.empty()) return {};
  auto it = shadow_.begin();
  std::advance(it, static_cast<long>(random_() % shadow_.size()));
  const int64_t victim = *it;
  if (store_.DeleteWhere([victim](int64_t m) { return m == victim; }) != 1) return "delete did not remove one mark";
  shadow_.erase(victim);
  return {};
}

std::string SoakWorld::DeleteAll() {
  store_.DeleteAll();
  shadow_.clear();
  return {};
}

std::string SoakWorld::ToggleKeepHead() {
  keepHead_ = !keepHead_;
  store_.SetKeepHead(keepHead_);
  return {};
}

std::string SoakWorld::RunOutput(int which) {
  CreationFlags flags;
  const bool abort = random_() % 8 == 0;
  SoakHost host(flags, abort ? 1 + static_cast<int>(random_() % 6) : 0);
  OutputOptions options;
  options.blockBytes = 200 * (1 + static_cast<int64_t>(random_() % 8));
  options.idleInterval = std::chrono::milliseconds(0);
  options.freeBytes = [](const std::string&) { return std::numeric_limits<int64_t>::max(); };
  const bool exact = random_() % 3 == 0;
  options.exactCuts = exact;
  const std::vector<int64_t> marks = store_.Sorted();
  const Status begin = CheckBeginOutput(flags, true, store_.Count());
  if (marks.empty()) return begin.failed() ? std::string() : "no marks, yet the command may begin";

  OutputResult r;
  check::Outputs expected;
  std::vector<std::string> paths;
  if (which == 0) {
    r = WriteCutEditedFile(file_, marks, store_.KeepHead(), Path("cut.wav"), flags, host, options);
    expected = check::ModelCutEdited(source_, model_, marks, keepHead_, exact);
    paths = {Path("cut.wav")};
  } else if (which == 1) {
    r = SplitSelectedRanges(file_, marks, store_.KeepHead(), Path("part.wav"), flags, host, options);
    expected = check::ModelSplitRanges(source_, model_, marks, keepHead_, exact);
    for (size_t k = 0; k < expected.size(); ++k) paths.push_back(check::NumberedName(folder_, "part", int(k + 1)));
  } else {
    r = SplitAtMarks(file_, marks, Path("piece.wav"), flags, host, options);
    expected = check::ModelSplitAtMarks(source_, model_, marks, exact);
    for (size_t k = 0; k < expected.size(); ++k) paths.push_back(check::NumberedName(folder_, "piece", int(k)));
  }
  if (!r.status.ok() && !r.status.stopped()) return "command failed: " + r.status.message();
  if (flags.Busy != 0 || flags.AbortRequested != 0 || host.idleWhileIdle) return "flags wrong after the command";
  const bool aborted = r.status.stopped();
  if (aborted && !abort) return "aborted without a request";
  if (r.partial && !aborted) return "an output cut short without a stop";
  // The outputs completed, then the one the stop cut short.
  std::vector<std::string> outputs = r.written;
  if (r.partial) outputs.push_back(r.partial->path);
  if (outputs.size() > paths.size() || (!aborted && outputs.size() != paths.size())) return "output count";
  for (size_t k = 0; k < outputs.size(); ++k) {
    if (outputs[k] != paths[k]) return "output name " + outputs[k];
    const check::Bytes actual = ReadBytes(paths[k]);
    int64_t kept = -1;
    if (r.partial && k + 1 == outputs.size()) {
      kept = check::DataSizeField(actual, check::ModelDataOffset(source_, model_, expected[k]));
      const auto planned = static_cast<int64_t>(expected[k].samples.size());
      if (kept >= planned || r.partial->plannedBytes != planned) {
        return "output cut short: " + std::to_string(kept) + " of " + std::to_string(planned);
      }
    }
    const std::string diff =
        check::CompareOutput(actual, check::ModelOutputFile(source_, model_, expected[k], exact, kept));
    if (!diff.empty()) return Base(paths[k]) + ": " + diff;
  }
  for (const auto& path : outputs) fs::remove(path);
  return {};
}

// The open document, or now and then a 24-bit, 32-bit or float file made for the purpose.
std::string SoakWorld::Normalize() {
  const bool wide = random_() % 3 == 0;
  const check::Bytes source = wide ? RandomWideWav(random_) : source_;
  const std::string path = wide ? Path("wide.wav") : file_.WaveFileName;
  if (wide) last_ = "normalize wide", WriteBytes(path, source);
  QuietNormalizerHost host;
  NormalizePass pass(host);
  pass.SetFreeSpaceQuery([](const std::string&) { return std::numeric_limits<int64_t>::max(); });
  NormalizeSettings settings;
  settings.percent = 1 + static_cast<int>(random_() % 150);
  settings.mode = random_() % 2 ? NormalizeMode::kAverage : NormalizeMode::kPeak;
  const PassResult r = pass.Run({path}, settings);
  if (r.outcome != PassOutcome::kFinished) return "normalize: " + r.status.message();
  const std::string output = Path(wide ? "wide-n.wav" : "take-n.wav");
  const check::Bytes normalized = ReadBytes(output);
  const check::ModelHeader h = check::ModelProbe(source, 0, 100);
  std::string diff = check::CheckNormalized(normalized, source, h);
  // Float samples (tag 3, plain or as the extensible sub-format): those that are not finite stay
  // as they were, the others end within -1..1 (or stay, where a level of 0 keeps them all).
  const bool floats = wide && (source[20] == 3 || (source[20] == 0xFE && source[44] == 3));
  for (int64_t at = h.dataOffset; floats && diff.empty() && at + 4 <= h.dataEnd; at += 4) {
    float x, y;
    std::memcpy(&x, &source[at], 4);
    std::memcpy(&y, &normalized[at], 4);
    if (std::memcmp(&x, &y, 4) != 0 && !(std::isfinite(x) && y >= -1 && y <= 1)) {
      diff = "float sample at " + std::to_string(at);
    }
  }
  fs::remove(output);
  if (wide) fs::remove(path);
  return diff;
}

std::string SoakWorld::MarkFileRoundTrip() {
  const Status written = WriteMarkListFile(file_.WaveFileName, store_);
  if (shadow_.empty()) return written.failed() ? std::string() : "a mark file written without marks";
  if (!written.ok()) return "mark file: " + written.message();
  markFileExists_ = true;
  const std::string listPath = MarkListFileName(file_.WaveFileName);
  if (random_() % 3 == 0) {
    // A damaged file must be refused and leave the marks as they were.
    std::ofstream(listPath, std::ios::app) << "12x\r\n";
    if (ReadMarkListFile(file_.WaveFileName, store_).ok()) return "a damaged mark file was read";
    fs::remove(listPath);
    markFileExists_ = false;
    return {};
  }
  // Read back into the document's store, after changing it, as the window's read does.
  store_.DeleteAll();
  const Status read = ReadMarkListFile(file_.WaveFileName, store_);
  return read.ok() ? std::string() : "mark file read back: " + read.message();
}

std::string SoakWorld::CheckState() {
  const std::vector<int64_t> expected(shadow_.begin(), shadow_.end());
  if (store_.Sorted() != expected) return "marks differ from the shadow";
  if (store_.Count() != static_cast<int>(expected.size()) || store_.Count() > MarkStore::kMaxMarks) return "count";
  if (store_.Slot(0) != 1) return "slot 0 is not 1";
  for (int i = store_.Count() + 1; i <= MarkStore::kMaxMarks; ++i) {
    if (store_.Slot(i) != 0) return "slot " + std::to_string(i) + " not cleared";
  }
  const auto memo2 = store_.Memo2();
  for (size_t i = 0; i < expected.size(); ++i) {
    if (memo2[i] != std::to_string(expected[i])) return "Memo2 line " + std::to_string(i);
  }
  if (store_.KeepHead() != keepHead_) return "keep head changed";
  if (ReadBytes(file_.WaveFileName) != source_) return "the source file changed";
  std::vector<std::string> listing;
  for (const auto& entry : fs::directory_iterator(folder_)) listing.push_back(Base(entry.path().string()));
  std::sort(listing.begin(), listing.end());
  const std::vector<std::string> allowed =
      markFileExists_ ? std::vector<std::string>{"take.txt", "take.wav"} : std::vector<std::string>{"take.wav"};
  if (listing != allowed) return "unexpected files in the folder";
  return {};
}

}  // namespace sonaveld::soak
