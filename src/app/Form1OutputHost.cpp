#include "app/Form1OutputHost.h"

#include <QCoreApplication>
#include <QString>

#include "app/Prompts.h"

namespace sonaveld {

Form1OutputHost::Form1OutputHost(Prompts& prompts, std::function<void(Panel)> panel)
    : prompts_(prompts), panel_(std::move(panel)) {}

bool Form1OutputHost::ConfirmLowSpace(const std::string& question) {
  return prompts_.Confirm(QString::fromStdString(question));
}

void Form1OutputHost::Idle() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Form1OutputHost::PanelChanged(Panel panel) {
  if (panel_) panel_(panel);
}

}  // namespace sonaveld
