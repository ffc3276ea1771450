#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "io/OutputFile.h"

namespace sonaveld {

// Appends buffers to an OutputFile on a worker thread, so that the caller fills the next buffer
// while the previous one is being written: the write's time in the kernel overlaps the caller's
// work instead of adding to it. Two buffers of a fixed size take turns; at most one write is in
// flight. The output is only touched by the worker until Drain() returns or the writer is gone.
class OverlappedWriter {
 public:
  // bufferBytes: the size of each of the two buffers. output must outlive the writer.
  OverlappedWriter(OutputFile& output, int64_t bufferBytes);
  // Waits for the write in flight, then ends the worker.
  ~OverlappedWriter();
  OverlappedWriter(const OverlappedWriter&) = delete;
  OverlappedWriter& operator=(const OverlappedWriter&) = delete;

  // The buffer to fill next (bufferBytes long); a new one after each Submit().
  uint8_t* Buffer() { return buffers_[filling_].data(); }
  int64_t bufferBytes() const { return static_cast<int64_t>(buffers_[0].size()); }
  // Hands the first n bytes of Buffer() over to be written (n = 0 hands nothing over). Waits for
  // the write before it to end; false when any write so far has failed.
  bool Submit(int64_t n);
  // Waits until every byte handed over is written; false when any write failed.
  bool Drain();

 private:
  void Work();
  // Waits (holding lock) until no write is in flight.
  void WaitIdle(std::unique_lock<std::mutex>& lock);

  OutputFile& output_;
  std::vector<uint8_t> buffers_[2];
  int filling_ = 0;        // the buffer the caller fills
  std::mutex mutex_;
  std::condition_variable changed_;
  const uint8_t* job_ = nullptr;  // the buffer being written, nullptr when none
  int64_t jobBytes_ = 0;
  bool failed_ = false;
  bool quit_ = false;
  std::thread worker_;     // last: started once everything it uses is set up; none when the
                           // system has no thread to give, and then Submit() writes itself
};

}  // namespace sonaveld
