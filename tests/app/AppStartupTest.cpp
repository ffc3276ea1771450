// Start-up: Qt's own Japanese texts reach the message boxes' buttons and the file dialogs.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/AppStartup.h"

using namespace sonaveld;

class AppStartupTest : public QObject {
  Q_OBJECT

 private slots:
  void toolkitTextsInJapanese();
};

namespace {

QStringList BoxButtons() {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Sonaveld"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
  QStringList texts;
  for (auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel})
    texts << box.button(button)->text();
  return texts;
}

QStringList FileDialogTexts() {
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  return {dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(),
          dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(),
          buttons->button(QDialogButtonBox::Open)->text(), buttons->button(QDialogButtonBox::Cancel)->text()};
}

}  // namespace

// The toolkit starts in English here whatever the locale; the program's start-up turns its boxes
// and dialogs Japanese.
void AppStartupTest::toolkitTextsInJapanese() {
  QCOMPARE(BoxButtons(), QStringList({"&Yes", "&No", "OK", "Cancel"}));
  PrepareApplication(*qApp);
  QCOMPARE(BoxButtons(), QStringList({"はい(&Y)", "いいえ(&N)", "OK", "キャンセル"}));
  QCOMPARE(FileDialogTexts(), QStringList({"アドレス:", "ファイル名(&N):", "開く(&O)", "キャンセル"}));
  QCOMPARE(QApplication::applicationName(), QStringLiteral("Sonaveld"));
  QVERIFY(!QApplication::quitOnLastWindowClosed());
  QCOMPARE(QLocale().language(), QLocale::Japanese);  // e.g. the file types the dialogs list
}

QTEST_MAIN(AppStartupTest)
#include "AppStartupTest.moc"
