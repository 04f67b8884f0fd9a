// The label text engine: which lines an address makes, where they stand and what stops
// them; and the labels page: the grid of labels in use, the page count, and what a sheet
// holds.
#include "printing/LabelPages.h"
#include "printing/MyAddress.h"
#include "printing/AddressPages.h"
#include "printing/PageRenderer.h"

#include "RecordingCanvas.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::DrawCall;
using test::RecordingCanvas;

LabelFields fields(std::initializer_list<std::pair<FieldId, std::string>> values) {
  LabelFields f{};
  for (const auto& [id, text] : values) f[static_cast<size_t>(toInt(id) - 1)] = text;
  return f;
}

std::vector<std::string> texts(const std::vector<LabelLine>& lines) {
  std::vector<std::string> out;
  for (const LabelLine& l : lines) out.push_back(l.text);
  return out;
}

FieldLineOptions printing(FieldId id, FieldLineOptions options = defaultFieldLineOptions()) {
  options[static_cast<size_t>(toInt(id) - 1)].print = 1;
  return options;
}

TEST(LabelText, addressesMakeTheirLines) {
  const FieldLineOptions defaults = defaultFieldLineOptions();
  struct Row {
    const char* what;
    LabelFields fields;
    FieldLineOptions options;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"the five-line address: no empty Mr/Ms line, no trailing comma after the zip",
       fields({{FieldId::First, "John"}, {FieldId::Last, "Smith"}, {FieldId::Company, "Acme"},
               {FieldId::Address1, "1 Main St"}, {FieldId::City, "Springfield"},
               {FieldId::State, "IL"}, {FieldId::Zip, "62701"}}),
       defaults,
       {"John Smith", "Acme", "1 Main St", "Springfield, IL", "62701"}},
      {"a one-letter first name is followed by a blank",
       fields({{FieldId::First, "J"}, {FieldId::Last, "Smith"}}), defaults, {"J Smith"}},
      {"a blank first name leaves no blank before the last",
       fields({{FieldId::First, " "}, {FieldId::Last, "Smith"}}), defaults, {"Smith"}},
      {"the zip line joins its country",
       fields({{FieldId::Zip, "EC1A 1BB"}, {FieldId::Country, "United Kingdom"}}), defaults,
       {"EC1A 1BB, United Kingdom"}},
      {"a home phone of three characters gets no prefix",
       fields({{FieldId::Last, "Smith"}, {FieldId::Home, "123"}}), printing(FieldId::Home),
       {"Smith", "123"}},
      {"longer phones get theirs",
       fields({{FieldId::Home, "555-1234"}, {FieldId::Office, "555-9"}, {FieldId::Mobile, "0170 1"},
               {FieldId::Fax, "5555"}}),
       printing(FieldId::Home, printing(FieldId::Office, printing(FieldId::Mobile,
                                                                  printing(FieldId::Fax)))),
       {"Tel: 555-1234", "Tel: 555-9", "Mobile: 0170 1", "Fax: 5555"}},
      {"fields not printed take no part", fields({{FieldId::Email, "a@b.c"}}), defaults, {}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(texts(layoutLabelText(r.fields, r.options, 12, {0, 0, 300, 1000})), r.lines)
        << r.what;
}

TEST(LabelText, linesStandOneLineHeightApartAndStopAtTheBottom) {
  const LabelFields six = fields({{FieldId::MrMs, "Dr"}, {FieldId::Title, "T"},
                                  {FieldId::Dept, "D"}, {FieldId::Company, "C"},
                                  {FieldId::Address1, "A1"}, {FieldId::Address2, "A2"}});
  // A 40-high font makes lines 43 high: four end within 200, the fifth would end at 215.
  const std::vector<LabelLine> lines =
      layoutLabelText(six, defaultFieldLineOptions(), 40, {0, 0, 300, 200});
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3].box, (Rect{0, 129, 300, 172}));
  // A negative (character) height counts the same.
  EXPECT_EQ(layoutLabelText(six, defaultFieldLineOptions(), -40, {0, 0, 300, 200}).size(), 4u);
  // Bold lasts from the company to the end of its line only.
  EXPECT_FALSE(lines[0].bold);
  EXPECT_TRUE(lines[3].bold);
  EXPECT_EQ(lines[1].box, (Rect{0, 43, 300, 86}));
}

