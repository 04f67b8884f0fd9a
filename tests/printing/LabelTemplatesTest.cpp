// Label template files of other label programs read into labels.dat formats.
#include "printing/LabelTemplates.h"

#include "printing/AddressPages.h"
#include "printing/LabelPages.h"
#include "support/TestDir.h"

#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

TEST(LabelTemplates, lengthsCarryTheirUnits) {
  struct Row {
    const char* text;
    std::optional<double> points;
  };
  const Row rows[] = {
      {"2.625in", 189.0},   // inches
      {"66.675mm", 189.0},  // millimetres
      {"6.6675cm", 189.0},  // centimetres
      {"15.75pc", 189.0},   // picas of 12 points
      {"189pt", 189.0},
      {"189", 189.0},       // no unit: points
      {"-0.5in", -36.0},
      {"", std::nullopt},
      {"in", std::nullopt},
      {"2in3", std::nullopt},  // trailing rubbish
      {"5ft", std::nullopt},   // unknown unit
      {"nan", std::nullopt},
      {"1e300in", std::nullopt},  // would not fit the labels.dat numbers
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    const std::optional<double> v = parseTemplateLength(r.text);
    ASSERT_EQ(v.has_value(), r.points.has_value());
    if (v) {
      EXPECT_NEAR(*v, *r.points, 1e-9);
    }
  }
}

// Written by hand from the format's description: one of each kind of template.
constexpr const char* kTemplates = R"(<?xml version="1.0"?>
<Glabels-templates>
  <!-- a US-letter address sheet, inches -->
  <Template brand="Acme" part="5160" size="US-Letter" description="Address Labels">
    <Meta category="label"/>
    <Meta category="mail"/>
    <Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in" x_waste="0.0625in" y_waste="0">
      <Markup-margin size="0.0625in"/>
      <Layout nx="3" ny="10" x0="0.1875in" y0="0.5in" dx="2.75in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <!-- the same sheet under another part number -->
  <Template brand="Acme" part="5260" size="US-Letter" equiv="5160"/>
  <!-- A4 in millimetres, a description too long for the name -->
  <Template brand="Zeta" part="L7163" size="A4" description="Parcel labels, 14 per sheet, 99.1 x 38.1 mm">
    <Label-rectangle id="0" width="99.1mm" height="38.1mm" round="2mm">
      <Layout nx="2" ny="7" x0="4.7mm" y0="15.2mm" dx="101.6mm" dy="38.1mm"/>
    </Label-rectangle>
  </Template>
  <!-- another paper, in points; one column -->
  <Template brand="Acme" part="P1" size="Other" width="288pt" height="432pt" description="Shipping">
    <Label-rectangle id="0" width="252" height="144">
      <Layout nx="1" ny="2" x0="18pt" y0="36pt" dx="0" dy="180pt"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="R22" size="US-Letter" description="Round">
    <Label-round id="0" radius="0.75in"><Layout nx="4" ny="5" x0="0.5in" y0="0.5in" dx="2in" dy="2in"/></Label-round>
  </Template>
  <Template brand="Acme" part="CD1" size="US-Letter">
    <Label-cd id="0" radius="2.3in" hole="0.8in"><Layout nx="1" ny="2" x0="1in" y0="1in" dx="0" dy="5in"/></Label-cd>
  </Template>
  <Template brand="Acme" part="M2" size="US-Letter" description="Two grids">
    <Label-rectangle id="0" width="1in" height="1in">
      <Layout nx="2" ny="2" x0="1in" y0="1in" dx="2in" dy="2in"/>
      <Layout nx="2" ny="2" x0="5in" y0="5in" dx="2in" dy="2in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="T80" size="US-Letter" description="Tiny">
    <Label-rectangle id="0" width="0.3in" height="0.2in">
      <Layout nx="25" ny="50" x0="0.1in" y0="0.1in" dx="0.33in" dy="0.21in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Acme" part="5161" size="US-Letter" equiv="9999"/>
  <Template brand="Acme" part="B1" size="US-Letter">
    <Label-rectangle id="0" width="two inches" height="1in">
      <Layout nx="2" ny="2" x0="0" y0="0" dx="3in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <!-- legal paper: the last rows would fall off the letter sheet it prints on -->
  <Template brand="Acme" part="LG" size="US-Legal">
    <Label-rectangle id="0" width="2.5in" height="1in">
      <Layout nx="3" ny="13" x0="0.25in" y0="0.5in" dx="2.75in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <!-- three 72.0 mm labels across a 215.9 mm sheet: full bleed, fits within a unit -->
  <Template brand="Full" part="Bleed" size="US-Letter">
    <Label-rectangle id="0" width="72mm" height="25.4mm">
      <Layout nx="3" ny="11" x0="0" y0="0" dx="72mm" dy="25.4mm"/>
    </Label-rectangle>
  </Template>
  <!-- labels defined wider than their pitch -->
  <Template brand="Lap" part="9" size="US-Letter">
    <Label-rectangle id="0" width="1in" height="1in">
      <Layout nx="2" ny="2" x0="1in" y0="1in" dx="0.9in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <!-- its name begins an existing format's name: a sheet of its own -->
  <Template brand="Old" part="Sheet" size="US-Letter">
    <Label-rectangle id="0" width="2in" height="1in">
      <Layout nx="2" ny="2" x0="0.5in" y0="0.5in" dx="3in" dy="1in"/>
    </Label-rectangle>
  </Template>
