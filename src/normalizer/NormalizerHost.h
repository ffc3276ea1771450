#pragma once
#include <cstdint>
#include <string>

#include "normalizer/NormalizeTypes.h"

namespace sonaveld {

// The two progress bars of the normalizer window.
enum class NormalizeBar {
  kWhole,  // ProgressBar1 "全体": files finished out of the list
  kFile,   // ProgressBar2 "ファイル": blocks of the current file's scaling run
};

// What the normalization pass needs from its front end while it runs. The normalizer window
// implements it with its controls and boxes; sonaveld-cli implements it on the terminal. All
// calls come from the thread that runs the pass. A failure's message is not shown through the
// host: it comes back in the pass's result.
class NormalizerHost {
 public:
  virtual ~NormalizerHost() = default;
  // A Yes/No question (UTF-8 text of the system); true for Yes.
  virtual bool Confirm(const std::string& question) = 0;
  // Enables or disables the settings controls (SpinEdit1, RadioGroup1, CheckBox1) together.
  virtual void SetSettingsEnabled(bool enabled) = 0;
  // Maximum of a bar; the pass never gives less than 1.
  virtual void SetBarMaximum(NormalizeBar bar, int64_t maximum) = 0;
  // Position of a bar, 0..its maximum.
  virtual void SetBarPosition(NormalizeBar bar, int64_t position) = 0;
  // Selects list entry index; an index past the last entry leaves nothing selected.
  virtual void SelectEntry(int index) = 0;
  // Block k (0-based) of blocks of the measuring run of the current file. The window has no bar
  // for that run; the command line counts it in its progress line.
  virtual void MeasureProgress(int64_t k, int64_t blocks) { (void)k, (void)blocks; }
  // Processes pending window events (the stop button is seen here). Called at most every ~20 ms.
  virtual void ProcessEvents() = 0;
  // A normalized file is complete under path (its final name). The window may ignore it.
  virtual void OutputWritten(const std::string& path) { (void)path; }
  // The figures of the entry just written, once its output is complete (before any name swap).
  virtual void EntryFinished(const EntryFigures& figures) { (void)figures; }
  // An entry was left alone, with the system's message saying why (not a failure).
  virtual void EntrySkipped(const std::string& message) { (void)message; }
};

}  // namespace sonaveld
