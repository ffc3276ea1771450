#pragma once
#include <string>

#include "normalizer/NormalizerHost.h"

namespace sonaveld {

// A normalizer host with no window: answers No to the question.
class QuietNormalizerHost : public NormalizerHost {
 public:
  bool Confirm(const std::string&) override { return false; }
  void SetSettingsEnabled(bool) override {}
  void SetBarMaximum(NormalizeBar, int64_t) override {}
  void SetBarPosition(NormalizeBar, int64_t) override {}
  void SelectEntry(int) override {}
  void ProcessEvents() override {}
};

}  // namespace sonaveld
