#pragma once
#include <QWidget>

namespace sonaveld {

// The normalizer window Form2 (caption "ノーマライズ"), created hidden at start and shown by the
// main window's "ノーマライズ" item. Its list, settings and pass are built by the normalizer part.
class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
};

// Size of the normalizer window's client area in pixels.
inline constexpr int kForm2ClientWidth = 522;
inline constexpr int kForm2ClientHeight = 398;

}  // namespace sonaveld
