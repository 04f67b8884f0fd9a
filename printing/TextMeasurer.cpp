#include "printing/TextMeasurer.h"

#include "platform/Cp1252.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mv {

struct TextMeasurer::Made {
  Font request;
  QFont font;
  QFontMetricsF metrics;
  Made(Font r, const QFont& f) : request(std::move(r)), font(f), metrics(f) {}
};

namespace {

constexpr std::string_view kSymbolFace = "Wingdings";
constexpr const char* kSymbolStandIn = "DejaVu Sans";

bool isSymbolFace(const Font& request) noexcept {
  return equalsIgnoreCase(request.face, kSymbolFace);
}

int pixels(double size) { return std::max(1, static_cast<int>(std::lround(size))); }

QFont realise(const Font& request) {
  QFont font(isSymbolFace(request) ? QString(kSymbolStandIn) : fromCp1252(request.face));
  font.setHintingPreference(QFont::PreferNoHinting);
  // Text runs are measured piece by piece (a name after its salutation), so the width of
  // a run must not depend on its neighbours.
  font.setKerning(false);
  font.setWeight(static_cast<QFont::Weight>(
      std::clamp(request.weight == 0 ? kNormalWeight : request.weight, 1, 1000)));
  font.setItalic(request.italic);
  font.setUnderline(request.underline);
  font.setStrikeOut(request.strikeOut);
  const int height = request.height == 0 ? kDefaultFontHeight : request.height;
  const double asked = std::abs(static_cast<double>(height)) * TextMeasurer::kScale;
  font.setPixelSize(pixels(asked));
  if (height > 0) {
    // A cell height: find the em that gives that ascent plus descent in this face.
    const QFontMetricsF probe(font);
    const double cell = probe.ascent() + probe.descent();
    if (cell > 0) font.setPixelSize(pixels(asked * asked / cell));
  }
  return font;
}

}  // namespace

TextMeasurer::TextMeasurer() { select(Font{}); }

TextMeasurer::~TextMeasurer() = default;

void TextMeasurer::select(const Font& font) {
  if (current_ && current_->request == font) return;
  for (const auto& m : made_)
    if (m->request == font) {
      current_ = m.get();
      return;
    }
  made_.push_back(std::make_unique<Made>(font, realise(font)));
  current_ = made_.back().get();
}

QString TextMeasurer::text(std::string_view cp1252) const {
  if (!isSymbolFace(current_->request)) return fromCp1252(cp1252);
  QString out;
  for (const char c : cp1252) {
    if (c == '*') out += QChar(0x2709);       // envelope
    else if (c == '(') out += QChar(0x260E);  // telephone
    else out += fromCp1252(std::string_view(&c, 1));
  }
  return out;
}

const QFont& TextMeasurer::qfont() const noexcept { return current_->font; }

const QFontMetricsF& TextMeasurer::qmetrics() const noexcept { return current_->metrics; }

double TextMeasurer::width(const QString& text) const {
  return current_->metrics.horizontalAdvance(text) / kScale;
}

double TextMeasurer::ascent() const { return current_->metrics.ascent() / kScale; }

double TextMeasurer::descent() const { return current_->metrics.descent() / kScale; }

double TextMeasurer::boxHeight(double width, const QString& text, TextFlow flow) const {
  const QRectF room(0, 0, std::max(0.0, width) * kScale, 1e9);
  return current_->metrics.boundingRect(room, textBoxFlags(HAlign::Left, flow), text).height() /
         kScale;
}

TextSize TextMeasurer::measure(const QString& text) const {
  return TextSize{static_cast<int>(std::lround(width(text))),
                  static_cast<int>(std::lround(ascent() + descent()))};
}

FontMetrics TextMeasurer::metrics() const {
  const int a = static_cast<int>(std::lround(ascent()));
  const int d = static_cast<int>(std::lround(descent()));
  const int em = static_cast<int>(std::lround(current_->font.pixelSize() / double(kScale)));
  const int widest = static_cast<int>(std::ceil(current_->metrics.maxWidth() / kScale));
  return FontMetrics{a, d, a + d, std::max(0, a + d - em), widest};
}

int textBoxFlags(HAlign align, TextFlow flow) noexcept {
  int flags = Qt::AlignTop;
  switch (align) {
    case HAlign::Left: flags |= Qt::AlignLeft; break;
    case HAlign::Center: flags |= Qt::AlignHCenter; break;
    case HAlign::Right: flags |= Qt::AlignRight; break;
  }
  flags |= flow == TextFlow::WordBreak ? Qt::TextWordWrap : Qt::TextSingleLine;
  return flags;
}

}  // namespace mv
