// The colours the operator reads the match state from.
#pragma once

#include <QColor>

namespace ui {

inline const QColor kLightGreen(208, 255, 208);
inline const QColor kLightRed(255, 128, 128);
inline const QColor kSilver(192, 192, 192);
inline const QColor kNavy(0, 0, 128);
inline const QColor kBlue(0, 0, 255);
inline const QColor kLightCyan(160, 255, 255);
inline const QColor kLightMagenta(255, 160, 255);

}  // namespace ui
