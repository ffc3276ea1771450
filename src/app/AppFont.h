#pragma once
#include <QFont>

namespace sonaveld {

// The face the windows are designed for; mapped to a metric-compatible face installed here.
inline constexpr char kWindowFontFamily[] = "ＭＳ Ｐゴシック";

// Maps the design face to IPAPGothic (fonts-ipafont-gothic). Safe to call more than once.
void InstallFontSubstitutions();

// The window font at pixelSize pixels height (12 for the windows themselves).
QFont WindowFont(int pixelSize = 12);

// The font of the time ruler's labels: the design face at 9 points.
QFont RulerLabelFont();

}  // namespace sonaveld
