#include "normalizer/NormalizePass.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "base/Status.h"
#include "document/WaveProbe.h"
#include "document/WaveSizes.h"
#include "io/ByteCopier.h"
#include "io/ByteSource.h"
#include "normalizer/ClipCount.h"
#include "normalizer/LoudnessGain.h"
#include "normalizer/NormalizeNames.h"
#include "normalizer/SampleGain.h"

namespace sonaveld {
namespace fs = std::filesystem;
namespace {

// The fallback "data" tag search of the normalizer covers these offsets.
constexpr int kFirstTagOffset = 0;
constexpr int kLastTagOffset = 100;

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// Copies bytes [from, to) of the entry at path to the end of output: Ok; the read message on a
// short or failed read (the source changed or cannot be read); the write message on a failed write.
Status CopyStretch(ByteCopier& copier, ByteSource& source, OutputFile& output, int64_t from, int64_t to,
                   const std::string& path) {
  switch (copier.Copy(source, output, from, to - from)) {
    case ByteSink::Copy::kDone:
    case ByteSink::Copy::kUnsupported: break;
    case ByteSink::Copy::kReadFailed: return Status::Fail(MessageId::kCannotOpen, path);
    case ByteSink::Copy::kWriteFailed: return Status::Fail(MessageId::kEntryCannotWrite, output.path());
  }
  return Status::Ok();
}

// The pass's result from how it ended: a failure or a stop as such, else the outcome of a pass
// that went through.
PassResult Ended(const Status& status, PassOutcome wentThrough) {
  if (status.failed()) return {status, PassOutcome::kFailed};
  if (status.stopped()) return {status, PassOutcome::kStopped};
  return {status, wentThrough};
}

}  // namespace

PassResult NormalizePass::Run(const std::vector<std::string>& entries, const NormalizeSettings& settings) {
  if (running_) return {Status::Silent(), PassOutcome::kBusy};
  running_ = true;
  settingsEnabled_ = true;
  fileBarMaximum_ = -1;
  const float factor = PercentFactor(settings.percent);
  stopRequested_ = false;
  host_.SetBarPosition(NormalizeBar::kWhole, 0);
  host_.SetBarPosition(NormalizeBar::kFile, 0);
  host_.SelectEntry(0);

  PassResult result;
  if (!settings.keepSourceName && AnyBackupExists(entries)) {
    const bool restore = host_.Confirm(FormatMessage(MessageId::kBackupQuestion));
    result = restore ? Ended(Restore(entries), PassOutcome::kRestored)
                     : PassResult{Status::Silent(), PassOutcome::kDeclined};
  } else {
    result = Ended(NormalizeEntries(entries, settings, factor), PassOutcome::kFinished);
  }
  SetSettingsEnabled(true);
  running_ = false;
  return result;
}

Status NormalizePass::NormalizeEntries(const std::vector<std::string>& entries, const NormalizeSettings& settings,
                                       float factor) {
  const int count = static_cast<int>(entries.size());
  for (int i = 0; i < count; ++i) {
    if (const std::string skip = SkipReason(entries, static_cast<size_t>(i), settings); !skip.empty()) {
      host_.EntrySkipped(skip);
    } else if (Status entry = NormalizeEntry(entries, static_cast<size_t>(i), settings, factor); !entry.ok()) {
      return entry;
    }
    host_.SetBarMaximum(NormalizeBar::kWhole, count);
    host_.SetBarPosition(NormalizeBar::kWhole, i + 1);
    host_.SelectEntry(i + 1);
  }
  return Status::Ok();
}

std::string NormalizePass::SkipReason(const std::vector<std::string>& entries, size_t i,
                                      const NormalizeSettings& settings) {
  if (!settings.skipExisting) return {};
  const auto names = NamesFor(entries[i], settings.outputDir);
  if (names && Exists(names->output)) return FormatMessage(MessageId::kOutputExists, names->output);
  // "normalize *.wav" run again lists take-n.wav beside take.wav: it is take.wav's output, not a source.
  const fs::path self = fs::absolute(entries[i]).lexically_normal();
  for (const std::string& other : entries) {
    const auto theirs = NamesFor(other, settings.outputDir);
    if (theirs && fs::absolute(theirs->output).lexically_normal() == self) {
      return FormatMessage(MessageId::kEntryIsOutput, entries[i]);
    }
  }
  return {};
}

Status NormalizePass::RunEntry(const std::vector<std::string>& entries, size_t i, const NormalizeSettings& settings,
                               std::unique_ptr<FileSource> opened) {
  if (const std::string skip = SkipReason(entries, i, settings); !skip.empty()) {
    host_.EntrySkipped(skip);
    return Status::Silent();
  }
  return NormalizeEntry(entries, i, settings, PercentFactor(settings.percent), std::move(opened));
}

bool NormalizePass::AnyBackupExists(const std::vector<std::string>& entries) {
  return std::any_of(entries.begin(), entries.end(), [](const std::string& entry) {
    const auto names = NamesFor(entry);
    return names && Exists(names->backup);
  });
}

Status NormalizePass::Restore(const std::vector<std::string>& entries) {
  for (const std::string& entry : entries) {
    const auto names = NamesFor(entry);
    if (!names || !Exists(names->backup)) continue;
    std::error_code ec;
    fs::remove(entry, ec);  // the normalized file that took the source's name; outcome ignored
    if (!Exists(names->backup)) continue;
    fs::rename(names->backup, entry, ec);
    if (ec) return Status::Fail(MessageId::kCannotCreate, entry);
  }
  return Status::Ok();
}

Status NormalizePass::NormalizeEntry(const std::vector<std::string>& entries, size_t i,
                                     const NormalizeSettings& settings, float factor,
                                     std::unique_ptr<FileSource> opened) {
  const std::string& path = entries[i];
  std::unique_ptr<FileSource> source = opened ? std::move(opened) : FileSource::Open(path);
  const int64_t fileSize = source ? source->Size() : -1;
  if (fileSize < 0) return Status::Fail(MessageId::kCannotOpen, path);
  // RF64/BW64 have their format chunk after "ds64"; the output keeps the source's form.
  const WaveContainer container = ReadContainer(*source);
  const int64_t shift = FormatShift(*source, container, fileSize);
  const bool wide = IsWide(container) && ReadDs64(*source).present;
  const int channels = ReadU8(*source, kChannelsOffset + shift);
  // The tag and the bits decide the encoding, as the main window's probe decides it.
  const SampleEncoding encoding = ClassifyEncoding(ReadFormatFields(*source, shift));
  const DataChunk chunk = FindDataChunk(*source, fileSize, kFirstTagOffset, kLastTagOffset);
  // A failed read in the search would place the sample area wrongly and scale header bytes.
  if (chunk.readError) return Status::Fail(MessageId::kCannotOpen, path);

  // The checks, all before anything is created: space, bit depth, channels, data chunk, name.
  const std::string outputPlace =
      settings.outputDir.empty() ? path : (fs::path(settings.outputDir) / fs::path(path).filename()).string();
  if (freeSpace_(outputPlace) < fileSize) return Status::Fail(MessageId::kNoSpace);
  if (encoding == SampleEncoding::kNone) return Status::Fail(MessageId::kEntryNotBits, path);
  if (channels < 1 || channels > kMaxChannels) return Status::Fail(MessageId::kEntryNotChannels, path);
  if (chunk.offset == 0) return Status::Fail(MessageId::kEntryNoDataChunk, path);
  const std::optional<NormalizeNames> names = NamesFor(path, settings.outputDir);
  if (!names) return Status::Fail(MessageId::kNoDot);
  // The swap would replace a backup already there (an earlier entry's: "a.wav" and "a.wave" share
  // one): refuse before anything is written.
  if (!settings.keepSourceName && Exists(names->backup)) return Status::Fail(MessageId::kBackupTaken, names->backup);

  auto output = OutputFile::Create(names->output, opener_);
  if (!output) return Status::Fail(MessageId::kCannotCreate, names->output);
  // The output is as large as the source: room for all of it at once costs the file system less
  // than block by block as the writes come.
  output->Reserve(fileSize);
  // A file of 3 to 8 channels has no kind: its layout describes it.
  const FormatKind kind = KindOf(encoding, channels);
  const SampleArea area{chunk.offset, chunk.end, fileSize, kind, path,
                        kind == FormatKind::kNone ? SampleLayoutOf(encoding, channels) : SampleLayout{}};

  EntryFigures figures;
  figures.kind = area.kind;
  figures.channels = channels;
  // The header and the bytes after the samples go through the buffer, as the samples do.
  ByteCopier copier(kCopyBufferBytes, /*inKernel=*/false);
  Status status = CopyStretch(copier, *source, *output, 0, area.offset, path);
  if (status.ok()) status = ScaleEntry(*source, *output, area, i, settings, factor, figures);
  if (status.ok()) status = CopyStretch(copier, *source, *output, area.end, fileSize, path);
  // A source that changed meanwhile cannot be told from one that cannot be read.
  if (status.ok() && output->written() != fileSize) status = Status::Fail(MessageId::kCannotOpen, path);
  // The two sizes tell what the output holds, as the cut commands' do: a streamed source (data
  // size 0) or one cut short would otherwise give an output that claims another length.
  const int64_t dataBytes = area.end - area.offset;
  const WaveSizes sizes{wide, area.offset - 4, fileSize, dataBytes, dataBytes / std::max(1, area.Samples().FrameBytes())};
  if (status.ok() && !WriteWaveSizes(*output, sizes)) {
    status = Status::Fail(MessageId::kEntryCannotWrite, names->output);
  }
  if (status.ok() && !output->Commit()) status = Status::Fail(MessageId::kEntryCannotWrite, names->output);
  if (!status.ok()) return status;
  host_.SetBarPosition(NormalizeBar::kFile, fileBarMaximum_);
  host_.EntryFinished(figures);
  source.reset();

  if (settings.keepSourceName) {
    host_.OutputWritten(names->output);
    return Status::Ok();
  }
  return SwapNames(path, names->output, names->backup);
}

Status NormalizePass::ScaleEntry(ByteSource& source, OutputFile& output, const SampleArea& area, size_t i,
                                 const NormalizeSettings& settings, float factor, EntryFigures& figures) {
  if (settings.mode == NormalizeMode::kLoudness) {
    const double db = i < settings.gainsDb.size() ? settings.gainsDb[i] : 0.0;
    std::fill(std::begin(figures.gainDb), std::end(figures.gainDb), db);
    return ScalePlain(source, output, area, GainFactor(db), settings.dither, Hooks(true, area), figures.clipped);
  }
  ChannelLevels levels;
  // The measuring run reads the samples before the scaling run; the header is in output already.
  Status status = MeasureLevels(source, area, levels, Hooks(false, area));
  if (!status.ok()) return status;
  const SampleLayout layout = area.Samples();
  DescribeGains(layout, settings.mode, factor, levels, figures);  // each channel's own level
  if (settings.linked) {
    LinkLevels(layout, settings.mode, levels);
    EntryFigures linked;
    DescribeGains(layout, settings.mode, factor, levels, linked);
    std::copy(std::begin(linked.gainDb), std::end(linked.gainDb), std::begin(figures.gainDb));
  }
  return ScaleSamples(source, output, area, settings.mode, factor, levels, Hooks(true, area), figures.clipped);
}

Status NormalizePass::SwapNames(const std::string& path, const std::string& output, const std::string& backup) {
  // A backup that appeared while the entry was written would be replaced by the rename and lost.
  if (Exists(backup)) return Status::Fail(MessageId::kBackupTaken, backup);
  std::error_code ec;
  fs::rename(path, backup, ec);
  if (ec) return Status::Fail(MessageId::kCannotCreate, backup);
  fs::rename(output, path, ec);
  if (ec) {
    std::error_code undo;
    fs::rename(backup, path, undo);  // the source takes its own name again
    return Status::Fail(MessageId::kCannotCreate, path);
  }
  host_.OutputWritten(path);
  return Status::Ok();
}

RunHooks NormalizePass::Hooks(bool scaling, const SampleArea& area) {
  RunHooks hooks;
  hooks.stopTest = [this] {
    if (StopAsked()) {
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

void NormalizePass::SetSettingsEnabled(bool enabled) {
  if (settingsEnabled_ == enabled) return;
  settingsEnabled_ = enabled;
  host_.SetSettingsEnabled(enabled);
}

}  // namespace sonaveld
