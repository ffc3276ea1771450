#pragma once
#include "base/Status.h"

namespace sonaveld {

// The result of an engine call that gives a value: its status and the value. The value is the
// call's answer when the status is ok; where the call says so, it also holds what was learnt on
// the way to a refusal. Calls whose results have several parts return a named struct of the same
// shape instead (a Status field named status first: ProbeResult, OutputResult, PassResult).
template <typename T>
struct Result {
  Status status;
  T value{};

  bool ok() const { return status.ok(); }
};

}  // namespace sonaveld
