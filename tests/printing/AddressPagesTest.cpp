// The address-book pages on the recording canvas: where fields go, the furniture, the
// heading and footnote, the index tabs, and which entries land on which page.
#include "printing/AddressPages.h"
#include "printing/PageRenderer.h"

#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <map>

namespace mv {
namespace {

using test::DrawCall;
using test::RecordingCanvas;
using F = FieldId;

AddressRecord person(std::string first, std::string last, std::string company = {}) {
  AddressRecord r;
  r[F::First] = std::move(first);
  r[F::Last] = std::move(last);
  r[F::Company] = std::move(company);
  return r;
}

AddressRecord full() {
  AddressRecord r = person("Anna", "Berg", "Acme");
  r[F::MrMs] = "Ms";
  r[F::Title] = "CEO";
  r[F::Address1] = "1 Rue Neuve";
  r[F::City] = "Paris";
  r[F::Country] = "France";
  r[F::Zip] = "75001";
  r[F::Home] = "H-1";
  r[F::Office] = "O-2";
  r[F::Mobile] = "M-3";
  r[F::Fax] = "F-4";
  r[F::Email] = "anna@acme.fr";
  return r;
}

struct Page {
  AddressPageSettings settings;
  PageBook book;
  PageCount count;
  Page(int layout, std::vector<AddressRecord> records, bool labels = false) {
    settings.layout = layout;
    settings.labelEachPage = labels;
    book = PageBook(std::move(records), settings.cardSort);
    count = countPages(book.counts(), layout, labels, 0);
  }
  void draw(RecordingCanvas& canvas, int page) const {
    drawAddressPage(canvas, settings, book, count, page);
  }
};

Point at(const RecordingCanvas& canvas, std::string_view text) {
  const DrawCall* call = canvas.findText(text);
  if (!call) return {-1, -1};
  return call->kind == DrawCall::Kind::TextBox ? Point{call->rect.left, call->rect.top} : call->at;
}

TEST(AddressPages, threeLineLayoutPlacesEveryField) {
  Page page(1076, {person("Zed", "Zero"), full()});
  RecordingCanvas canvas;
  page.draw(canvas, 1);
  const int y = 60 + 87;  // the second row of a form starting at HEADING_Y1 + 20
  struct Row {
    const char* text;
    Point expected;
  };
  const Row rows[] = {
      {"Ms Anna Berg CEO Acme ", {50, y + 10}},  // the name line, each part and a blank
      {"1 Rue Neuve", {50, y + 39}},
      {"Paris France ", {50, y + 68}},            // the city line skips the empty state
      {"75001", {360, y + 68}},
      {"H-1", {494, y + 13}},
      {"O-2", {590, y + 13}},
      {"M-3", {494, y + 42}},
      {"F-4", {590, y + 42}},
      {"anna@acme.fr", {494, y + 71}},
      {"Zed Zero ", {50, 60 + 10}},
  };
  for (const Row& r : rows) EXPECT_EQ(at(canvas, r.text), r.expected) << r.text;
  const DrawCall* name = canvas.findText("Ms Anna Berg CEO Acme ");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->font, (Font{"Arial", 14, 0}));
  EXPECT_FALSE(name->textBackground.has_value());
  // Captions in every row of the page, "Zip" at 340.
  int zips = 0;
  for (const DrawCall& c : canvas.callsOf(DrawCall::Kind::Text)) zips += c.text == "Zip";
  EXPECT_EQ(zips, 10);
  EXPECT_EQ(at(canvas, "Zip"), (Point{340, 60 + 62}));
}

TEST(AddressPages, furnitureIconsRulesAndColours) {
  Page page(1077, {});
  page.settings.baseColor = {10, 20, 100};
  RecordingCanvas canvas;
  page.draw(canvas, 1);
  const DrawCall* envelope = canvas.findText("*");
  const DrawCall* phone = canvas.findText("(");
  ASSERT_TRUE(envelope && phone);
  EXPECT_EQ(envelope->at, (Point{50, 60}));
  EXPECT_EQ(phone->at, (Point{490, 60}));
  EXPECT_EQ(envelope->font.face, "Wingdings");
  EXPECT_EQ(envelope->align.v, VAlign::Bottom);
  // 30 thin rules, 7 separators of the 6 entries, the column rule, two frame rules.
  const auto lines = canvas.callsOf(DrawCall::Kind::Line);
  EXPECT_EQ(lines.size(), 30u + 7u + 1u + 2u);
  for (const DrawCall& l : lines) EXPECT_EQ(l.pen.color, (Rgb{10, 20, 100}));
  EXPECT_EQ(lines[30].at, (Point{50, 60}));  // the first separator, pen 2
  EXPECT_EQ(lines[30].pen.width, 2);
  EXPECT_EQ(lines[36].at, (Point{50, 60 + 6 * 145}));

  struct Row {
    int layout;
    size_t lines;
  };
  const Row rows[] = {{1074, 33}, {1075, 18}, {1076, 44}, {1078, 39}};
  for (const Row& r : rows) {
    Page other(r.layout, {});
    RecordingCanvas c;
    other.draw(c, 1);
    EXPECT_EQ(c.callsOf(DrawCall::Kind::Line).size(), r.lines) << r.layout;
  }
}

TEST(AddressPages, headingAndFootnote) {
  RecordingCanvas canvas;
  PageText heading = defaultPageText(PageTextKind::Heading);
  EXPECT_EQ(headingRoom(canvas, heading, 1076), 15);  // empty: still 15 units
  heading.text = " x";
  EXPECT_EQ(headingRoom(canvas, heading, 1076), 15);  // a leading blank counts as empty
  heading.text = "My Book";
  heading.color = {200, 0, 0};
  const int line = headingLineHeight(canvas, heading);
  EXPECT_GT(line, 10);
  EXPECT_EQ(headingRoom(canvas, heading, 1076), line + 15);
  EXPECT_EQ(headingRoom(canvas, heading, 1079), 15);  // envelopes carry no heading

  const Rect frame = contentFrame(1076, 40);
  EXPECT_EQ(frame, (Rect{50, 40, 710, 935}));
  drawHeading(canvas, heading, frame, 40);
  const DrawCall* h = canvas.findText("My Book");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->at, (Point{380, 40}));
  EXPECT_EQ(h->align, (TextAlign{HAlign::Center, VAlign::Top}));
  EXPECT_EQ(h->font.height, line + 10);
  EXPECT_EQ(h->textColor, (Rgb{200, 0, 0}));

