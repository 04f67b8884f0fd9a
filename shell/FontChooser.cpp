#include "shell/FontChooser.h"

#include "platform/Cp1252.h"

#include <QColorDialog>
#include <QFontDialog>

#include <cmath>
#include <cstdlib>

namespace mv {
namespace {
constexpr double kPointsPerHundredthInch = 0.72;
}

QFont fontOfSpec(const FontSpec& spec) {
  QFont f(fromCp1252(spec.face));
  f.setPointSizeF(std::max(1.0, std::abs(spec.height) * kPointsPerHundredthInch));
  f.setWeight(spec.weight >= 600 ? QFont::Bold : QFont::Normal);
  f.setItalic(spec.italic != 0);
  f.setStrikeOut(spec.strikeOut != 0);
  f.setUnderline(spec.underline != 0);
  return f;
}

void takeFont(FontSpec& spec, const QFont& font) {
  spec.face = toCp1252(font.family());
  if (font.pointSizeF() > 0)
    spec.height = std::max(1, static_cast<int>(std::lround(font.pointSizeF() / kPointsPerHundredthInch)));
  spec.weight = font.bold() ? 700 : 400;
  spec.italic = font.italic() ? 1 : 0;
  spec.strikeOut = font.strikeOut() ? 1 : 0;
  spec.underline = font.underline() ? 1 : 0;
}

bool chooseFontAndColor(QWidget* parent, FontSpec& spec, bool scalableOnly) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(
      &ok, fontOfSpec(spec), parent, QObject::tr("Font"),
      scalableOnly ? QFontDialog::ScalableFonts : QFontDialog::FontDialogOptions());
  if (!ok) return false;
  const QColor color = QColorDialog::getColor(QColor(spec.color.r, spec.color.g, spec.color.b),
                                              parent, QObject::tr("Color"));
  if (!color.isValid()) return false;
  takeFont(spec, chosen);
  spec.color = Rgb{color.red(), color.green(), color.blue()};
  return true;
}

}  // namespace mv
