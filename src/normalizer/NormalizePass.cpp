#include "normalizer/NormalizePass.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "document/ByteSource.h"
#include "document/Status.h"
#include "document/WaveProbe.h"
#include "normalizer/NormalizeNames.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {
namespace fs = std::filesystem;
namespace {

constexpr char kBackupQuestion[] =
    "「*-orig.wav」があるのでノーマライズできません。「*-orig.wav」を「*.wav」にremaneしますか。";
constexpr char kNoSpace[] = "ディスクの空き容量が不足しています。処理を中止します。";
constexpr char kNotBits[] = "は 8ビット、16ビット WAVファイルではない可能性があります。確認して下さい。";
constexpr char kNotChannels[] = "は モノラル、ステレオ WAVファイルではない可能性があります。確認して下さい。";
constexpr char kNoData[] = "は dataチャンクが見つかりません。WAVファイルではない可能性があります。";
constexpr char kNoDot[] = "WAVファイルに「.」がありません。停止します。";
constexpr char kCannotWrite[] = "に書き込めません。";
constexpr char kCannotOpen[] = "ファイル %s は開けません";
constexpr char kCannotCreate[] = "ファイル %s を作成できません";
// The backup name is taken, by an earlier entry's backup ("a.wav" and "a.wave" share one).
constexpr char kBackupTaken[] = "ファイル %s は既にあるので、上書きしないようにノーマライズを中止します。";

// The "data" search of the normalizer covers tag offsets 0..100.
constexpr int kLastTagOffset = 100;

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// Copies bytes [from, to) of source to the end of output: kDone, kReadError on a short or failed
// read (the source changed or cannot be read), kWriteError on a failed write.
RunEnd CopyStretch(ByteSource& source, OutputFile& output, int64_t from, int64_t to, std::vector<uint8_t>& buffer) {
  for (int64_t at = from; at < to;) {
    const int64_t want = std::min(static_cast<int64_t>(buffer.size()), to - at);
    if (source.ReadAt(at, buffer.data(), want) != want) return RunEnd::kReadError;
    if (!output.Write(buffer.data(), want)) return RunEnd::kWriteError;
    at += want;
  }
  return RunEnd::kDone;
}

}  // namespace

PassOutcome NormalizePass::Run(const std::vector<std::string>& entries, const NormalizeSettings& settings) {
  if (running_) return PassOutcome::kBusy;
  running_ = true;
  settingsEnabled_ = true;
  fileBarMaximum_ = -1;
  const float factor = PercentFactor(settings.percent);
  stopRequested_ = false;
  host_.SetBarPosition(NormalizeBar::kWhole, 0);
  host_.SetBarPosition(NormalizeBar::kFile, 0);
  host_.SelectEntry(0);

  PassOutcome outcome = PassOutcome::kFinished;
  if (!settings.keepSourceName && AnyBackupExists(entries)) {
    outcome = host_.Confirm(kBackupQuestion) ? Restore(entries) : PassOutcome::kDeclined;
  } else {
    const int count = static_cast<int>(entries.size());
    for (int i = 0; i < count && outcome == PassOutcome::kFinished; ++i) {
      outcome = NormalizeEntry(entries[i], settings, factor);
      if (outcome != PassOutcome::kFinished) break;
      host_.SetBarMaximum(NormalizeBar::kWhole, count);
      host_.SetBarPosition(NormalizeBar::kWhole, i + 1);
      host_.SelectEntry(i + 1);
    }
  }
  SetSettingsEnabled(true);
  running_ = false;
  return outcome;
}

bool NormalizePass::AnyBackupExists(const std::vector<std::string>& entries) const {
  return std::any_of(entries.begin(), entries.end(), [](const std::string& entry) {
    const auto names = NamesFor(entry);
    return names && Exists(names->backup);
  });
}

PassOutcome NormalizePass::Restore(const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) {
    const auto names = NamesFor(entry);
    if (!names || !Exists(names->backup)) continue;
    std::error_code ec;
    fs::remove(entry, ec);  // the normalized file that took the source's name; outcome ignored
    if (!Exists(names->backup)) continue;
    fs::rename(names->backup, entry, ec);
    if (ec) return Fail(FormatMessage(kCannotCreate, entry));
  }
  return PassOutcome::kRestored;
}