  PageText footnote = defaultPageText(PageTextKind::Footnote);
  footnote.text = std::string(60, 'w') + " " + std::string(60, 'w');
  drawFootnote(canvas, footnote, frame);
  const DrawCall* f = canvas.findText(footnote.text);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->kind, DrawCall::Kind::TextBox);
  EXPECT_EQ(f->rect, (Rect{50, 935, 710, 950}));  // one 15-unit line under the frame
  EXPECT_EQ(f->flow, TextFlow::WordBreak);
  canvas.setFont(f->font);
  EXPECT_GT(canvas.measureTextBoxHeight(660, footnote.text, TextFlow::WordBreak), 15 + 5);
}

TEST(AddressPages, indexTabOnScreenAndOnPaper) {
  std::vector<AddressRecord> ms(10, person("Mia", "Moss"));
  Page page(1076, ms, true);
  page.settings.textoutYOffset = 7;
  page.settings.baseColor = {0, 100, 0};
  ASSERT_EQ(page.count.pages, 26);
  const int mPage = page.count.firstPageOfLetter['M' - 'A'];
  struct Row {
    CanvasTarget target;
    Rect tab;
    int nameY;
  };
  RecordingCanvas probe;
  probe.setFont(Font{"Arial", 20});
  const int w = 2 * probe.measureText("A").width;
  const Row rows[] = {
      {CanvasTarget::Screen, {12, 60, 12 + w, 100}, 70},
      // On paper M's tab is 12 places down the edge; printed text moves by the offset.
      {CanvasTarget::Printer, {720, 60 + 12 * 30, 720 + w, 60 + 12 * 30 + 40}, 77},
  };
  for (const Row& r : rows) {
    RecordingCanvas canvas(r.target);
    page.draw(canvas, mPage);
    const auto rects = canvas.callsOf(DrawCall::Kind::Rect);
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1].rect, r.tab);
    EXPECT_EQ(rects[1].brush.color, (Rgb{192, 255, 192}));  // the tint
    EXPECT_EQ(rects[0].rect.left, r.tab.left + 3);          // the shadow
    EXPECT_EQ(rects[0].brush.color, (Rgb{0, 100, 0}));
    const DrawCall* letter = canvas.findText("M");
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(letter->at.x, r.tab.left + w / 2);
    EXPECT_EQ(at(canvas, "Mia Moss "), (Point{50, r.nameY}));
  }
}

