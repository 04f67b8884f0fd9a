// The envelope: where its two blocks stand (the "Settings" page's checks hold for the
// drawing too), what a page shows, how many pages a book gives, and the entries a
// damaged book cannot give, which labels and envelopes leave out without stopping.
#include "printing/EnvelopePages.h"
#include "printing/LabelPages.h"
#include "printing/PageRenderer.h"

#include "RecordingCanvas.h"
#include "store/data_TestBooks.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

using test::DrawCall;
using test::RecordingCanvas;

std::vector<std::string> drawnTexts(const RecordingCanvas& canvas) {
  std::vector<std::string> out;
  for (const DrawCall& c : canvas.calls())
    if (c.kind == DrawCall::Kind::Text || c.kind == DrawCall::Kind::TextBox) out.push_back(c.text);
  return out;
}

const DrawCall* textCall(const RecordingCanvas& canvas, std::string_view text) {
  return canvas.findText(text);
}

std::vector<AddressRecord> people(std::initializer_list<const char*> firsts) {
  std::vector<AddressRecord> out;
  for (const char* first : firsts) out.push_back(test::makeRecord(first, "Doe"));
  return out;
}

TEST(EnvelopePositions, storedPositionsAreHeldToThePagesRanges) {
  struct Row {
    const char* ini;
    EnvelopePositions expected;
  };
  const Row rows[] = {
      {"", {0, 0, 3.5, 1.5}},  // a missing delivery XY: one default, page and drawing alike
      {"[Return Address]\nXY=1.25, 0.5\n[Delivery Address]\nXY=4, 2\n", {1.25, 0.5, 4, 2}},
      {"[Delivery Address]\nXY=0.5, 0.5\n", {0, 0, 2, 3}},      // below the delivery range
      {"[Delivery Address]\nXY=6.5, 6\n", {0, 0, 2, 6}},        // the ends are inside
      {"[Return Address]\nXY=4.01, -1\n", {0, 0, 3.5, 1.5}},    // the return address: 0 .. 4
      {"[Delivery Address]\nXY=nan, 2.5\n", {0, 0, 2, 2.5}},
      {"[Delivery Address]\nXY=left, top\n", {0, 0, 3.5, 1.5}}, // no number: the default
  };
  for (const Row& r : rows) {
    test::TestDir dir;
    test::writeFile(dir / "mervane.ini", r.ini);
    EXPECT_EQ(readEnvelopePositions(dir / "mervane.ini"), r.expected) << r.ini;
  }
}

TEST(EnvelopePositions, typedBoxesAreCheckedAndWrittenAsShown) {
  struct Row {
    EnvelopeBox box;
    const char* typed;
    double value;
  };
  const Row rows[] = {
      {EnvelopeBox::DeliveryTop, "0.5", 3.0},  {EnvelopeBox::DeliveryTop, "1.5", 1.5},
      {EnvelopeBox::DeliveryLeft, "0.99", 2.0}, {EnvelopeBox::DeliveryLeft, "6", 6.0},
      {EnvelopeBox::ReturnLeft, "4.5", 0.0},    {EnvelopeBox::ReturnTop, "", 0.0},
      {EnvelopeBox::DeliveryTop, "x", 3.0},     {EnvelopeBox::ReturnTop, "3.99", 3.99},
  };
  for (const Row& r : rows) EXPECT_DOUBLE_EQ(envelopeBoxValue(r.box, r.typed), r.value) << r.typed;
  test::TestDir dir;
  ASSERT_TRUE(writeEnvelopePositions(dir / "mervane.ini", {0.5, 0.25, 3.5, 1.5}));
  const std::string ini = test::readFile(dir / "mervane.ini");
  EXPECT_NE(ini.find("XY=0.50, 0.25"), std::string::npos) << ini;
  EXPECT_NE(ini.find("XY=3.50, 1.50"), std::string::npos) << ini;
}

