#pragma once
// The font dialog of the label and envelope fonts and of the page font: a font dialog,
// then a colour dialog. Font heights are stored in hundredths of an inch (the units the
// labels are drawn in); the dialogs speak points.

#include "settings/FontSpec.h"

#include <QFont>

class QWidget;

namespace mv {

// The QFont a stored font stands for (height in hundredths of an inch -> points).
QFont fontOfSpec(const FontSpec& fontSpec);
// Takes face, size, weight and effects of font into fontSpec; the colour is left alone.
void takeFont(FontSpec& fontSpec, const QFont& font);

// The topic F1 opens in the font and colour dialogs.
inline constexpr int kFontHelpContext = 81;

// Shows the font dialog and then the colour dialog on fontSpec; false when either was
// cancelled (fontSpec unchanged). scalableOnly offers scalable faces only.
[[nodiscard]] bool chooseFontAndColor(QWidget* parent, FontSpec& fontSpec, bool scalableOnly);

}  // namespace mv