PassOutcome NormalizePass::NormalizeEntry(const std::string& path, const NormalizeSettings& settings, float factor) {
  auto source = FileSource::Open(path);
  const int64_t fileSize = source ? source->Size() : -1;
  if (fileSize < 0) return Fail(FormatMessage(kCannotOpen, path));
  const int channels = ReadU8(*source, 22);
  const int bits = ReadU8(*source, 34);
  const DataChunk chunk = FindDataChunk(*source, fileSize, 0, kLastTagOffset);
  // A failed read in the search would place the sample area wrongly and scale header bytes.
  if (chunk.readError) return Fail(FormatMessage(kCannotOpen, path));

  // The checks, all before anything is created: space, bit depth, channels, data chunk, name.
  if (freeSpace_(path) < fileSize) return Fail(kNoSpace);
  if (bits != 8 && bits != 16) return Fail(path + kNotBits);
  if (channels != 1 && channels != 2) return Fail(path + kNotChannels);
  if (chunk.offset == 0) return Fail(path + kNoData);
  const std::optional<NormalizeNames> names = NamesFor(path);
  if (!names) return Fail(kNoDot);
  // The swap would replace a backup already there: refuse before anything is written.
  if (!settings.keepSourceName && Exists(names->backup)) return Fail(FormatMessage(kBackupTaken, names->backup));

  auto output = OutputFile::Create(names->output, opener_);
  if (!output) return Fail(FormatMessage(kCannotCreate, names->output));
  const SampleArea area{chunk.offset, chunk.end, fileSize, ClassifyFormat(bits, channels)};

  ChannelLevels levels;
  RunEnd end = MeasureLevels(*source, area, levels, Hooks(false, area));
  std::vector<uint8_t> buffer(1 << 16);
  if (end == RunEnd::kDone) end = CopyStretch(*source, *output, 0, area.offset, buffer);
  if (end == RunEnd::kDone) end = ScaleSamples(*source, *output, area, settings.mode, factor, levels, Hooks(true, area));
  if (end == RunEnd::kDone) end = CopyStretch(*source, *output, area.end, fileSize, buffer);
  if (end == RunEnd::kDone && output->written() != fileSize) end = RunEnd::kReadError;  // source changed meanwhile
  if (end == RunEnd::kStopped) return PassOutcome::kStopped;
  if (end == RunEnd::kReadError) return Fail(FormatMessage(kCannotOpen, path));
  if (end == RunEnd::kWriteError || !output->Commit()) return Fail(names->output + kCannotWrite);
  host_.SetBarPosition(NormalizeBar::kFile, fileBarMaximum_);
  source.reset();

  if (settings.keepSourceName) {
    host_.OutputWritten(names->output);
    return PassOutcome::kFinished;
  }
  return SwapNames(path, names->output, names->backup);
}

PassOutcome NormalizePass::SwapNames(const std::string& path, const std::string& output, const std::string& backup) {
  // A backup that appeared while the entry was written would be replaced by the rename and lost.
  if (Exists(backup)) return Fail(FormatMessage(kBackupTaken, backup));
  std::error_code ec;
  fs::rename(path, backup, ec);
  if (ec) return Fail(FormatMessage(kCannotCreate, backup));
  fs::rename(output, path, ec);
  if (ec) {
    std::error_code undo;
    fs::rename(backup, path, undo);  // the source takes its own name again
    return Fail(FormatMessage(kCannotCreate, path));
  }
  host_.OutputWritten(path);
  return PassOutcome::kFinished;
}

RunHooks NormalizePass::Hooks(bool scaling, const SampleArea& area) {
  RunHooks hooks;
  hooks.stopTest = [this] {
    if (stopRequested_) {
      SetSettingsEnabled(true);
      host_.SetBarPosition(NormalizeBar::kWhole, 0);
      host_.SetBarPosition(NormalizeBar::kFile, 0);
      return true;
    }
    SetSettingsEnabled(false);
    return false;
  };
  if (scaling) {
    // A file shorter than two blocks would give the bar a maximum below 1; it gets 1.
    const int64_t maximum = std::max<int64_t>(ProgressMaximum(area), 1);
    hooks.progress = [this, maximum](int64_t k, int64_t) {
      if (fileBarMaximum_ != maximum) host_.SetBarMaximum(NormalizeBar::kFile, fileBarMaximum_ = maximum);
      host_.SetBarPosition(NormalizeBar::kFile, std::min(k, maximum));
    };
  } else {
    hooks.measureProgress = [this](int64_t k, int64_t blocks) { host_.MeasureProgress(k, blocks); };
  }
  hooks.idle = [this] { host_.ProcessEvents(); };
  return hooks;
}

PassOutcome NormalizePass::Fail(const std::string& message) {
  host_.ShowMessage(message);
  return PassOutcome::kFailed;
}

void NormalizePass::SetSettingsEnabled(bool enabled) {
  if (settingsEnabled_ == enabled) return;
  settingsEnabled_ = enabled;
  host_.SetSettingsEnabled(enabled);
}

}  // namespace sonaveld