TEST(EnvelopePage, blocksStandAtTheirPositionsInTheirOwnFonts) {
  EnvelopePageSettings s;
  s.returnAddress[1] = "Me";  // First Name
  s.returnText.font.face = "Liberation Serif";
  s.deliveryText.font.face = "Liberation Sans";
  s.deliveryText.font.height = 20;
  const PageBook book(people({"Ann", "Bob"}), 0);
  struct Row {
    CanvasTarget target;
    EnvelopePositions positions;
    Point me;   // where the return address starts
    Point bob;  // and the delivery address of page 2
  };
  const Row rows[] = {
      {CanvasTarget::Printer, {0, 0, 3.5, 1.5}, {0, 0}, {350, 150}},
      {CanvasTarget::Screen, {0, 0, 3.5, 1.5}, {10, 10}, {350, 150}},  // moved on screen only
      {CanvasTarget::Printer, {1, 0.5, 4.25, 2}, {100, 50}, {425, 200}},
      // Stored out of range by hand: drawn where the "Settings" page shows it.
      {CanvasTarget::Printer, {5, 0, 0.5, 0.5}, {0, 0}, {200, 300}},
  };
  for (const Row& r : rows) {
    s.positions = r.positions;
    RecordingCanvas canvas(r.target);
    drawEnvelopePage(canvas, s, book, 2, false);
    const DrawCall* me = textCall(canvas, "Me");
    const DrawCall* bob = textCall(canvas, "Bob Doe");
    ASSERT_TRUE(me && bob);
    EXPECT_EQ(me->at, r.me);
    EXPECT_EQ(bob->at, r.bob);
    EXPECT_EQ(me->font.face, "Liberation Serif");
    EXPECT_EQ(bob->font.face, "Liberation Sans");
    EXPECT_EQ(bob->font.height, 20);
    EXPECT_EQ(textCall(canvas, "Ann Doe"), nullptr);  // one entry per page
  }
}

TEST(EnvelopePage, theReturnBlockShrinksToKeepEveryLineAndHiddenAddressesDrawNothing) {
  EnvelopePageSettings s;
  s.returnText.font.height = 40;  // lines 43 high: the fifth would end at 215, past the block
  const char* lines[] = {"Me", "Job", "Dept", "Firm", "Street", "Flat"};
  const int fields[] = {1, 3, 4, 5, 6, 7};  // First, Title, Dept, Company, two streets
  for (int i = 0; i < 6; ++i) s.returnAddress[static_cast<size_t>(fields[i])] = lines[i];
  const PageBook book(people({"Ann"}), 0);
  RecordingCanvas canvas(CanvasTarget::Printer);
  drawEnvelopePage(canvas, s, book, 1, false);
  // Drawn smaller, evenly, so that the streets are not lost: six lines in 200.
  EXPECT_EQ(drawnTexts(canvas),
            (std::vector<std::string>{"Me", "Job", "Dept", "Firm", "Street", "Flat", "Ann Doe"}));
  const DrawCall* flat = textCall(canvas, "Flat");
  ASSERT_NE(flat, nullptr);
  EXPECT_LE(6 * labelLineHeight(flat->font.height), 200);
  RecordingCanvas hidden(CanvasTarget::Printer);
  drawEnvelopePage(hidden, s, book, 1, true);  // "Don't show addresses"
  EXPECT_TRUE(hidden.calls().empty());
}

TEST(EnvelopePage, oneEnvelopePerEntryAndAnUnreadableEntryKeepsItsPage) {
  struct Row {
    int readable;
    std::vector<int> unreadable;
    int pages;
  };
  const Row rows[] = {{3, {}, 3}, {0, {}, 1}, {1, {}, 1}, {2, {1}, 3}, {0, {0, 1}, 2}};
  for (const Row& r : rows) {
    std::vector<AddressRecord> records;
    for (int i = 0; i < r.readable; ++i) records.push_back(test::makeRecord("P" + std::to_string(i), ""));
    const PageBook book(records, 0, r.unreadable);
    AppState state;
    state.layout = kEnvelopeLayout;
    EXPECT_EQ(pageJobFor(state, {}, &book).count.pages, r.pages) << r.readable;
  }
  // Positions 0 and 2 read, 1 not: page 2 has the return address and no delivery block.
  EnvelopePageSettings s;
  s.returnAddress[1] = "Me";
  const PageBook book(people({"Ann", "Cy"}), 0, {1});
  const std::vector<std::vector<std::string>> expected = {
      {"Me", "Ann Doe"}, {"Me"}, {"Me", "Cy Doe"}, {"Me"}};
  for (int page = 1; page <= 4; ++page) {
    RecordingCanvas canvas(CanvasTarget::Printer);
    drawEnvelopePage(canvas, s, book, page, false);
    EXPECT_EQ(drawnTexts(canvas), expected[static_cast<size_t>(page - 1)]) << page;
  }
}