TEST(AddressPages, pageCountsAndEntryLetters) {
  auto many = [](int n, const char* first) {
    return std::vector<AddressRecord>(static_cast<size_t>(n), person(first, "X"));
  };
  struct Row {
    const char* what;
    std::vector<AddressRecord> records;
    int layout;
    bool labels;
    int pages;
  };
  const Row rows[] = {
      {"30 entries on the 1-line layout", many(30, "A"), 1074, false, 2},
      {"29 entries", many(29, "A"), 1074, false, 1},
      {"an empty book with labels", {}, 1076, true, 26},
      {"ten M entries with labels", many(10, "Mia"), 1076, true, 26},
      {"eleven M entries spill onto a second M page", many(11, "Mia"), 1076, true, 27},
      {"an empty book without labels", {}, 1078, false, 1},
  };
  for (const Row& r : rows) {
    const Page page(r.layout, r.records, r.labels);
    EXPECT_EQ(page.count.pages, r.pages) << r.what;
  }

  struct Letter {
    const char* what;
    AddressRecord record;
    int cardSort;
    char letter;
  };
  const Letter letters[] = {
      {"first name", person("Anna", "Berg"), 0, 'A'},
      {"last name", person("Anna", "Berg"), 1, 'B'},
      {"company", person("Anna", "Berg", "zeta"), 2, 'Z'},
      {"a digit first: the next name with a letter", person("3M", "Smith"), 0, 'S'},
      {"an accented letter under its base letter", person("\xC9mile", "Zola"), 0, 'E'},
      {"nothing to go by", person("123", "#", "-"), 0, 'A'},
      {"a letter of no alphabet position", person("\xDE" "or", ""), 0, 'A'},
  };
  for (const Letter& l : letters)
    EXPECT_EQ(entryLetter(l.record, l.cardSort), l.letter - 'A') << l.what;
}

TEST(AddressPages, everyEntryIsDrawnOnItsLettersPage) {
  // 3M files under S by its last name, Émile under E: each is drawn there and nowhere else.
  std::vector<AddressRecord> records{person("3M", "Smith"), person("Anna", "Berg"),
                                     person("\xC9mile", "Zola")};
  std::vector<AddressRecord> tenM(10, person("Mia", "Moss"));
  records.insert(records.end(), tenM.begin(), tenM.end());
  const Page page(1076, records, true);
  ASSERT_EQ(page.count.pages, 26);
  std::map<std::string, std::vector<int>> pagesOf;
  for (int p = 1; p <= page.count.pages; ++p) {
    RecordingCanvas canvas;
    page.draw(canvas, p);
    for (const DrawCall& c : canvas.callsOf(DrawCall::Kind::Text))
      if (c.font.height == 14) pagesOf[c.text].push_back(p);
  }
  EXPECT_EQ(pagesOf["3M Smith "], std::vector<int>{19});
  EXPECT_EQ(pagesOf["\xC9mile Zola "], std::vector<int>{5});
  EXPECT_EQ(pagesOf["Anna Berg "], std::vector<int>{1});
  EXPECT_EQ(pagesOf["Mia Moss "], std::vector<int>(10, 13));
}

TEST(AddressPages, blankBookSplitNameAndClipping) {
  Page page(1077, {full()});
  page.settings.hideAddresses = true;
  RecordingCanvas blank;
  page.draw(blank, 1);
  EXPECT_EQ(blank.findText("Anna"), nullptr);
  EXPECT_NE(blank.findText("EMail"), nullptr);
  EXPECT_EQ(blank.callsOf(DrawCall::Kind::Line).size(), 40u);

  page.settings.hideAddresses = false;
  page.settings.cardSort = 1;
  AddressRecord r = full();
  r[F::MrMs].clear();
  page.book = PageBook({r}, 1);
  RecordingCanvas canvas;
  page.draw(canvas, 1);
  const DrawCall* first = canvas.findText("Anna");
  const DrawCall* last = canvas.findText("Berg");
  ASSERT_TRUE(first && last);
  EXPECT_EQ(first->at, (Point{50, 70}));  // no salutation: the first name starts the column
  EXPECT_EQ(first->font.weight, 0);
  EXPECT_EQ(last->font.weight, kBoldWeight);  // sorted by last name
  canvas.setFont(first->font);
  EXPECT_EQ(last->at.x, 50 + canvas.measureText("Annah").width);
  EXPECT_EQ(canvas.findText("Acme")->font.weight, kBoldWeight);

  // A name too long for the address column is cut off at the telephone column.
  Page wide(1074, {person(std::string(80, 'W'), "")});
  RecordingCanvas clipped;
  wide.draw(clipped, 1);
  const DrawCall* name = clipped.findText(std::string(80, 'W') + " ");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->kind, DrawCall::Kind::TextBox);
  EXPECT_EQ(name->rect.right, kPhoneColumn);
}