TEST(LabelText, aLineTooLongForItsLabelIsCutAtTheBox) {
  RecordingCanvas canvas(CanvasTarget::Printer);
  drawLabelText(canvas, {0, 0, 40, 100}, fields({{FieldId::Company, "A very long company name"}}),
                LabelTextStyle{});
  const auto boxes = canvas.callsOf(DrawCall::Kind::TextBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].rect, (Rect{0, 0, 40, 15}));
  EXPECT_EQ(boxes[0].flow, TextFlow::SingleLine);
}

TEST(LabelText, boldCompanyIsDrawnBoldAndAligned) {
  RecordingCanvas canvas(CanvasTarget::Printer);
  LabelTextStyle style;
  style.align = HAlign::Center;
  style.font.face = "Liberation Serif";
  style.font.height = 12;
  style.font.color = {0, 0, 128};
  drawLabelText(canvas, {10, 10, 260, 98},
                fields({{FieldId::First, "Ann"}, {FieldId::Company, "Acme"}}), style);
  // Lines that fit are drawn at a point, without clipping.
  const auto boxes = canvas.callsOf(DrawCall::Kind::Text);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].font.weight, 400);
  EXPECT_EQ(boxes[1].text, "Acme");
  EXPECT_EQ(boxes[1].font.weight, 700);
  EXPECT_EQ(boxes[1].font.face, "Liberation Serif");
  EXPECT_EQ(boxes[1].at.y, 25);
  EXPECT_EQ(boxes[1].at.x, 10 + (250 - canvas.measureText("Acme").width) / 2);
  EXPECT_EQ(boxes[1].textColor, (Rgb{0, 0, 128}));
}

TEST(LabelText, fieldOptionsAndMarginsReadBackAsWritten) {
  test::TestDir dir;
  const auto ini = dir / "mervane.ini";
  FieldLineOptions options = defaultFieldLineOptions();
  EXPECT_EQ(formatFieldLineOption(options[5]), "1,1,0,1,0,0");  // Company
  options[0] = {0, 1, 1, 1, 7, 9};  // the spare numbers are kept
  ASSERT_TRUE(writeFieldLineOptions(ini, "Labels", options));
  EXPECT_EQ(readFieldLineOptions(ini, "Labels"), options);
  EXPECT_EQ(test::readFile(ini).find("Mr/Ms=0,1,1,1,7,9"), test::readFile(ini).find("Mr/Ms"));
  struct Row {
    const char* value;
    LabelMargins margins;
  };
  const Row rows[] = {
      {"0.10,0.02,0.10,0.02", {0.10, 0.02, 0.10, 0.02}},
      {"0.5,2,x,-1", {0.5, 0.02, 0.02, 0.02}},  // out of 0..1 or not a number
      {"0.3", {0.3, 0.02, 0.02, 0.02}},
  };
  for (const Row& r : rows) EXPECT_EQ(parseLabelMargins(r.value), r.margins) << r.value;
  EXPECT_EQ(formatLabelMargins({0.1, 0.025, 1, 0}), "0.10,0.03,1.00,0.00");
}

TEST(LabelGrid, holdsEveryPositionOfTheLargestSheet) {
  LabelGrid grid;
  EXPECT_EQ(grid.countInUse(20, 30), 600);
  EXPECT_EQ(grid.countInUse(25, 40), 600);  // nothing beyond the grid
  ASSERT_TRUE(markUnusedLabels("19,29;0,0; 5 , 27", grid));
  EXPECT_FALSE(grid.inUse(19, 29));
  EXPECT_FALSE(grid.inUse(5, 27));
  EXPECT_TRUE(grid.inUse(18, 29));
  EXPECT_EQ(grid.countInUse(20, 30), 597);
  const LabelGrid before = grid;
  for (const char* bad : {"20,0", "0,30", "1", "a,b", "1,2,3", "-1,0"}) {
    EXPECT_FALSE(markUnusedLabels(bad, grid)) << bad;
    EXPECT_EQ(grid, before) << bad;
  }
  grid.setAll(false);
  grid.set(10, 20, true);  // in use, but outside a 3 x 10 sheet
  grid.ensureOneInUse(3, 10);
  EXPECT_TRUE(grid.inUse(0, 0));
  EXPECT_EQ(grid.countInUse(3, 10), 1);
}

