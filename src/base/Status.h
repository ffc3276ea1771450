#pragma once
#include <string>

namespace sonaveld {

// The outcome of an engine operation, carried as a value: done, stopped without a word (the
// user cancelled, nothing to do), or refused/failed with the system's own message (UTF-8
// Japanese text, shown as it stands in a message box or on stderr).
class Status {
 public:
  Status() = default;  // Ok
  static Status Ok() { return Status(Kind::kOk, {}); }
  static Status Silent() { return Status(Kind::kSilent, {}); }
  static Status Fail(std::string message) { return Status(Kind::kFailed, std::move(message)); }

  bool ok() const { return kind_ == Kind::kOk; }
  bool silent() const { return kind_ == Kind::kSilent; }
  bool failed() const { return kind_ == Kind::kFailed; }
  const std::string& message() const { return message_; }

 private:
  enum class Kind { kOk, kSilent, kFailed };
  Status(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
  Kind kind_ = Kind::kOk;
  std::string message_;
};

// Puts text in place of the first "%s" of a message pattern ("ファイル %s は開けません").
std::string FormatMessage(const std::string& pattern, const std::string& text);

}  // namespace sonaveld