</Glabels-templates>
)";

TEST(LabelTemplates, rectangularOneGridTemplatesBecomeFormatsAndTheRestAreCounted) {
  LabelCatalogue catalogue({"Old;Sheet;Two 0, 508,254, 127,127, 762,254, 2,2"});
  const TemplateFile file = parseLabelTemplates(kTemplates);
  ASSERT_EQ(file.error, "");
  ASSERT_EQ(file.templates.size(), 14u);
  EXPECT_EQ(file.templates[1].shape, TemplateShape::Rectangle);  // through equiv
  const TemplateImport result = importLabelTemplates(catalogue, file);
  EXPECT_EQ(result.added, 7);
  EXPECT_EQ(result.skipped, (std::array<int, kTemplateSkipReasons>{2, 1, 1, 0, 2, 1}));
  // In the file's order at the top, each in the unit that keeps its labels where the
  // template has them: 2.75 in is 275 hundredths exactly, but 699 tenths of a millimetre
  // (0.05 mm off per label); 99.1 mm needs millimetres; when both are exact, millimetres.
  const std::vector<std::string> expected = {
      "Acme;5160;Address;Labels 0, 263,100, 19,50, 275,100, 3,10 in",
      "Acme;5260;Address;Labels 0, 263,100, 19,50, 275,100, 3,10 in",
      "Zeta;L7163 1, 991,381, 47,152, 1016,381, 2,7",
      "Acme;P1;Shipping 2, 350,200, 25,50, 350,250, 1,2 in",
      "Full;Bleed 0, 720,254, 0,0, 720,254, 3,11",  // 3 x 72.0 mm: fits within a unit
      "Lap;9 0, 90,100, 100,100, 90,100, 2,2 in",   // the label cut to its 0.9 in pitch
      "Old;Sheet 0, 508,254, 127,127, 762,254, 2,2",  // beside "Old Sheet Two"
      "Old;Sheet;Two 0, 508,254, 127,127, 762,254, 2,2",
  };
  EXPECT_EQ(catalogue.lines(), expected);
  EXPECT_TRUE(catalogue.modified());
  EXPECT_EQ(templateImportSummary(result, "sheets.xml"),
            "7 label formats added, 7 skipped.\n\nSkipped:\n"
            "2 not rectangular (round, elliptic, CD or continuous)\n"
            "1 with more than one layout\n"
            "1 outside 1 to 20 across and 1 to 30 down, or without a size\n"
            "2 with a size or count that could not be read\n"
            "1 larger than the sheet they print on (US letter, or A4 for \"A4 Sizes\")");
  // Read again: every format is there already.
  const TemplateImport again = importLabelTemplates(catalogue, file);
  EXPECT_EQ(again.added, 0);
  EXPECT_EQ(again.skipped[static_cast<size_t>(TemplateSkip::NameTaken)], 7);
}

