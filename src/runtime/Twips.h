#pragma once

#include <QColor>
#include <QtGlobal>

namespace corvelix {

// Window measures of the old forms are in twips; the screen has 15 twips per pixel.
inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(int twips) {
    return qRound(static_cast<double>(twips) / kTwipsPerPixel);
}

inline int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// Colours of the old forms are &HBBGGRR.
inline QColor vbColor(quint32 bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace corvelix
