// Both windows carry the application icon in its two sizes, and the pictures are the icon's
// (the red cursor line on the blue tile), not an empty or wrong resource.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include "AppTestSupport.h"

using namespace sonaveld;
using namespace sonaveld::test;

class AppIconTest : public QObject {
  Q_OBJECT

 private slots:
  void bothWindowsCarryTheIcon_data();
  void bothWindowsCarryTheIcon();
};

namespace {

// Counts the opaque pixels that are clearly red (the line) and clearly blue (the tile).
void CountColours(const QImage& image, int* red, int* blue) {
  *red = *blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() < 200) continue;
      if (c.red() > 200 && c.green() < 90 && c.blue() < 90) ++*red;
      if (c.blue() > 100 && c.red() < 80) ++*blue;
    }
  }
}

}  // namespace

void AppIconTest::bothWindowsCarryTheIcon_data() {
  QTest::addColumn<QString>("window");
  QTest::newRow("main window") << "Form1";
  QTest::newRow("normalizer window") << "Form2";
}

void AppIconTest::bothWindowsCarryTheIcon() {
  QFETCH(QString, window);
  Harness h;
  const QIcon icon = window == QLatin1String("Form1") ? h.form->windowIcon() : h.form2->windowIcon();
  QVERIFY(!icon.isNull());
  const QList<QSize> sizes = icon.availableSizes();
  QVERIFY2(sizes.contains(QSize(48, 48)), "no 48 px picture");
  QVERIFY2(sizes.contains(QSize(256, 256)), "no 256 px picture");
  for (const int side : {48, 256}) {
    const QImage image = icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(side, side));
    int red = 0, blue = 0;
    CountColours(image, &red, &blue);
    const int area = side * side;
    QVERIFY2(red > area / 100, qPrintable(QStringLiteral("%1 px: %2 red pixels").arg(side).arg(red)));
    QVERIFY2(blue > area / 4, qPrintable(QStringLiteral("%1 px: %2 blue pixels").arg(side).arg(blue)));
    // The corners lie outside the rounded tile: transparent.
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
  }
}

QTEST_MAIN(AppIconTest)
#include "AppIconTest.moc"
