#include "printing/LabelTemplates.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

namespace mv {
namespace {

constexpr double kPointsPerInch = 72.0;

// A template's lengths rounded to whole units of `unit`.
LabelFormat formatIn(LabelUnit unit, double width, double height, const TemplateLayout& l,
                     double dx, double dy) {
  const auto length = [unit](double points) {
    return inchesToLength(points / kPointsPerInch, unit);
  };
  LabelFormat f;
  f.unit = unit;
  f.width = length(width);
  f.height = length(height);
  f.left = length(l.x0);
  f.top = length(l.y0);
  f.horizontalPitch = length(dx);
  f.verticalPitch = length(dy);
  f.across = l.nx;
  f.down = l.ny;
  return f;
}

// How far, in points, the last label of a rounded format lands from where the template
// puts it (the first label's error is in it too, and the last row or column is where
// rounding has added up the most).
double worstPositionError(const LabelFormat& f, const TemplateLayout& l, double dx, double dy) {
  const double pointsPerUnit = kPointsPerInch / unitsPerInch(f.unit);
  const auto off = [&](int origin, int pitch, int n, double exactOrigin, double exactPitch) {
    const double first = std::abs(origin * pointsPerUnit - exactOrigin);
    const double last = std::abs((origin + (n - 1) * pitch) * pointsPerUnit -
                                 (exactOrigin + (n - 1) * exactPitch));
    return std::max(first, last);
  };
  return std::max(off(f.left, f.horizontalPitch, f.across, l.x0, dx),
                  off(f.top, f.verticalPitch, f.down, l.y0, dy));
}

std::string attr(const QXmlStreamReader& r, const char* name) {
  return r.attributes().value(QLatin1String(name)).toString().toStdString();
}

// A missing length counts as 0 (x0, y0 and the wastes are often left out); one that is
// there and does not read makes the template unreadable.
double lengthAttr(const QXmlStreamReader& r, const char* name, bool& readable) {
  const std::string text = attr(r, name);
  if (text.empty()) return 0;
  const std::optional<double> v = parseTemplateLength(text);
  if (!v) readable = false;
  return v.value_or(0);
}

int countAttr(const QXmlStreamReader& r, const char* name, bool& readable) {
  const std::string text = attr(r, name);
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < 0 || n > 100000) {
    readable = false;
    return 0;
  }
  return static_cast<int>(n);
}

TemplateShape shapeNamed(QStringView name) {
  if (name == u"Label-rectangle") return TemplateShape::Rectangle;
  if (name == u"Label-round") return TemplateShape::Round;
  if (name == u"Label-ellipse") return TemplateShape::Ellipse;
  if (name == u"Label-cd") return TemplateShape::Cd;
  if (name == u"Label-continuous") return TemplateShape::Continuous;
  if (name.startsWith(u"Label-")) return TemplateShape::Other;
  return TemplateShape::None;
}

// The label element: its size when rectangular, and the layouts inside it. Markup
// elements and anything else inside are passed over.
void readShape(QXmlStreamReader& r, LabelTemplate& t) {
  t.shape = shapeNamed(r.name());
  if (t.shape == TemplateShape::Rectangle) {
    t.width = lengthAttr(r, "width", t.readable);
    t.height = lengthAttr(r, "height", t.readable);
  }
  while (r.readNextStartElement()) {
    if (r.name() == u"Layout") {
      TemplateLayout l;
      l.nx = countAttr(r, "nx", t.readable);
      l.ny = countAttr(r, "ny", t.readable);
      l.x0 = lengthAttr(r, "x0", t.readable);
      l.y0 = lengthAttr(r, "y0", t.readable);
      l.dx = lengthAttr(r, "dx", t.readable);
      l.dy = lengthAttr(r, "dy", t.readable);
      t.layouts.push_back(l);
    }
    r.skipCurrentElement();
  }
}

std::string collapseBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// The name as the list shows it, in Windows-1252 without line breaks, tabs or a ";"
// (which labels.dat reads back as a blank).
std::string displayNameOf(const LabelTemplate& t) {
  std::string base = t.brand;
  if (!t.part.empty()) base += (base.empty() ? "" : " ") + t.part;
  base = collapseBlanks(toCp1252(QString::fromStdString(base)));
  const std::string description = collapseBlanks(toCp1252(QString::fromStdString(t.description)));
  if (!description.empty() && base.size() + 1 + description.size() <= kLabelNameMax)
    base += " " + description;
  return base.substr(0, kLabelNameMax);
}

}  // namespace