std::vector<AddressRecord> records(int n, int markedOne = 0) {
  std::vector<AddressRecord> out;
  for (int i = 0; i < n; ++i) {
    AddressRecord r;
    r[FieldId::Last] = "Entry" + std::to_string(i);
    r.mark = i < markedOne ? 1 : (i % 2 ? 3 : 0);  // 3 and 0 both get a label
    out.push_back(r);
  }
  return out;
}

std::vector<std::string> drawnTexts(const RecordingCanvas& canvas) {
  std::vector<std::string> out;
  for (const DrawCall& c : canvas.calls())
    if (c.kind == DrawCall::Kind::Text || c.kind == DrawCall::Kind::TextBox) out.push_back(c.text);
  return out;
}

TEST(LabelPages, checkedEntriesFillTheLabelsInUseRowByRow) {
  const PageBook book(records(35, 4), 0);  // 31 checked
  LabelPageSettings s;
  LabelGrid grid;
  for (int r = 0; r < 10; ++r) grid.set(1, r, false);  // the middle column is left out
  EXPECT_EQ(labelPageCount(book.counts().unmarked, grid.countInUse(3, 10)), 2);
  RecordingCanvas page1(CanvasTarget::Printer);
  drawLabelsPage(page1, s, grid, book, 1, false);
  const auto boxes = page1.callsOf(DrawCall::Kind::Text);
  ASSERT_EQ(boxes.size(), 20u);
  EXPECT_EQ(boxes[0].text, "Entry4");
  // Label (2, 0) follows (0, 0): 4.8 mm + 2 x 69.9 mm from the edge, and the 0.10 in
  // margin; on the sheet, in hundredths of an inch.
  const auto onSheet = [](const DrawCall& c) {
    return c.mapping.toDevice({double(c.at.x), double(c.at.y)});
  };
  EXPECT_NEAR(onSheet(boxes[1]).x, (48 + 2 * 699) / 2.54 + 10, 1e-9);
  EXPECT_NEAR(onSheet(boxes[1]).y, 127 / 2.54 + 10, 1e-9);
  EXPECT_NEAR(onSheet(boxes[2]).y, (127 + 254) / 2.54 + 10, 1e-9);
  EXPECT_TRUE(page1.callsOf(DrawCall::Kind::RoundedRect).empty());  // no outlines printed
  RecordingCanvas page2(CanvasTarget::Printer);
  drawLabelsPage(page2, s, grid, book, 2, false);
  EXPECT_EQ(drawnTexts(page2).size(), 11u);
  EXPECT_EQ(drawnTexts(page2).back(), "Entry34");
  RecordingCanvas screen;
  drawLabelsPage(screen, s, grid, book, 1, true);  // "Don't show addresses"
  EXPECT_TRUE(drawnTexts(screen).empty());
  EXPECT_EQ(screen.callsOf(DrawCall::Kind::RoundedRect).size(), 30u);  // every label's outline
}

TEST(LabelPages, returnAddressGoesOnEveryLabelInUse) {
  LabelPageSettings s;
  s.useReturnAddress = true;
  s.returnAddress = fields({{FieldId::First, "Me"}, {FieldId::City, "Home"}});
  RecordingCanvas canvas(CanvasTarget::Printer);
  drawLabelsPage(canvas, s, LabelGrid{}, PageBook(records(0), 0), 1, false);
  const auto texts = drawnTexts(canvas);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Me"), 30);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Home"), 30);
  // The page count still follows the checked entries: none gives one page.
  EXPECT_EQ(labelPageCount(0, 30), 1);
}

