#include "peaks/SummaryBuilder.h"

#include <utility>

namespace sonaveld::peaks {

SummaryBuilder::SummaryBuilder(SourceOpener open, const WaveHeader& h)
    : thread_([this](std::stop_token stop, SourceOpener o, WaveHeader header) { Run(stop, std::move(o), header); },
              std::move(open), h) {}

SummaryBuilder::~SummaryBuilder() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

SummaryBuilder::SourceOpener SummaryBuilder::FileOpener(std::string path) {
  return [path = std::move(path)]() -> std::unique_ptr<ByteSource> { return FileSource::Open(path); };
}

const PeakSummary* SummaryBuilder::Ready() const {
  if (!Finished() || !summary_) return nullptr;
  return &*summary_;
}

void SummaryBuilder::Run(std::stop_token stop, SourceOpener open, WaveHeader h) {
  if (std::unique_ptr<ByteSource> source = open()) {
    // The file stays open for the build only.
    summary_ = PeakSummary::Build(*source, h, [&stop] { return stop.stop_requested(); });
  }
  finished_.store(true, std::memory_order_release);
}

}  // namespace sonaveld::peaks
