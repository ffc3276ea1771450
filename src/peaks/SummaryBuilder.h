#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "document/WaveProbe.h"
#include "io/ByteSource.h"
#include "peaks/PeakSummary.h"

namespace sonaveld::peaks {

// Builds one document's PeakSummary on a thread of its own. The thread opens the file once
// through the opener given, reads it and writes only this object's result; it never calls back.
// Destroying the builder stops the build (after the read under way) and waits for the thread.
class SummaryBuilder {
 public:
  using SourceOpener = std::function<std::unique_ptr<ByteSource>()>;

  // Starts at once. The opener runs on the builder's thread; nullptr from it ends the build
  // as failed.
  SummaryBuilder(SourceOpener open, const WaveHeader& h);
  ~SummaryBuilder();
  SummaryBuilder(const SummaryBuilder&) = delete;
  SummaryBuilder& operator=(const SummaryBuilder&) = delete;

  // An opener of the file at path for reading.
  static SourceOpener FileOpener(std::string path);

  // The summary once built, else nullptr (building, stopped or failed). Safe from any thread.
  const PeakSummary* Ready() const;
  // True once the thread has ended: built, stopped or failed.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }

 private:
  void Run(std::stop_token stop, SourceOpener open, WaveHeader h);

  std::optional<PeakSummary> summary_;  // written by the thread before finished_ turns true
  std::atomic<bool> finished_{false};
  std::jthread thread_;  // declared last: starts after, and is joined before, the fields above
};

}  // namespace sonaveld::peaks
