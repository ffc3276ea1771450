#pragma once
#include <cstdint>
#include <memory>

#include "io/ByteSink.h"

namespace sonaveld::test {

// A sink that passes the first `room` bytes on to inner and then refuses every append: a disk that
// fills up. Without inner it refuses from the first byte (a full disk).
class FillingSink final : public ByteSink {
 public:
  explicit FillingSink(std::unique_ptr<ByteSink> inner = nullptr, int64_t room = 0)
      : inner_(std::move(inner)), room_(room) {}
  bool Write(const void* data, int64_t n) override {
    if (!inner_ || n > room_) return false;
    room_ -= n;
    return inner_->Write(data, n);
  }
  bool WriteAt(int64_t offset, const void* data, int64_t n) override {
    return inner_ && inner_->WriteAt(offset, data, n);
  }
  bool Close() override { return !inner_ || inner_->Close(); }

 private:
  std::unique_ptr<ByteSink> inner_;
  int64_t room_;
};

}  // namespace sonaveld::test
