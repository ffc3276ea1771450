#pragma once
#include <string>
#include <string_view>

#include "base/Messages.h"

namespace sonaveld {

// The outcome of an engine operation, carried as a value: done; ended without a word before
// anything was done (the user declined, nothing to do); stopped part-way by the user's stop
// request, what was finished being complete; or refused/failed with the system's own message
// (UTF-8 Japanese text, shown as it stands in a message box or on stderr). Engine calls return a
// Status, or a result value (base/Result.h) whose status field is one; never an error through an
// out-parameter. The window shows a failure's message in its box, sonaveld-cli on stderr.
class Status {
 public:
  Status() = default;  // Ok
  static Status Ok() { return Status(Kind::kOk, {}); }
  static Status Silent() { return Status(Kind::kSilent, {}); }
  static Status Stopped() { return Status(Kind::kStopped, {}); }
  // A failure with a message already formed (one passed on from another status).
  static Status Fail(std::string message) { return Status(Kind::kFailed, std::move(message)); }
  // A failure with the message id, text in place of its "%s".
  static Status Fail(MessageId id, std::string_view text = {}) { return Fail(FormatMessage(id, text)); }

  bool ok() const { return kind_ == Kind::kOk; }
  bool silent() const { return kind_ == Kind::kSilent; }
  bool stopped() const { return kind_ == Kind::kStopped; }
  bool failed() const { return kind_ == Kind::kFailed; }
  const std::string& message() const { return message_; }

 private:
  enum class Kind { kOk, kSilent, kStopped, kFailed };
  Status(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
  Kind kind_ = Kind::kOk;
  std::string message_;
};

}  // namespace sonaveld
