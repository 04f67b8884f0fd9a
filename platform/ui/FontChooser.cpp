#include "platform/ui/FontChooser.h"

#include "platform/Cp1252.h"
#include "platform/ui/DialogButtons.h"

#include <QColorDialog>
#include <QFontDialog>

#include <cmath>
#include <cstdlib>

namespace mv {
namespace {
constexpr double kPointsPerHundredthInch = 0.72;
}

QFont fontOfSpec(const FontSpec& fontSpec) {
  QFont f(fromCp1252(fontSpec.face));
  f.setPointSizeF(std::max(1.0, std::abs(fontSpec.height) * kPointsPerHundredthInch));
  f.setWeight(fontSpec.weight >= 600 ? QFont::Bold : QFont::Normal);
  f.setItalic(fontSpec.italic != 0);
  f.setStrikeOut(fontSpec.strikeOut != 0);
  f.setUnderline(fontSpec.underline != 0);
  return f;
}

void takeFont(FontSpec& fontSpec, const QFont& font) {
  fontSpec.face = toCp1252(font.family());
  if (font.pointSizeF() > 0)
    fontSpec.height = std::max(1, static_cast<int>(std::lround(font.pointSizeF() / kPointsPerHundredthInch)));
  fontSpec.weight = font.bold() ? 700 : 400;
  fontSpec.italic = font.italic() ? 1 : 0;
  fontSpec.strikeOut = font.strikeOut() ? 1 : 0;
  fontSpec.underline = font.underline() ? 1 : 0;
}

bool chooseFontAndColor(QWidget* parent, FontSpec& fontSpec, bool scalableOnly) {
  // Made here rather than through the static getters, so that F1 reaches them.
  QFontDialog fonts(fontOfSpec(fontSpec), parent);
  fonts.setWindowTitle(QObject::tr("Font"));
  if (scalableOnly) fonts.setOption(QFontDialog::ScalableFonts);
  giveHelp(&fonts, kFontHelpContext);
  if (fonts.exec() != QDialog::Accepted) return false;
  const QFont chosen = fonts.selectedFont();
  QColorDialog colors(QColor(fontSpec.color.r, fontSpec.color.g, fontSpec.color.b), parent);
  colors.setWindowTitle(QObject::tr("Color"));
  giveHelp(&colors, kFontHelpContext);
  if (colors.exec() != QDialog::Accepted) return false;
  const QColor color = colors.selectedColor();
  if (!color.isValid()) return false;
  takeFont(fontSpec, chosen);
  fontSpec.color = Rgb{color.red(), color.green(), color.blue()};
  return true;
}

}  // namespace mv
