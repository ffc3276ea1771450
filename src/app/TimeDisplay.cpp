#include "app/TimeDisplay.h"

#include <QFrame>
#include <QLabel>
#include <QRect>
#include <algorithm>
#include <array>

#include "app/Form1Controls.h"

namespace sonaveld {
namespace {

constexpr int kLabelTop = 56;
constexpr std::array<int, 6> kDesignedLefts = {669, 678, 691, 712, 733, 754};
constexpr QRect kDesignedBevel(664, 52, 113, 29);
constexpr int kBevelToFirstLabel = 5;

}  // namespace

void PlaceTimeDisplay(const Form1Controls& c) {
  const std::array<QLabel*, 6> labels = {c.Label8, c.Label11, c.Label3, c.Label10, c.Label4, c.Label9};
  int rightLimit = kDesignedBevel.x() + kDesignedBevel.width() - c.Bevel1->frameWidth();
  int firstLeft = 0;
  for (int i = static_cast<int>(labels.size()) - 1; i >= 0; --i) {
    const QSize size = labels[i]->sizeHint();
    const int left = std::min(kDesignedLefts[i], rightLimit - size.width());
    labels[i]->setGeometry(left, kLabelTop, size.width(), size.height());
    rightLimit = firstLeft = left;
  }
  const int bevelLeft = std::min(kDesignedBevel.x(), firstLeft - kBevelToFirstLabel);
  c.Bevel1->setGeometry(bevelLeft, kDesignedBevel.y(), kDesignedBevel.right() + 1 - bevelLeft,
                        kDesignedBevel.height());
}

}  // namespace sonaveld