std::optional<double> parseTemplateLength(std::string_view text) {
  const std::string s(text);
  const char* begin = s.c_str();
  while (*begin == ' ') ++begin;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  // Nothing on a sheet is 300 m long: larger values are rubbish, and would not fit an int.
  if (end == begin || !std::isfinite(value) || std::abs(value) > 1e6) return std::nullopt;
  std::string unit(end);
  while (!unit.empty() && unit.back() == ' ') unit.pop_back();
  while (!unit.empty() && unit.front() == ' ') unit.erase(0, 1);
  if (unit.empty() || unit == "pt") return value;
  if (unit == "in") return value * kPointsPerInch;
  if (unit == "mm") return value * kPointsPerInch / 25.4;
  if (unit == "cm") return value * kPointsPerInch / 2.54;
  if (unit == "pc") return value * 12.0;
  return std::nullopt;
}

TemplateFile parseLabelTemplates(std::string_view xml) {
  TemplateFile file;
  QXmlStreamReader r(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
  if (!r.readNextStartElement()) {
    file.error = r.hasError() ? "it is not well-formed XML (line " +
                                    std::to_string(r.lineNumber()) + ": " +
                                    r.errorString().toStdString() + ")"
                              : "it holds no XML element";
    return file;
  }
  if (r.name() != u"Glabels-templates") {
    file.error = "it is not a label template file (its first element is <" +
                 r.name().toString().toStdString() + ">)";
    return file;
  }
  // Earlier templates by brand and part, for equiv.
  std::map<std::pair<std::string, std::string>, size_t> byPart;
  while (r.readNextStartElement()) {
    if (r.name() != u"Template") {
      r.skipCurrentElement();
      continue;
    }
    LabelTemplate t;
    t.brand = attr(r, "brand");
    t.part = attr(r, "part");
    if (t.brand.empty() && t.part.empty()) t.brand = attr(r, "name");  // the older form
    t.description = attr(r, "description");
    t.paper = attr(r, "size");
    const std::string equiv = attr(r, "equiv");
    while (r.readNextStartElement()) {
      if (shapeNamed(r.name()) != TemplateShape::None && t.shape == TemplateShape::None)
        readShape(r, t);
      else
        r.skipCurrentElement();
    }
    if (!equiv.empty() && t.shape == TemplateShape::None) {
      const auto it = byPart.find({t.brand, equiv});
      if (it == byPart.end()) {
        t.readable = false;
      } else {
        const LabelTemplate& same = file.templates[it->second];
        t.shape = same.shape;
        t.width = same.width;
        t.height = same.height;
        t.layouts = same.layouts;
        t.readable = same.readable;
        if (t.paper.empty()) t.paper = same.paper;
        // The same sheet sold under another number: its name says what it is, too, and a
        // part that begins the other's (L4737, L4737REV) is not taken for that one.
        if (t.description.empty()) t.description = same.description;
      }
    }
    byPart.emplace(std::make_pair(t.brand, t.part), file.templates.size());
    file.templates.push_back(std::move(t));
  }
  if (r.hasError()) {
    file.error = "it is not well-formed XML (line " + std::to_string(r.lineNumber()) + ": " +
                 r.errorString().toStdString() + ")";
    file.templates.clear();
  }
  return file;
}

int productOfPaper(std::string_view paper) noexcept {
  if (paper == "US-Letter" || paper == "US-letter") return static_cast<int>(LabelProduct::Standard);
  if (paper == "A4") return static_cast<int>(LabelProduct::A4);
  return static_cast<int>(LabelProduct::Other);
}

TemplateFormat formatOfTemplate(const LabelTemplate& t) {
  TemplateFormat out;
  if (!t.readable) {
    out.skip = TemplateSkip::Unreadable;
    return out;
  }
  if (t.shape != TemplateShape::Rectangle) {
    out.skip = TemplateSkip::NotRectangular;
    return out;
  }
  if (t.layouts.size() != 1) {
    out.skip = TemplateSkip::SeveralLayouts;
    return out;
  }
  const TemplateLayout& l = t.layouts.front();
  // A single column or row has no pitch of its own (files leave dx or dy at 0 there).
  const double dx = l.nx == 1 ? std::max(t.width, l.dx) : l.dx;
  const double dy = l.ny == 1 ? std::max(t.height, l.dy) : l.dy;
  // Labels defined to overlap their neighbours are printed as wide as their pitch, so
  // that one label's text never runs onto the next.
  const double width = std::min(t.width, dx);
  const double height = std::min(t.height, dy);
  // Kept in the unit that holds the template's numbers best: a sheet measured in
  // millimetres in tenths of a millimetre, one measured in inches in hundredths of an inch.
  LabelFormat f = formatIn(LabelUnit::TenthMm, width, height, l, dx, dy);
  if (const LabelFormat inches = formatIn(LabelUnit::HundredthInch, width, height, l, dx, dy);
      worstPositionError(inches, l, dx, dy) < worstPositionError(f, l, dx, dy))
    f = inches;
  f.name = labelStoredName(displayNameOf(t));
  f.product = productOfPaper(t.paper);
  if (!isUsableLabelFormat(f) || f.name.empty()) {
    out.skip = TemplateSkip::OutOfRange;
    return out;
  }
  // Whether the sheet holds it is decided on the template's own numbers, within one
  // stored unit: three 72.0 mm labels fill a 215.9 mm sheet, though each length rounded
  // on its own would add up past it. "Other" sheets print on US letter: a legal-size
  // sheet's last rows would be lost.
  const LabelSheetSize sheet = labelSheetOf(f.product);
  const double tenthMm = kPointsPerInch / 254.0;
  const double unit = kPointsPerInch / unitsPerInch(f.unit);
  const double right = l.x0 + (l.nx - 1) * dx + width;
  const double bottom = l.y0 + (l.ny - 1) * dy + height;
  constexpr double kFloatSlack = 1e-6;  // the units' conversions are not exact in binary
  if (right > sheet.width * tenthMm + unit + kFloatSlack ||
      bottom > sheet.length * tenthMm + unit + kFloatSlack) {
    out.skip = TemplateSkip::TooLarge;
    return out;
  }
  out.format = std::move(f);
  return out;
}

int TemplateImport::skippedTotal() const noexcept {
  int n = 0;
  for (int s : skipped) n += s;
  return n;
}

TemplateImport importLabelTemplates(LabelCatalogue& catalogue, const TemplateFile& file) {
  TemplateImport result;
  result.error = file.error;
  if (!file.error.empty()) return result;
  // The names listed, per product, in lower case: looked up rather than searched for in a
  // list parsed again for every template, so that a file of thousands of templates
  // takes time in proportion to its size.
  const auto key = [](const LabelFormat& f) {
    std::string name = labelDisplayName(f.name.substr(0, kLabelNameMax));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
  };
  std::map<int, std::set<std::string>> taken;
  for (const std::string& line : catalogue.lines())
    if (const std::optional<LabelFormat> f = parseLabelLine(line)) taken[f->product].insert(key(*f));
  std::vector<std::string> added;
  const auto skip = [&result](TemplateSkip why) { ++result.skipped[static_cast<size_t>(why)]; };
  for (const LabelTemplate& t : file.templates) {
    const TemplateFormat made = formatOfTemplate(t);
    if (!made.format)
      skip(made.skip);
    else if (!isUsableLabelFormat(*made.format))
      skip(TemplateSkip::OutOfRange);
    else if (!taken[made.format->product].insert(key(*made.format)).second)
      skip(TemplateSkip::NameTaken);
    else
      added.push_back(labelLine(*made.format));
  }
  // At the top, in the file's order.
  result.added = static_cast<int>(added.size());
  catalogue.insertLines(0, std::move(added));
  return result;
}

std::string templateImportSummary(const TemplateImport& r, std::string_view fileName) {
  if (!r.error.empty())
    return std::string(fileName) + " could not be read as label templates: " + r.error + ".";
  auto plural = [](int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  std::string text = plural(r.added, "label format", "label formats") + " added, " +
                     std::to_string(r.skippedTotal()) + " skipped.";
  static constexpr const char* kReasons[kTemplateSkipReasons] = {
      "not rectangular (round, elliptic, CD or continuous)",
      "with more than one layout",
      "outside 1 to 20 across and 1 to 30 down, or without a size",
      "named like a label already in the list",
      "with a size or count that could not be read",
      "larger than the sheet they print on (US letter, or A4 for \"A4 Sizes\")",
  };
  bool first = true;
  for (size_t i = 0; i < r.skipped.size(); ++i) {
    if (r.skipped[i] == 0) continue;
    text += first ? "\n\nSkipped:" : "";
    first = false;
    text += "\n" + std::to_string(r.skipped[i]) + " " + kReasons[i];
  }
  return text;
}

TemplateImport importLabelTemplateFile(const std::filesystem::path& xmlFile,
                                       const std::filesystem::path& labelsDat) {
  std::string bytes;
  if (!readWholeFile(xmlFile, bytes)) {
    TemplateImport failed;
    failed.error = "the file cannot be read";
    return failed;
  }
  // A missing labels.dat is an empty catalogue; the imported formats start it.
  LabelCatalogue catalogue(readLabelsDat(labelsDat));
  TemplateImport result = importLabelTemplates(catalogue, parseLabelTemplates(bytes));
  if (result.error.empty() && result.added > 0 &&
      !writeFileAtomically(labelsDat, labelsDatBytes(catalogue.lines()))) {
    result.error = "labels.dat could not be written; the label list is unchanged";
    result.added = 0;
  }
  return result;
}

}  // namespace mv