TEST(EnvelopePage, previewStrokesFollowThePositionsAndFitTheArea) {
  const Rect area{0, 0, 340, 170};  // 40 pixels an inch
  const auto strokes = envelopePreviewStrokes(area, {1, 0.5, 3.5, 1.5});
  ASSERT_EQ(strokes.size(), 10u);
  EXPECT_EQ(strokes[0], (PreviewStroke{{45, 25}, {55, 25}, 1}));
  EXPECT_EQ(strokes[1].width, 2);
  EXPECT_EQ(strokes[4], (PreviewStroke{{142, 62}, {182, 62}, 1}));
  EXPECT_EQ(strokes[9].from.y, 62 + 40);
  // A delivery address too low for its six strokes shows the return address's only.
  EXPECT_EQ(envelopePreviewStrokes({0, 0, 340, 100}, {0, 0, 3.5, 1.5}).size(), 4u);
}

// A book whose working file lost a record (its offset points past the file's end): the
// entry is left out, said once, and the rest is printed.
TEST(UnreadableEntries, aDamagedBookIsPrintedWithoutTheEntriesItCannotRead) {
  test::TestDir dir;
  std::filesystem::create_directories(dir / "scratch");
  Book book(dir / "scratch");
  ASSERT_EQ(book.createNew(dir / "book.adr"), BookStatus::Ok);
  std::vector<int> added;
  for (const char* first : {"Ann", "Bob", "Cy", "Dee"})
    added.push_back(test::addRecord(book, test::makeRecord(first, "Doe")));
  book.workingFile().setOffset(added[1], book.workingFile().size() + 1000);
  const ListedEntries entries = readListedEntries(book);
  ASSERT_EQ(entries.records.size(), 3u);
  EXPECT_EQ(entries.unreadable, std::vector<int>{1});
  EXPECT_EQ(unreadableEntriesMessage(1, kLabelsLayout), "1 entry could not be read and is left out.");
  EXPECT_EQ(unreadableEntriesMessage(2, kDefaultLayout), "2 entries could not be read and are left out.");
  EXPECT_EQ(unreadableEntriesMessage(0, kDefaultLayout), "");
  EXPECT_NE(unreadableEntriesMessage(2, kEnvelopeLayout).find("envelopes"), std::string::npos);

  // Labels: the three readable entries, one after the other.
  const PageBook pages(entries.records, 0, entries.unreadable);
  RecordingCanvas labels(CanvasTarget::Printer);
  drawLabelsPage(labels, LabelPageSettings{}, LabelGrid{}, pages, 1, false);
  EXPECT_EQ(drawnTexts(labels), (std::vector<std::string>{"Ann Doe", "Cy Doe", "Dee Doe"}));
  // Envelopes: Bob's page stays, without his address.
  EnvelopePageSettings s;
  RecordingCanvas envelope(CanvasTarget::Printer);
  drawEnvelopePage(envelope, s, pages, 2, false);
  EXPECT_TRUE(drawnTexts(envelope).empty());
  RecordingCanvas third(CanvasTarget::Printer);
  drawEnvelopePage(third, s, pages, 3, false);
  EXPECT_EQ(drawnTexts(third), std::vector<std::string>{"Cy Doe"});
}

}  // namespace
}  // namespace mv
