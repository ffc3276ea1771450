#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Status.h"
#include "io/ByteSource.h"
#include "io/FileChecks.h"
#include "io/OutputFile.h"
#include "normalizer/LevelRuns.h"
#include "normalizer/NormalizeTypes.h"
#include "normalizer/NormalizerHost.h"

namespace sonaveld {

// The settings of one pass, read from the window when the pass starts.
struct NormalizeSettings {
  int percent = 100;                        // SpinEdit1: the percentage p
  NormalizeMode mode = NormalizeMode::kPeak;  // RadioGroup1
  bool keepSourceName = true;               // CheckBox1 "File名変更" ticked: write "<base>-n.wav" only
  // The command line's own: the folder the outputs go to ("" beside each source; not with
  // keepSourceName off), and whether an entry whose output exists already, or that is itself the
  // output of another entry, is left alone (told to the host) instead of normalized again.
  std::string outputDir;
  bool skipExisting = false;
  // "チャンネル連動" / --linked (peak and average modes): one gain for all channels of a file, the
  // smallest of the channels' gains, so the balance between them stays.
  bool linked = false;
  // Loudness mode: the plain gain in dB of each entry, by list index, set by the caller from its
  // measurement (an entry with no loudness is not handed to the pass); dither adds triangular dither (integer kinds).
  std::vector<double> gainsDb;
  bool dither = false;
};

// How a pass ended.
enum class PassOutcome {
  kFinished,  // every entry normalized (or the list was empty)
  kRestored,  // backups were found and, on Yes, put back under their plain names
  kDeclined,  // backups were found and the question was answered No
  kStopped,   // the stop flag ended the pass
  kFailed,    // a check or a file operation failed
  kBusy,      // a pass was already running; nothing was done
};

// What a pass did, and its status: Ok (finished, restored), Silent (declined, busy), Stopped, or
// the failure with its message, which the caller shows (the window in its box, the command line
// on stderr).
struct PassResult {
  Status status;
  PassOutcome outcome = PassOutcome::kFinished;
};

// The normalization pass of the normalizer window (the start button's work): for each entry it
// checks the file, measures its levels, writes "<base>-n.wav" with the header, the scaled samples
// and any bytes after the data chunk, and optionally swaps the names so that the normalized file
// takes the source's path and the source becomes "<base>-orig.wav". An entry's output appears
// only once it is complete: a stop or a failure leaves no "-n" file of that entry behind.
class NormalizePass {
 public:
  explicit NormalizePass(NormalizerHost& host) : host_(host) {}

  // Runs the pass over entries (full paths, in list order; the list is taken as it stands when
  // the pass starts). Returns when the pass ends; the question about backups goes to the host.
  PassResult Run(const std::vector<std::string>& entries, const NormalizeSettings& settings);

  // Normalizes entry i of entries alone, as the pass does (the skip rules see the whole list, the
  // host hears of the entry; no question is asked and the whole bar is left alone): one job of a
  // pass that runs several entries at once, each on its own NormalizePass. Ok, Stopped, Silent
  // when the entry was skipped, or the failure. opened: the entry's file, open already (the pass
  // takes it over and closes it; nullptr: the pass opens the path), so that the view a caller's
  // measurement mapped is read again in place instead of mapped a second time.
  Status RunEntry(const std::vector<std::string>& entries, size_t i, const NormalizeSettings& settings,
                  std::unique_ptr<FileSource> opened = nullptr);

  // With skipExisting: the message saying why entry i is left alone, "" when it is normalized.
  static std::string SkipReason(const std::vector<std::string>& entries, size_t i, const NormalizeSettings& settings);

  // True when an entry's "-orig" backup exists (Run then asks about putting them back).
  static bool AnyBackupExists(const std::vector<std::string>& entries);

  // A stop flag shared by several passes (Ctrl+C stops them all); it must outlive the pass.
  void ShareStopFlag(const std::atomic<bool>* flag) { sharedStop_ = flag; }

  // The stop button: the running pass ends at its next block. Safe from a signal handler.
  void RequestStop() { stopRequested_ = true; }
  bool StopRequested() const { return stopRequested_; }
  bool Running() const { return running_; }

  // Replaces the free-space query (bytes free on the volume of a path's folder; -1 on failure).
  void SetFreeSpaceQuery(std::function<int64_t(const std::string&)> query) { freeSpace_ = std::move(query); }
  // Replaces how output files are opened (tests inject failing writes).
  void SetSinkOpener(SinkOpener opener) { opener_ = std::move(opener); }
  // How output files are opened: the one set, or empty for plain files.
  const SinkOpener& sinkOpener() const { return opener_; }

 private:
  Status Restore(const std::vector<std::string>& entries);
  // The entries in order until one does not end ok; the whole bar and the selection follow.
  Status NormalizeEntries(const std::vector<std::string>& entries, const NormalizeSettings& settings, float factor);
  Status NormalizeEntry(const std::vector<std::string>& entries, size_t i, const NormalizeSettings& settings,
                        float factor, std::unique_ptr<FileSource> opened = nullptr);
  // The scaling run of the entry's mode into output, filling figures.
  Status ScaleEntry(ByteSource& source, OutputFile& output, const SampleArea& area, size_t i,
                    const NormalizeSettings& settings, float factor, EntryFigures& figures);
  bool StopAsked() const { return stopRequested_ || (sharedStop_ != nullptr && *sharedStop_); }
  Status SwapNames(const std::string& path, const std::string& output, const std::string& backup);
  RunHooks Hooks(bool scaling, const SampleArea& area);
  void SetSettingsEnabled(bool enabled);

  NormalizerHost& host_;
  std::atomic<bool> stopRequested_{false};
  const std::atomic<bool>* sharedStop_ = nullptr;
  bool running_ = false;
  bool settingsEnabled_ = true;
  int64_t fileBarMaximum_ = -1;
  std::function<int64_t(const std::string&)> freeSpace_ = FreeBytesForOutput;
  SinkOpener opener_;
};

}  // namespace sonaveld
