#pragma once
// Colours on the screen follow the desktop's palette, light or dark. Where a colour is
// given (a summary's own colours, a dimmed letter), it is checked against the ground it is
// drawn on and moved until it reads at 4.5 : 1, the contrast accessibility guidelines ask
// of text.

#include <QColor>

namespace mv {

inline constexpr double kReadableContrast = 4.5;

// The contrast ratio of two colours as accessibility guidelines define it (1 to 21).
double contrastRatio(const QColor& a, const QColor& b);
// `c` drawn over `background`, as an opaque colour.
QColor over(const QColor& c, const QColor& background);
// The colour a fraction t of the way from a to b.
QColor mix(const QColor& a, const QColor& b, double t);
// `wanted` if it reads well on `ground`; else the first step from it toward `toward` (the
// palette's text colour, say) that does, and `toward` itself when none does.
QColor readableOn(const QColor& wanted, const QColor& ground, const QColor& toward);

}  // namespace mv
