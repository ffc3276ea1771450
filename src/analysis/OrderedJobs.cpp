#include "analysis/OrderedJobs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace sonaveld {

void RunOrdered(size_t count, int jobs, const std::function<void(size_t)>& task,
                const std::function<void(size_t)>& done, const std::function<void()>& tick) {
  std::mutex mutex;
  std::condition_variable finishedOne;
  std::vector<bool> finished(count, false);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < count;) {
      task(i);
      const std::lock_guard<std::mutex> lock(mutex);
      finished[i] = true;
      finishedOne.notify_all();
    }
  };
  std::vector<std::thread> threads;
  const size_t workers = std::min(count, static_cast<size_t>(std::max(jobs, 1)));
  for (size_t t = 0; t < workers; ++t) threads.emplace_back(work);
  for (size_t i = 0; i < count; ++i) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished[i]) {
      if (!finishedOne.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished[i]; })) {
        lock.unlock();
        tick();
        lock.lock();
      }
    }
    lock.unlock();
    done(i);
  }
  for (std::thread& thread : threads) thread.join();
}

int DefaultJobs() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

}  // namespace sonaveld
