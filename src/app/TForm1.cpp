#include "app/TForm1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "app/AppFont.h"
#include "app/AppIcon.h"
#include "app/ProgressArrow.h"
#include "app/Prompts.h"
#include "app/RasterWidget.h"
#include "app/TForm2.h"
#include "app/ZoomBoxKeys.h"
#include "peaks/SummaryBuilder.h"
#include "playback/PlaybackDevice.h"

namespace sonaveld {
namespace {

// A local file that the open dialog's patterns ("*.wav", "*wave") would list.
bool IsWaveFileUrl(const QUrl& url) {
  const QString name = url.toLocalFile().toLower();
  return url.isLocalFile() && (name.endsWith(QStringLiteral(".wav")) || name.endsWith(QStringLiteral("wave")));
}

QString FirstWaveFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (IsWaveFileUrl(url)) return url.toLocalFile();
  }
  return {};
}

}  // namespace

TForm1::TForm1(Prompts& prompts, PlaybackDevice& mediaPlayer1, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), device_(mediaPlayer1) {
  InstallFontSubstitutions();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Sonaveld3.3"));
  setWindowIcon(AppIcon());
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(WindowFont());
  setAcceptDrops(true);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  // Background in the system's button-face colour; the foreground roles stay the window's.
  QPalette face = client->palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  client->setPalette(face);
  client->setAutoFillBackground(true);
  c_ = BuildForm1Controls(client);
  progressBand_ = NewProgressBand(client);
  setCentralWidget(client);
  m_ = BuildForm1Menus(this);
  setMenuBar(m_.MainMenu1);
  layout()->setSizeConstraint(QLayout::SetFixedSize);  // border not resizable
  ConnectHandlers();
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
  adjustSize();
  if (const QScreen* s = screen()) {
    move(s->geometry().width() / 2 - width() / 2, s->geometry().height() / 2 - height() / 2);
  }
  flags_.Busy = false;
  flags_.AbortRequested = false;
  c_.GroupBox1->hide();
  c_.Timer1->start();
  c_.Timer2->start();
  peakPoll_ = new QTimer(this);
  peakPoll_->setInterval(30);
  connect(peakPoll_, &QTimer::timeout, this, &TForm1::PeakPollTimer);
  pieceStop_ = new QTimer(this);
  pieceStop_->setSingleShot(true);
  pieceStop_->setTimerType(Qt::PreciseTimer);
  connect(pieceStop_, &QTimer::timeout, this, &TForm1::StopAtPieceEnd);
}

