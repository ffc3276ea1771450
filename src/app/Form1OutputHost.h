#pragma once
#include <functional>
#include <string>

#include "output/OutputHost.h"

namespace sonaveld {

class Prompts;

// The main window's side of an output command: the free-space question as a Yes/No box, pending
// window events processed between copy blocks (so the timers, the busy guard's refusals and the
// abort double-click reach the user), and the status panel's texts.
class Form1OutputHost final : public OutputHost {
 public:
  // prompts must outlive the host; panel is called with each new panel state.
  Form1OutputHost(Prompts& prompts, std::function<void(Panel)> panel);

  bool ConfirmLowSpace(const std::string& question) override;
  void Idle() override;
  void PanelChanged(Panel panel) override;

 private:
  Prompts& prompts_;
  std::function<void(Panel)> panel_;
};

}  // namespace sonaveld