TEST(AddressPages, longValuesPrintWholeInsideTheirColumn) {
  struct Row {
    const char* what;
    int layout;
    F field;
    std::string value;
    int columnRight;
  };
  const std::string phone = "+33 1 22 56 84 17";  // 17 characters, as France writes them
  const Row rows[] = {
      {"Home beside Office, 2 lines", 1075, F::Home, phone, 590},
      {"Office at the page edge, 2 lines", 1075, F::Office, phone, kPageRight},
      {"Home beside Office, 3 lines", 1076, F::Home, phone, 590},
      {"Mobile beside Fax, 3 lines", 1076, F::Mobile, phone, 590},
      {"a long e-mail, 3 lines", 1076, F::Email, "annabelle.bergstrom-lindqvist@example.se",
       kPageRight},
      {"a long company, 5 lines", 1077, F::Company, "Bergstrom Lindqvist Engineering AB",
       kPhoneColumn},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    AddressRecord entry = person("Anna", "Berg");
    entry[r.field] = r.value;
    entry[F::Office] = r.field == F::Office ? r.value : "(555) 123-4567";
    Page page(r.layout, {entry});
    RecordingCanvas canvas(CanvasTarget::Printer);
    page.draw(canvas, 1);
    const DrawCall* drawn = canvas.findText(r.value);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->kind, DrawCall::Kind::Text);  // whole, not cut at the edge
    canvas.setFont(drawn->font);
    EXPECT_LT(drawn->at.x + canvas.measureText(r.value).width, r.columnRight);
    EXPECT_GE(drawn->font.height, 10);  // never below 70% of the 14-unit entry font
  }
}

TEST(PageRenderer, twoOnOneDrawsOnlyPagesThatExist) {
  const std::vector<AddressRecord> records(45, person("Anna", "Berg"));
  PageBook book(records, 0);
  PageJob job;
  job.settings.layout = 1076;
  job.book = &book;
  job.count = countJobPages(job);
  ASSERT_EQ(job.count.pages, 5);
  job.geometry.sheetCode = 1;
  job.geometry.widthFraction = 1016.0 / 2159;
  job.geometry.lengthFraction = 1524.0 / 2794;
  job.geometry.twoOnOne = true;
  EXPECT_EQ(jobSheetCount(job), 3);
  EXPECT_TRUE(jobSheetLandscape(job));
  struct Row {
    int sheet;
    int pagesDrawn;
  };
  for (const Row r : {Row{1, 2}, Row{3, 1}}) {
    RecordingCanvas canvas(CanvasTarget::Printer);
    renderSheet(canvas, printerSheetMapping(true, {0, 0}, {995, 765}), job, r.sheet);
    int icons = 0;
    for (const DrawCall& c : canvas.callsOf(DrawCall::Kind::Text)) icons += c.text == "*";
    EXPECT_EQ(icons, r.pagesDrawn) << r.sheet;
  }
  // On the screen the sheet comes first: shadow strips, then the white sheet.
  job.geometry.twoOnOne = false;
  RecordingCanvas screen;
  renderSheet(screen, screenSheetMapping(false, 1.0), job, 1);
  const auto rects = screen.callsOf(DrawCall::Kind::Rect);
  ASSERT_GE(rects.size(), 3u);
  EXPECT_EQ(rects[2].rect, (Rect{0, 0, 765, 995}));
  EXPECT_EQ(rects[0].brush.color, (Rgb{96, 96, 96}));
}

TEST(PageRenderer, jobAndIndicatorFollowTheViewState) {
  const PageBook book(std::vector<AddressRecord>(45, person("Anna", "Berg")), 0);
  AppState state;
  state.layout = 1060;  // a catalogue number draws the 3-line layout
  state.page = 5;
  state.pageCount = 5;
  state.hideAddresses = true;
  const PageJob job = pageJobFor(state, AddressPageSettings{}, &book);
  EXPECT_EQ(job.settings.layout, 1076);
  EXPECT_TRUE(job.settings.hideAddresses);
  EXPECT_EQ(job.count.pages, 5);
  EXPECT_EQ(currentSheet(state), 5);
  EXPECT_EQ(pageIndicator(state), "Page 5 of 5");
  state.geometry.widthFraction = state.geometry.lengthFraction = 0.5;
  state.geometry.twoOnOne = true;
  EXPECT_EQ(currentSheet(state), 3);
  EXPECT_EQ(pageIndicator(state), "Page 5 of 5, sheet 3 of 3");
  state.layout = 1079;  // the envelope is never printed two on one
  EXPECT_EQ(pageIndicator(state), "Page 5 of 5");
}

}  // namespace
}  // namespace mv