TEST(LabelPages, aJobCountsAndDrawsWithTheLabelsInUse) {
  AppState state;
  state.layout = kLabelsLayout;
  for (int c = 0; c < 3; ++c) state.labelGrid.set(c, 9, false);  // 27 in use
  const PageBook book(records(54), 0);
  PageJob job = pageJobFor(state, AddressPageSettings{}, &book);
  LabelPageSettings a4;
  a4.product = 1;
  useLabelSettings(job, a4);
  EXPECT_EQ(job.count.pages, 2);
  EXPECT_EQ(job.geometry.sheetCode, kA4Sheet.code);
  RecordingCanvas canvas(DeviceInfo{CanvasTarget::Printer, 4960, 7015, {600, 600}});
  renderSheet(canvas, printerSheetMapping(false, {0, 0}, {4960, 7015}), job, 2);
  const auto boxes = canvas.callsOf(DrawCall::Kind::Text);
  ASSERT_EQ(boxes.size(), 27u);
  EXPECT_EQ(boxes[0].text, "Entry27");
  EXPECT_EQ(boxes[0].mapping.scaleX(), 6.0);  // hundredths of an inch at 600 dpi
}

TEST(LabelPages, everyLineOfAnAddressPrintsOrTheLabelIsNamed) {
  AddressRecord entry;
  entry[FieldId::First] = "Anna";
  entry[FieldId::Last] = "Berg";
  entry[FieldId::Title] = "Head of Procurement";
  entry[FieldId::Company] = "Lindqvist Engineering AB";
  entry[FieldId::Address1] = "Storgatan 12";
  entry[FieldId::City] = "Lund";
  entry[FieldId::Zip] = "23507";
  entry[FieldId::Country] = "Sverige";
  struct Row {
    const char* what;
    int height;  // the label's, tenths of a millimetre
    bool everyLine;
  };
  const Row rows[] = {
      {"the default 2.625 x 1 in label: drawn smaller, the postcode and country too", 254, true},
      {"a label half as tall: what fits, and the entry is named", 127, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    LabelPageSettings s;
    s.dimensions.height = r.height;
    LabelGrid one;
    for (int row = 0; row < 10; ++row)
      for (int c = 0; c < 3; ++c) one.set(c, row, row == 0 && c == 0);
    const PageBook book({entry}, 0);
    RecordingCanvas canvas(CanvasTarget::Printer);
    drawLabelsPage(canvas, s, one, book, 1, false);
    const auto lines = drawnTexts(canvas);
    EXPECT_EQ(!lines.empty() && lines.back() == "23507, Sverige", r.everyLine);
    const Rect label = labelSpotsInUse(s, one).front().label;
    for (const DrawCall& c : canvas.callsOf(DrawCall::Kind::Text)) {
      EXPECT_LT(c.at.y, label.bottom) << c.text;  // nothing below the label
      EXPECT_GE(std::abs(c.font.height), kSmallestLabelFontHeight) << c.text;
    }
    const std::vector<std::string> lost = labelsThatDoNotFit(s, one, book, false);
    EXPECT_EQ(lost, r.everyLine ? std::vector<std::string>{} : std::vector<std::string>{"Anna Berg"});
    EXPECT_EQ(labelsNotFittingMessage(lost), r.everyLine ? "" : "labels that do not fit: 1 (Anna Berg)");
  }
}

TEST(MyAddress, untouchedLongValuesAreWrittenBackWhole) {
  test::TestDir dir;
  const auto ini = dir / "mervane.ini";
  test::writeFile(ini, "[AddressBook]\nCity=" + std::string(80, 'c') + "\nZip=123\n");
  const LabelFields stored = readMyAddress(ini);
  EXPECT_EQ(stored[8].size(), 80u);
  LabelFields boxes = myAddressForBoxes(stored);
  EXPECT_EQ(boxes[8].size(), 69u);
  boxes[10] = "456";
  ASSERT_TRUE(writeMyAddress(ini, myAddressToWrite(stored, boxes)));
  const LabelFields again = readMyAddress(ini);
  EXPECT_EQ(again[8], std::string(80, 'c'));
  EXPECT_EQ(again[10], "456");
  const std::string text = test::readFile(ini);
  EXPECT_LT(text.find("Mr/Ms="), text.find("First Name="));
  EXPECT_LT(text.find("Web Site="), text.find("Fax="));
}

}  // namespace
}  // namespace mv