// Three sheets as a label program's files give them: inches in fractions no stored unit
// holds, whole millimetres on A4, and labels taller than their pitch.
constexpr const char* kRealSheets = R"(<Glabels-templates>
  <Template brand="Avery" part="5160" size="US-Letter" _description="Address Labels">
    <Label-rectangle id="0" width="2.625in" height="1in" round="0.0625in">
      <Layout nx="3" ny="10" x0="0.15625in" y0="0.5in" dx="2.78125in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Template brand="Zweckform" part="3474" size="A4" _description="Address Labels">
    <Label-rectangle id="0" width="70mm" height="37mm" round="0mm">
      <Layout nx="3" ny="8" x0="0" y0="0" dx="70mm" dy="37mm"/>
    </Label-rectangle>
  </Template>
  <Template brand="Online Labels" part="OL250" size="US-Letter" _description="Media">
    <Label-rectangle id="0" width="4in" height="1.5in" round="0.0625in">
      <Layout nx="2" ny="6" x0="0.1725in" y0="1.015in" dx="4.155in" dy="1.495in"/>
    </Label-rectangle>
  </Template>
</Glabels-templates>)";

// Every label's text lands where the template puts the label, plus the inset: rounding
// each length on its own once made an A4 sheet's last row 0.6 mm low.
TEST(LabelTemplates, labelsLandWhereTheTemplateHasThem) {
  const TemplateFile file = parseLabelTemplates(kRealSheets);
  ASSERT_EQ(file.templates.size(), 3u);
  for (const LabelTemplate& t : file.templates) {
    SCOPED_TRACE(t.brand + " " + t.part);
    const TemplateFormat made = formatOfTemplate(t);
    ASSERT_TRUE(made.format);
    // Through the catalogue line and the stored choice, as printing gets it.
    const std::optional<LabelFormat> stored = parseLabelLine(labelLine(*made.format));
    ASSERT_EQ(stored, made.format);
    LabelPageSettings s;
    s.dimensions = parseLabelDimensions(formatLabelDimensions(dimensionsOf(*stored))).value();
    const TemplateLayout& l = t.layouts.front();
    const int labels = l.nx * l.ny;
    std::vector<AddressRecord> records(static_cast<size_t>(labels));
    for (int i = 0; i < labels; ++i)
      records[static_cast<size_t>(i)][FieldId::Last] = "L" + std::to_string(i);
    test::RecordingCanvas canvas(CanvasTarget::Printer);  // in hundredths of an inch
    drawLabelsPage(canvas, s, LabelGrid{}, PageBook(records, 0), 1, false);
    const std::vector<test::DrawCall> texts = canvas.callsOf(test::DrawCall::Kind::Text);
    ASSERT_EQ(texts.size(), static_cast<size_t>(labels));
    const double perUnitMm = 25.4 / unitsPerInch(stored->unit);
    const double pointMm = 25.4 / 72;
    for (int i = 0; i < labels; ++i) {
      const int c = i % l.nx;
      const int r = i / l.nx;
      const test::DrawCall& text = texts[static_cast<size_t>(i)];
      ASSERT_EQ(text.text, "L" + std::to_string(i));
      const PointF drawn = text.mapping.toDevice({double(text.at.x), double(text.at.y)});
      // Where the template has the label, and where its stored numbers have it.
      const double exactX = (l.x0 + c * l.dx) * pointMm;
      const double exactY = (l.y0 + r * l.dy) * pointMm;
      const double storedX = (stored->left + c * stored->horizontalPitch) * perUnitMm;
      const double storedY = (stored->top + r * stored->verticalPitch) * perUnitMm;
      const double insetX = s.margins.left * 25.4;
      const double insetY = s.margins.top * 25.4;
      EXPECT_NEAR(drawn.x * 0.254, exactX + insetX, 0.1 + std::abs(storedX - exactX)) << i;
      EXPECT_NEAR(drawn.y * 0.254, exactY + insetY, 0.1 + std::abs(storedY - exactY)) << i;
    }
    // No label reaches into the next: one taller than its pitch is cut to it.
    EXPECT_LE(stored->height, stored->verticalPitch);
  }
}

