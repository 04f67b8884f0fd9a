#pragma once
// Label sheets described by the XML template files of other label programs (a root
// <Glabels-templates> of <Template> elements, each with one label shape and its layouts),
// read and turned into labels.dat formats. Only rectangular labels laid out in one grid
// fit a labels.dat line; every other template is skipped and counted by its reason.

#include "printing/LabelFormats.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// One grid of labels: nx across, ny down, the first label's corner at x0, y0, the next
// ones dx and dy further. Lengths in points.
struct TemplateLayout {
  int nx = 0;
  int ny = 0;
  double x0 = 0;
  double y0 = 0;
  double dx = 0;
  double dy = 0;
};

enum class TemplateShape { None, Rectangle, Round, Ellipse, Cd, Continuous, Other };

struct LabelTemplate {
  std::string brand;        // UTF-8 as the file holds it
  std::string part;
  std::string description;
  std::string paper;        // "US-Letter", "A4", ..., "Other"
  TemplateShape shape = TemplateShape::None;
  double width = 0;         // the rectangle's size, points
  double height = 0;
  std::vector<TemplateLayout> layouts;
  bool readable = true;     // false: a length or count could not be read, or equiv is unknown
};

// A length with its unit ("2.625in", "66.7mm", "0.5cm", "3pc", "12pt"; no unit: points),
// in points. Nothing for a number that does not read in full or an unknown unit.
std::optional<double> parseTemplateLength(std::string_view text);

struct TemplateFile {
  std::vector<LabelTemplate> templates;
  std::string error;  // not empty: the file is no template file or is not well-formed XML
};
// Reads every <Template>; one naming equiv="PART" takes the shape of the template of its
// brand with that part read earlier in the file.
TemplateFile parseLabelTemplates(std::string_view xml);

// Why a template gives no labels.dat line.
enum class TemplateSkip {
  NotRectangular,  // round, ellipse, CD, continuous or no shape
  SeveralLayouts,  // more than one grid (or none)
  OutOfRange,      // not 1..20 across and 1..30 down, or a size not above 0
  NameTaken,       // a format of its product already begins with the name
  Unreadable,      // a length or count that does not read, an unknown equiv
  TooLarge,        // reaches past the sheet its product prints on (US letter or A4)
};
inline constexpr int kTemplateSkipReasons = 6;

// The product a template's paper belongs to: US letter "Standard", A4 "A4 Sizes", the
// rest "Other".
int productOfPaper(std::string_view paper) noexcept;
// The labels.dat format of a template: named "Brand Part Description" (without the
// description when that would pass 49 characters), lengths rounded to tenths of a
// millimetre or to hundredths of an inch, whichever puts the last label nearer to where the
// template has it (ties go to millimetres). Nothing, with the reason, when it does not fit a labels.dat line.
struct TemplateFormat {
  std::optional<LabelFormat> format;
  TemplateSkip skip = TemplateSkip::NotRectangular;
};
TemplateFormat formatOfTemplate(const LabelTemplate& t);

struct TemplateImport {
  int added = 0;
  std::array<int, kTemplateSkipReasons> skipped{};
  std::string error;  // the file could not be read as templates: nothing was added
  int skippedTotal() const noexcept;
};
// Adds the formats of the templates to the catalogue as the page's Add does (same name
// rule and checks), keeping the file's order at the top of the catalogue.
TemplateImport importLabelTemplates(LabelCatalogue& catalogue, const TemplateFile& file);
// The one message that tells how it went: "%d label formats added, %d skipped." and a line
// per reason that occurred; or why the file could not be read.
std::string templateImportSummary(const TemplateImport& result, std::string_view fileName);

// The file read, imported into the catalogue of labelsDat and written back atomically
// when anything was added. error tells a file that cannot be read or written.
TemplateImport importLabelTemplateFile(const std::filesystem::path& xmlFile,
                                       const std::filesystem::path& labelsDat);

}  // namespace mv
