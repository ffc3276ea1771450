#include "io/FileMapping.h"

#if defined(__linux__)
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>
#endif

namespace sonaveld {

#if defined(__linux__)
namespace {

// The window a thread is reading inside Run(), and where to go back to when a read of it faults.
struct Guard {
  sigjmp_buf jump;
  uintptr_t begin;
  uintptr_t end;
};

thread_local Guard* tGuard = nullptr;
struct sigaction gPrevious {};

// A fault inside the guarded window of this thread ends its Run(); any other goes where it would
// have gone without this handler.
void OnBusError(int signal, siginfo_t* info, void* context) {
  const Guard* guard = tGuard;
  const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
  if (guard != nullptr && at >= guard->begin && at < guard->end) siglongjmp(const_cast<Guard*>(guard)->jump, 1);
  if ((gPrevious.sa_flags & SA_SIGINFO) != 0 && gPrevious.sa_sigaction != nullptr) {
    gPrevious.sa_sigaction(signal, info, context);
  } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
  } else {
    // Back to the default; the faulting read runs again on return and ends the process as before.
    sigaction(SIGBUS, &gPrevious, nullptr);
  }
}

// Installs the handler once for the process. SA_NODEFER keeps SIGBUS unblocked when the handler
// jumps out, so sigsetjmp need not save the signal mask (which would cost a call per Run).
bool HandlerInstalled() {
  static const bool installed = [] {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    return sigaction(SIGBUS, &action, &gPrevious) == 0;
  }();
  return installed;
}

}  // namespace

FileMapping::~FileMapping() { Unmap(); }

void FileMapping::StopPopulating() {
  if (!populator_.joinable()) return;
  stopPopulating_ = true;
  populator_.join();
  stopPopulating_ = false;
}

void FileMapping::PopulateAhead() {
  // A small window is read in by its first faults sooner than a thread is started.
  constexpr int64_t kSmallest = int64_t{16} << 20;
  constexpr int64_t kStep = int64_t{4} << 20;  // the stop request is looked at after each step
  StopPopulating();
  if (base_ == nullptr || size_ < kSmallest) return;
  try {
    populator_ = std::thread([this, from = offset_, to = end(), kStep] {
      for (int64_t at = from; at < to && !stopPopulating_; at += kStep) Populate(at, std::min(kStep, to - at));
    });
  } catch (const std::system_error&) {
    // No thread to be had: the pages are faulted in as they are read.
  }
}

void FileMapping::Unmap() {
  StopPopulating();
  if (base_ != nullptr) munmap(base_, static_cast<size_t>(baseLength_));
  base_ = nullptr;
  data_ = nullptr;
  offset_ = size_ = baseLength_ = 0;
}

bool FileMapping::Map(int fd, int64_t offset, int64_t n) {
  Unmap();
  struct stat st {};
  if (!HandlerInstalled() || offset < 0 || n < 0 || fstat(fd, &st) != 0) return false;
  const int64_t size = std::clamp<int64_t>(static_cast<int64_t>(st.st_size) - offset, 0, n);
  const int64_t page = sysconf(_SC_PAGESIZE);
  const int64_t start = offset / page * page;
  if (size == 0) {  // nothing to map: an empty window at offset
    offset_ = offset;
    return true;
  }
  const int64_t length = offset - start + size;
  void* base = mmap(nullptr, static_cast<size_t>(length), PROT_READ, MAP_SHARED, fd, start);
  if (base == MAP_FAILED) return false;
  base_ = base;
  baseLength_ = length;
  data_ = static_cast<const uint8_t*>(base) + (offset - start);
  offset_ = offset;
  size_ = size;
  return true;
}

void FileMapping::Populate(int64_t offset, int64_t n) const {
#if defined(MADV_POPULATE_READ)
  static const int64_t page = sysconf(_SC_PAGESIZE);
  const int64_t from = std::max(offset, offset_), to = std::min(offset + n, end());
  if (base_ == nullptr || from >= to) return;
  const auto* first = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(At(from)) / page * page);
  // A failure (an older system, pages beyond a shrunken file) leaves the pages to be faulted in.
  madvise(const_cast<uint8_t*>(first), static_cast<size_t>(At(to) - first), MADV_POPULATE_READ);
#else
  (void)offset, (void)n;
#endif
}

bool FileMapping::Run(void (*fn)(void*), void* context) const {
  Guard guard;
  guard.begin = reinterpret_cast<uintptr_t>(base_);
  guard.end = guard.begin + static_cast<uintptr_t>(baseLength_);
  Guard* const outer = tGuard;
  if (sigsetjmp(guard.jump, 0) != 0) {
    tGuard = outer;
    return false;
  }
  tGuard = &guard;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  fn(context);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  tGuard = outer;
  return true;
}

#else

FileMapping::~FileMapping() = default;
void FileMapping::Unmap() {}
bool FileMapping::Map(int, int64_t, int64_t) { return false; }
void FileMapping::Populate(int64_t, int64_t) const {}
void FileMapping::PopulateAhead() {}
void FileMapping::StopPopulating() {}
bool FileMapping::Run(void (*fn)(void*), void* context) const {
  fn(context);
  return true;
}

#endif

}  // namespace sonaveld