TEST(LabelTemplates, filesThatAreNoTemplateFilesAddNothing) {
  struct Row {
    const char* what;
    const char* xml;
    const char* error;
  };
  const Row rows[] = {
      {"empty", "", "it is not well-formed XML"},
      {"cut short", "<Glabels-templates><Template brand=\"A\" part=\"1\">",
       "it is not well-formed XML"},
      {"unclosed attribute",
       "<Glabels-templates><Template brand=\"A part=\"1\"/></Glabels-templates>",
       "it is not well-formed XML"},
      {"another root", "<html><body/></html>", "it is not a label template file (its first element is <html>)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LabelCatalogue catalogue({"Keep;Me 0, 667,254, 48,127, 699,254, 3,10"});
    const TemplateImport result = importLabelTemplates(catalogue, parseLabelTemplates(r.xml));
    EXPECT_EQ(result.error.rfind(r.error, 0), 0u) << result.error;
    EXPECT_EQ(result.added, 0);
    EXPECT_FALSE(catalogue.modified());
    EXPECT_EQ(templateImportSummary(result, "x.xml").rfind("x.xml could not be read as label templates: ", 0), 0u);
  }
  // A template after a break in the file is not half-taken either.
  const TemplateFile broken = parseLabelTemplates(
      std::string(kTemplates).substr(0, std::string(kTemplates).find("<Template brand=\"Acme\" part=\"R22\"")));
  EXPECT_NE(broken.error, "");
  EXPECT_TRUE(broken.templates.empty());
}

TEST(LabelTemplates, theFileImportWritesLabelsDatOnlyWhenSomethingWasAdded) {
  test::TestDir dir;
  const auto dat = dir / "labels.dat";
  const auto xml = dir / "t.xml";
  test::writeFile(dat, "Keep;Me 0, 667,254, 48,127, 699,254, 3,10\n");
  test::writeFile(xml, kTemplates);
  const TemplateImport first = importLabelTemplateFile(xml, dat);
  EXPECT_EQ(first.error, "");
  EXPECT_EQ(first.added, 7);
  const std::string written = test::readFile(dat);
  EXPECT_EQ(written.rfind("Acme;5160;Address;Labels 0, 263,100, 19,50, 275,100, 3,10 in\n", 0), 0u);
  EXPECT_NE(written.find("\nKeep;Me 0,"), std::string::npos);
  EXPECT_EQ(readLabelsDat(dat).size(), 8u);
  // Nothing new: the file stays byte for byte.
  EXPECT_EQ(importLabelTemplateFile(xml, dat).added, 0);
  EXPECT_EQ(test::readFile(dat), written);
  // A file that is not there.
  EXPECT_EQ(importLabelTemplateFile(dir / "missing.xml", dat).error, "the file cannot be read");
}

TEST(LabelTemplates, productsFollowThePaper) {
  EXPECT_EQ(productOfPaper("US-Letter"), 0);
  EXPECT_EQ(productOfPaper("A4"), 1);
  EXPECT_EQ(productOfPaper("US-Legal"), 2);
  EXPECT_EQ(productOfPaper("A5"), 2);
  EXPECT_EQ(productOfPaper("Other"), 2);
  EXPECT_EQ(productOfPaper(""), 2);
}

}  // namespace
}  // namespace mv
