#include "AppTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include "app/RasterWidget.h"

namespace sonaveld::test {

bool ScriptedPrompts::Confirm(const QString& text) {
  questions << text;
  if (confirmAnswers.empty()) return false;
  const bool answer = confirmAnswers.front();
  confirmAnswers.pop_front();
  return answer;
}

QString ScriptedPrompts::OpenDialog1(const QString& folder) {
  ++openDialogsShown;
  dialogFolders << QStringLiteral("OpenDialog1 ") + folder;
  return Next(openAnswers);
}

QString ScriptedPrompts::SaveDialog1(const QString& folder) {
  dialogFolders << QStringLiteral("SaveDialog1 ") + folder;
  return Next(saveAnswers);
}

QString ScriptedPrompts::SaveDialog2(const QString& folder) {
  dialogFolders << QStringLiteral("SaveDialog2 ") + folder;
  return Next(saveAnswers);
}

QString ScriptedPrompts::OpenMarkFileDialog(MarkFileKind kind, const QString& folder) {
  dialogFolders << (kind == MarkFileKind::kLabels ? QStringLiteral("OpenLabels ") : QStringLiteral("OpenCue ")) + folder;
  return Next(openAnswers);
}

QString ScriptedPrompts::SaveMarkFileDialog(MarkFileKind kind, const QString& folder) {
  dialogFolders << (kind == MarkFileKind::kLabels ? QStringLiteral("SaveLabels ") : QStringLiteral("SaveCue ")) + folder;
  return Next(saveAnswers);
}

QStringList ScriptedPrompts::Form2OpenDialog1(const QString& folder) {
  ++openDialogsShown;
  dialogFolders << QStringLiteral("Form2OpenDialog1 ") + folder;
  if (openManyAnswers.empty()) return {};
  QStringList answer = openManyAnswers.front();
  openManyAnswers.pop_front();
  return answer;
}

std::optional<PauseSettings> ScriptedPrompts::PauseSettingsPrompt(const PauseSettings& initial) {
  pauseInitials.push_back(initial);
  if (pauseAnswers.empty()) return std::nullopt;
  const std::optional<PauseSettings> answer = pauseAnswers.front();
  pauseAnswers.pop_front();
  return answer;
}

QString ScriptedPrompts::Next(std::deque<QString>& answers) {
  if (answers.empty()) return {};
  QString answer = answers.front();
  answers.pop_front();
  return answer;
}

void TestDevice::Close() {
  if (inClose_) nestedClose = true;
  ++closes;
  inner_.Close();
  if (onClose) {
    inClose_ = true;
    onClose();
    inClose_ = false;
  }
}

Harness::Harness()
    : form2(std::make_unique<TForm2>(prompts)), form(std::make_unique<TForm1>(prompts, device)) {
  form->SetForm2(form2.get());
}

Harness::~Harness() {
  device.onClose = nullptr;
  form.reset();
}

QString Harness::Wav(const std::string& name, const WavRecipe& recipe) {
  const std::string path = dir.File(name);
  WriteFileBytes(path, BuildWav(recipe));
  return QString::fromStdString(path);
}

void Harness::Open(const QString& path) {
  prompts.openAnswers.push_back(path);
  form->Open1Click();
}

void TypeIntoZoomBox(TForm1& f, const QString& text) {
  QComboBox* box = f.Controls().ComboBox1;
  QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClicks(box, text);
}

const QImage& Lane1(TForm1& f) { return f.Controls().Image1->Image(); }
const QImage& Lane2(TForm1& f) { return f.Controls().Image2->Image(); }
const QImage& Overlay(TForm1& f) { return f.Controls().Image3->Image(); }
const QImage& Ruler(TForm1& f) { return f.Controls().Image4->Image(); }
const QImage& Strip(TForm1& f) { return f.Controls().Image5->Image(); }

uint32_t Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

QString BlueRuns(const QImage& image, int x) {
  QStringList runs;
  int start = -1;
  for (int y = 0; y <= image.height(); ++y) {
    const bool blue = y < image.height() && image.pixel(x, y) == 0xFF0000FFu;
    if (blue && start < 0) start = y;
    if (!blue && start >= 0) {
      runs << QStringLiteral("%1..%2").arg(start).arg(y - 1);
      start = -1;
    }
  }
  return runs.join(QLatin1Char(';'));
}

bool AllWhite(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) return false;
    }
  }
  return true;
}

}  // namespace sonaveld::test
