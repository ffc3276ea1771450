// Where the file dialogs start: the open dialogs in the folder of the last file chosen, the save
// dialogs in the folder of the open WAV file.
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "AppTestSupport.h"
#include "TForm2TestSupport.h"
#include "app/QtPrompts.h"

using namespace sonaveld;
using namespace sonaveld::test;

namespace {

WavRecipe Short() {
  WavRecipe recipe;
  recipe.channels = 1;
  recipe.bits = 8;
  recipe.frames = 4000;
  return recipe;
}

// A WAV file in the sub-folder folder of the harness's folder; returns its path.
QString WavIn(Harness& h, const QString& folder, const std::string& name) {
  QDir(QString::fromStdString(h.dir.File(""))).mkpath(folder);
  return h.Wav(folder.toStdString() + "/" + name, Short());
}

}  // namespace

class DialogFoldersTest : public QObject {
  Q_OBJECT

 private slots:
  void mainWindowDialogs();
  void normalizerAddDialog();
  void qtDialogsStartInFolder_data();
  void qtDialogsStartInFolder();
};

// Nothing chosen yet: the working directory (empty folder). After x/a.wav is opened every save
// dialog and the next open dialog start in x; a file given at start (y/b.wav) moves them to y.
// A cancelled open keeps the folder.
void DialogFoldersTest::mainWindowDialogs() {
  Harness h;
  TForm1& f = *h.form;
  const QString a = WavIn(h, "x", "a.wav");
  const QString x = QFileInfo(a).absolutePath();
  h.Open(a);
  QVERIFY(f.Marks().Add(1001).ok());
  f.N3Click();
  f.N10Click();
  f.N9Click();
  f.Open1Click();  // cancelled
  f.Open1Click();
  const QString b = WavIn(h, "y", "b.wav");
  const QString y = QFileInfo(b).absolutePath();
  f.OpenWaveFile(b);
  QVERIFY(f.Marks().Add(1001).ok());
  f.N3Click();
  f.Open1Click();
  QCOMPARE(h.prompts.dialogFolders,
           QStringList({"OpenDialog1 ", "SaveDialog1 " + x, "SaveDialog2 " + x, "SaveDialog2 " + x,
                        "OpenDialog1 " + x, "OpenDialog1 " + x, "SaveDialog1 " + y, "OpenDialog1 " + y}));
  QVERIFY2(h.prompts.messages.isEmpty(), qPrintable(h.prompts.messages.join(QLatin1Char('|'))));
}

// The normalizer's add dialog starts where the files added last lie; a cancelled dialog keeps it.
void DialogFoldersTest::normalizerAddDialog() {
  Form2Fixture f;
  QDir(QString::fromStdString(f.dir.File(""))).mkpath(QStringLiteral("z"));
  const QString c = f.Wav("z/c.wav", 16);
  f.Add({c});
  f.Add({});
  f.Add({});
  const QString z = QFileInfo(c).absolutePath();
  QCOMPARE(f.prompts.dialogFolders,
           QStringList({"Form2OpenDialog1 ", "Form2OpenDialog1 " + z, "Form2OpenDialog1 " + z}));
}

void DialogFoldersTest::qtDialogsStartInFolder_data() {
  QTest::addColumn<std::function<void(QtPrompts&, const QString&)>>("show");
  QTest::newRow("OpenDialog1") << std::function([](QtPrompts& p, const QString& d) { p.OpenDialog1(d); });
  QTest::newRow("SaveDialog1") << std::function([](QtPrompts& p, const QString& d) { p.SaveDialog1(d); });
  QTest::newRow("SaveDialog2") << std::function([](QtPrompts& p, const QString& d) { p.SaveDialog2(d); });
  QTest::newRow("Form2OpenDialog1") << std::function([](QtPrompts& p, const QString& d) { p.Form2OpenDialog1(d); });
}

// The real dialogs, closed by a timer as soon as they show: each one opens in the folder given.
void DialogFoldersTest::qtDialogsStartInFolder() {
  using Show = std::function<void(QtPrompts&, const QString&)>;
  QFETCH(Show, show);
  TempDir dir;
  const QString folder = QString::fromStdString(dir.File("w"));
  QVERIFY(QDir().mkpath(folder));
  QString shownIn;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      shownIn = dialog->directory().absolutePath();
      dialog->reject();
    }
  });
  closer.start(10);
  QtPrompts prompts;
  show(prompts, folder);
  QCOMPARE(shownIn, folder);
}

QTEST_MAIN(DialogFoldersTest)
#include "DialogFoldersTest.moc"
