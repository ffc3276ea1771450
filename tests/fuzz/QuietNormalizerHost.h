#pragma once
#include <string>

#include "normalizer/NormalizerHost.h"

namespace sonaveld {

// A normalizer host with no window: remembers the last message and answers No to the question.
class QuietNormalizerHost : public NormalizerHost {
 public:
  void ShowMessage(const std::string& text) override { message = text; }
  bool Confirm(const std::string&) override { return false; }
  void SetSettingsEnabled(bool) override {}
  void SetBarMaximum(NormalizeBar, int64_t) override {}
  void SetBarPosition(NormalizeBar, int64_t) override {}
  void SelectEntry(int) override {}
  void ProcessEvents() override {}
  std::string message;
};

}  // namespace sonaveld