void TForm1::ConnectHandlers() {
  connect(m_.Open1, &QAction::triggered, this, &TForm1::Open1Click);
  connect(m_.JoinOpen1, &QAction::triggered, this, &TForm1::JoinOpen1Click);
  connect(m_.N3, &QAction::triggered, this, &TForm1::N3Click);
  connect(m_.N10, &QAction::triggered, this, &TForm1::N10Click);
  connect(m_.N9, &QAction::triggered, this, &TForm1::N9Click);
  connect(m_.Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
  connect(m_.N5, &QAction::triggered, this, &TForm1::N1Click);
  connect(m_.N7, &QAction::triggered, this, &TForm1::N6Click);
  connect(m_.N2, &QAction::triggered, this, &TForm1::N2Click);
  connect(m_.N8, &QAction::triggered, this, &TForm1::N8Click);
  connect(m_.N12, &QAction::triggered, this, &TForm1::N12Click);
  connect(m_.N13, &QAction::triggered, this, &TForm1::N13Click);
  connect(m_.ReadMarkers1, &QAction::triggered, this, &TForm1::ReadMarkers1Click);
  connect(m_.ReadLabels1, &QAction::triggered, this, &TForm1::ReadLabels1Click);
  connect(m_.WriteLabels1, &QAction::triggered, this, &TForm1::WriteLabels1Click);
  connect(m_.ReadCue1, &QAction::triggered, this, &TForm1::ReadCue1Click);
  connect(m_.WriteCue1, &QAction::triggered, this, &TForm1::WriteCue1Click);
  connect(m_.MarkerCopy1, &QAction::triggered, this, &TForm1::MarkerCopy1Click);
  connect(m_.Undo1, &QAction::triggered, this, &TForm1::Undo1Click);
  connect(m_.Redo1, &QAction::triggered, this, &TForm1::Redo1Click);
  connect(m_.WholeView1, &QAction::triggered, this, &TForm1::WholeView1Click);
  connect(m_.PieceList1, &QAction::triggered, this, &TForm1::PieceList1Click);
  connect(m_.kjoer1, &QAction::triggered, this, &TForm1::kjoer1Click);
  connect(m_.PeakView1, &QAction::triggered, this, &TForm1::PeakView1Click);
  connect(m_.N1, &QAction::triggered, this, &TForm1::N1Click);
  connect(m_.N6, &QAction::triggered, this, &TForm1::N6Click);
  connect(m_.N14, &QAction::triggered, this, &TForm1::SpeedButton3Click);
  connect(m_.PlayMark1, &QAction::triggered, this, &TForm1::PlayMark1Click);
  connect(m_.PlayMark2, &QAction::triggered, this, &TForm1::PlayMark1Click);
  connect(m_.PauseMarks1, &QAction::triggered, this, &TForm1::PauseMarks1Click);
  connect(m_.FromStart1, &QAction::triggered, this, &TForm1::SpeedButton1Click);
  connect(m_.PlayStop1, &QAction::triggered, this, &TForm1::PlayStop1Click);
  connect(c_.SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(c_.SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
  connect(c_.SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
  connect(c_.SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
  connect(c_.ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);
  takenZoomText_ = c_.ComboBox1->currentText();
  connect(c_.ComboBox1, &QComboBox::currentTextChanged, this, &TForm1::ZoomBoxTextChanged);
  connect(c_.ComboBox1, &QComboBox::activated, this, &TForm1::ZoomEditEnded);
  connect(c_.ComboBox1->lineEdit(), &QLineEdit::editingFinished, this, &TForm1::ZoomEditEnded);
  connect(c_.TrackBar1, &QSlider::valueChanged, this, &TForm1::TrackBar1Change);
  connect(c_.Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  connect(c_.Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
  connect(c_.Image3, &RasterWidget::MouseDown, this, &TForm1::Image3MouseDown);
  connect(c_.Image3, &RasterWidget::MouseMove, this, &TForm1::Image3MouseMove);
  c_.Panel1->installEventFilter(this);
  c_.Image3->installEventFilter(this);
  c_.Image4->installEventFilter(this);
  c_.Image4->setMouseTracking(true);  // the hover over a marker
  // Undo and redo belong to the box's text only while it is being edited.
  QList<QKeySequence> windowKeys{m_.PlayStop1->shortcut(), m_.PlayMark1->shortcut(), m_.N7->shortcut(),
                                 m_.FromStart1->shortcut()};
  windowKeys << m_.Undo1->shortcuts() << m_.Redo1->shortcuts();
  zoomKeys_ = new ZoomBoxKeys(c_.ComboBox1, windowKeys);
}

bool TForm1::DocumentOpen() const { return !device_.FileName().empty(); }

bool TForm1::BusyRefused() {
  if (!flags_.Busy) return false;
  ShowMessage(FormatMessage(MessageId::kBusy));
  return true;
}

void TForm1::ShowMessage(const std::string& text) { prompts_.Message(QString::fromStdString(text)); }

void TForm1::Exit1Click() {
  if (BusyRefused()) return;
  device_.Close();
  close();
}

void TForm1::Panel1DblClick() {
  if (flags_.Busy) flags_.AbortRequested = true;
}

void TForm1::kjoer1Click() {
  if (form2_ == nullptr) return;
  form2_->show();
  form2_->raise();
  form2_->activateWindow();
}

void TForm1::EndBusy() {
  flags_.Busy = false;
  if (closePending_) {
    closePending_ = false;
    close();
  }
}

// Closing while a file is being written asks the writer to stop; the writer finishes the current
// file with its true sizes and EndBusy() then closes the window.
void TForm1::closeEvent(QCloseEvent* event) {
  if (flags_.Busy) {
    flags_.AbortRequested = true;
    closePending_ = true;
    event->ignore();
    return;
  }
  device_.Close();
  event->accept();
  emit Closed();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstWaveFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QString path = FirstWaveFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  OpenWaveFile(path);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == c_.Panel1 && event->type() == QEvent::MouseButtonDblClick) {
    Panel1DblClick();
    return true;
  }
  // The wheel over the waveform goes to the zoom box once the pointer handling gave it the focus.
  if (watched == c_.Image3 && event->type() == QEvent::Wheel && c_.ComboBox1->hasFocus()) {
    // The wheel steps from the item that the box's text shows, also after the text was typed.
    const int shown = c_.ComboBox1->findText(c_.ComboBox1->currentText());
    if (shown >= 0 && shown != c_.ComboBox1->currentIndex()) {
      const QSignalBlocker blocker(c_.ComboBox1);
      c_.ComboBox1->setCurrentIndex(shown);
    }
    QCoreApplication::sendEvent(c_.ComboBox1, event);
    return true;
  }
  if (watched == c_.Image4 && RulerEvent(event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::SyncMemos() {
  auto join = [](const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines) list << QString::fromStdString(line);
    return list.join(QLatin1Char('\n'));
  };
  c_.Memo1->setPlainText(join(marks_.Memo1()));
  c_.Memo2->setPlainText(join(marks_.Memo2()));
}

}  // namespace sonaveld
