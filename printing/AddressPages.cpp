#include "printing/AddressPages.h"

#include "platform/Text.h"
#include "store/Book.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace mv {
namespace {

using F = FieldId;

constexpr int kEntryFontHeight = 14;
constexpr long kShrunkGap = 4;  // logical units left free after a shrunk text
constexpr int kIconFontHeight = 18;
constexpr int kTabFontHeight = 20;
constexpr int kTabHeight = 40;
constexpr Rgb kBlack{0, 0, 0};

// The letter of one character: its base letter A..Z, or -1.
int baseLetter(char c) noexcept {
  const char one[1] = {c};
  for (int letter = 0; letter < 26; ++letter) {
    const char plain[1] = {static_cast<char>('A' + letter)};
    if (compareNamesPrimary({one, 1}, {plain, 1}) == 0) return letter;
  }
  return -1;
}

const std::string& sortField(const AddressRecord& r, int cardSort) {
  if (cardSort == 1) return r[F::Last];
  if (cardSort == 2) return r[F::Company];
  return r[F::First];
}

// Fields joined for drawing: each non-empty one followed by a blank.
std::string joined(const AddressRecord& r, std::initializer_list<F> fields) {
  std::string out;
  for (F f : fields)
    if (!r[f].empty()) out += r[f] + ' ';
  return out;
}

Rgb tintOf(Rgb base) noexcept {
  return {std::min(255, base.r + 192), std::min(255, base.g + 192), std::min(255, base.b + 192)};
}

// A caption or a field: text at a place, kept within the right edge of its column.
struct Item {
  int x;
  int dy;
  int clipRight;
};

class PageDrawer {
 public:
  PageDrawer(Canvas& canvas, const AddressPageSettings& s)
      : c_(canvas),
        s_(s),
        layout_(normalizeLayoutCommand(s.layout)),
        lines_(linesPerEntry(layout_)),
        row_(lines_ * kLineHeight),
        top_(formTop(s.headingY1)),
        yOffset_(canvas.onPrinter() ? s.textoutYOffset : 0) {}

  void furniture(const PageCount& count, int page) {
    icons();
    rules();
    captions();
    if (s_.labelEachPage) indexTab(pageLetter(count, page));
  }

  void entry(const AddressRecord& r, int rowIndex) {
    const int y = top_ + rowIndex * row_;
    setFont(kEntryFontHeight);
    const int L = kPageLeft;
    const int P = kPhoneColumn;
    const int R = kPageRight;
    const std::string name = joined(r, {F::MrMs, F::First, F::Last, F::Title, F::Company});
    const std::string city = joined(r, {F::City, F::State, F::Country});
    switch (layout_) {
      case cmd::kLayout1Line:
        text(name, {L, y + 10, P});
        text(r[F::Home], {500, y + 10, R});
        break;
      case cmd::kLayout2Line:
        text(name, {L, y + 2, P});
        text(r[F::Address1], {L, y + 22, P});
        text(city, {L, y + 42, 340});
        text(r[F::Zip], {340, y + 42, P});
        text(r[F::Home], {494, y + 13, 590});
        text(r[F::Office], {590, y + 13, R});
        text(r[F::Mobile], {494, y + 42, 590});
        text(r[F::Fax], {590, y + 42, R});
        break;
      case cmd::kLayout3Line:
        text(name, {L, y + 10, P});
        text(r[F::Address1], {L, y + 39, P});
        text(city, {L, y + 68, 360});
        text(r[F::Zip], {360, y + 68, P});
        text(r[F::Home], {494, y + 13, 590});
        text(r[F::Office], {590, y + 13, R});
        text(r[F::Mobile], {494, y + 42, 590});
        text(r[F::Fax], {590, y + 42, R});
        text(r[F::Email], {494, y + 71, R});
        break;
      default: {  // 1077 and 1078 share the left column
        splitName(r, L, y + 10);
        setFont(kEntryFontHeight);
        text(r[F::Title], {L, y + 39, P});
        setFont(kEntryFontHeight, kBoldWeight);
        text(r[F::Company], {L, y + 68, P});
        setFont(kEntryFontHeight);
        text(r[F::Address1], {L, y + 97, P});
        text(city, {L, y + 126, 360});
        text(r[F::Zip], {360, y + 126, P});
        if (layout_ == cmd::kLayout5Line) {
          const F right[] = {F::Home, F::Office, F::Mobile, F::Fax, F::Email};
          for (int i = 0; i < 5; ++i) text(r[right[i]], {494, y + 13 + 29 * i, R});
        } else {
          setFont(13);
          const F right[] = {F::Home,  F::Office, F::Mobile, F::Fax,  F::Email,     F::WebSite,
                             F::Home2, F::Office2, F::Email2, F::Web2, F::NewsGroup, F::Other};
          for (int i = 0; i < 12; ++i) text(r[right[i]], {532, y + 2 + 13 * i, R});
        }
      }
    }
  }

 private:
  void setFont(int height, int weight = 0) {
    c_.setFont(Font{s_.fontFace, height, weight});
    metrics_ = c_.fontMetrics();
  }

  void text(const std::string& t, const Item& at) {
    if (t.empty() || at.x >= at.clipRight) return;
    const int y = at.dy + yOffset_;
    const long room = at.clipRight - at.x;
    // Most fields are short enough to fit whatever their letters: only measure the others.
    if (static_cast<long>(t.size()) * metrics_.maxCharWidth <= room) {
      c_.drawText({at.x, y}, t);
      return;
    }
    const TextSize size = c_.measureText(t);
    if (size.width <= room) {
      c_.drawText({at.x, y}, t);
    } else {
      // Too wide for its column: drawn smaller, down to 70% of its size and on the same
      // baseline, so that a telephone number or a name prints whole without running into
      // the next column; only what is wider still is cut off at the edge.
      const Font full = c_.font();
      // Shrunk text keeps a little space before the next column, so that two numbers
      // side by side still read as two.
      const long fit = std::max(1L, room - kShrunkGap);
      const int width = shrinkFontToWidth(c_, t, static_cast<int>(fit));
      const int top = y + metrics_.ascent - c_.fontMetrics().ascent;
      if (width <= fit)
        c_.drawText({at.x, top}, t);
      else
        c_.drawTextBox({at.x, top, at.clipRight, top + c_.measureText(t).height}, t,
                       HAlign::Left, TextFlow::SingleLine);
      c_.setFont(full);
    }
  }

  void icons() {
    c_.setFont(Font{"Wingdings", kIconFontHeight});
    c_.drawText({kPageLeft, top_ + yOffset_}, "*", {HAlign::Left, VAlign::Bottom});
    c_.drawText({kPhoneColumn, top_ + yOffset_}, "(", {HAlign::Left, VAlign::Bottom});
  }

  void line(int width, int x1, int y1, int x2, int y2) {
    c_.setPen(Pen{s_.baseColor, width});
    c_.drawLine({x1, y1}, {x2, y2});
  }

  void rules() {
    const int bottom = top_ + kFormLines * kLineHeight;
    const int ruleRight = layout_ == cmd::kLayoutDetailed ? kPhoneColumn : kPageRight;
    const int step = layout_ == cmd::kLayout2Line ? 2 : 1;
    for (int i = 0; i < kFormLines; i += step)
      line(1, kPageLeft, top_ + kLineHeight * i, ruleRight, top_ + kLineHeight * i);
    if (lines_ > 2)
      for (int i = 0; i <= kFormLines / lines_; ++i)
        line(2, kPageLeft, top_ + i * row_, kPageRight, top_ + i * row_);
    line(1, kPhoneColumn, top_, kPhoneColumn, bottom);
    line(2, kPageLeft, top_, kPageRight, top_);
    line(2, kPageLeft, bottom, kPageRight, bottom);
  }

  void captions() {
    struct Caption {
      const char* text;
      int x;
      int dy;
    };
    static const std::vector<Caption> two{
        {"Home", 492, 1}, {"Office", 590, 1}, {"Mobile", 492, 30}, {"Fax", 590, 30}};
    static const std::vector<Caption> three{{"Zip", 340, 62},   {"Home", 492, 1},
                                            {"Office", 590, 1}, {"Mobile", 492, 30},
                                            {"Fax", 590, 30}};
    static const std::vector<Caption> five{{"Home", 492, 1},    {"Office", 492, 30},
                                           {"Mobile", 492, 59}, {"Fax", 492, 88},
                                           {"EMail", 492, 117}, {"Zip", 340, 120}};
    static const std::vector<Caption> detailed{
        {"Home:", 493, 3},     {"Office:", 493, 16},   {"Mobile:", 493, 29}, {"Fax:", 493, 42},
        {"EMail:", 493, 55},   {"Web:", 493, 68},      {"Home2:", 493, 81},
        {"Office2:", 493, 94}, {"EMail2:", 493, 107},  {"Web2:", 493, 120},
        {"News:", 493, 133},   {"Other:", 493, 146},   {"Zip", 340, 120}};
    const std::vector<Caption>* list = nullptr;
    if (layout_ == cmd::kLayout2Line) list = &two;
    if (layout_ == cmd::kLayout3Line) list = &three;
    if (layout_ == cmd::kLayout5Line) list = &five;
    if (layout_ == cmd::kLayoutDetailed) list = &detailed;
    if (!list) return;
    setFont(layout_ == cmd::kLayoutDetailed ? 11 : 10);
    const int perPage = entriesPerPage(layout_, 0);
    for (int k = 0; k < perPage; ++k)
      for (const Caption& cap : *list)
        c_.drawText({cap.x, top_ + k * row_ + cap.dy + yOffset_}, cap.text);
  }

  void indexTab(int letter) {
    if (letter < 0 || letter > 25) return;
    setFont(kTabFontHeight);
    const int width = 2 * c_.measureText("A").width;
    // On paper the tabs step down the page's edge, one place per letter, so that they
    // can be cut out as thumb index; the screen shows each at the same place.
    const int x = c_.onPrinter() ? kPageRight + 10 : 12;
    const int y = c_.onPrinter() ? top_ + letter * kTabHeight * 3 / 4 : top_;
    c_.setPen(Pen::none());
    c_.setBrush(Brush::solid(s_.baseColor));
    c_.drawRect({x + 3, y + 3, x + 3 + width, y + 3 + kTabHeight});
    c_.setPen(Pen{s_.baseColor, 1});
    c_.setBrush(Brush::solid(tintOf(s_.baseColor)));
    c_.drawRect({x, y, x + width, y + kTabHeight});
    const char label[2] = {static_cast<char>('A' + letter), 0};
    c_.drawText({x + width / 2, y + width / 3 + yOffset_}, label, {HAlign::Center, VAlign::Top});
  }

  // Salutation, first and last name one after another, the sort name in bold.
  void splitName(const AddressRecord& r, int x, int y) {
    struct Part {
      F field;
      bool bold;
    };
    const Part parts[] = {{F::MrMs, false},
                          {F::First, s_.cardSort == 0},
                          {F::Last, s_.cardSort == 1}};
    for (const Part& p : parts) {
      const std::string& t = r[p.field];
      setFont(kEntryFontHeight, p.bold ? kBoldWeight : 0);
      text(t, {x, y, kPhoneColumn});
      // An absent part takes no room, so a record without a salutation starts with its
      // first name at the column's edge.
      if (isPresent(t)) x += c_.measureText(t + "h").width;
    }
  }

  Canvas& c_;
  const AddressPageSettings& s_;
  int layout_;
  int lines_;
  int row_;
  int top_;
  int yOffset_;
  FontMetrics metrics_;
};

}  // namespace

AddressPageSettings addressPageSettings(const CustomizeSettings& c, int layout) {
  AddressPageSettings s;
  s.layout = layout;
  s.headingY1 = c.headingY1;
  s.fontFace = c.font;
  s.baseColor = c.baseColor;
  s.cardSort = c.cardSort;
  s.labelEachPage = c.cardMaximizeAddress;
  s.textoutYOffset = c.textoutYOffset;
  return s;
}

int linesPerEntry(int layout) noexcept {
  constexpr int lines[] = {1, 2, 3, 5, 6};
  layout = normalizeLayoutCommand(layout);
  return isAddressBookLayout(layout) ? lines[layout - kFirstDrawnLayout] : 1;
}

int entryLetter(const AddressRecord& r, int cardSort) noexcept {
  for (const std::string* field : {&sortField(r, cardSort), &r[F::First], &r[F::Last],
                                   &r[F::Company]}) {
    if (field->empty()) continue;
    if (const int letter = baseLetter(field->front()); letter >= 0) return letter;
  }
  return 0;
}

ListedEntries readListedEntries(const Book& book) {
  ListedEntries out;
  out.records.reserve(book.names().mainNames().size());
  book.forEachInListOrder(
      [&out](const ListedRecord& rec) {
        // A record whose field lines stop short is half read: printing any of it could
        // put a wrong address on an envelope or label.
        if (rec.fieldCount < kFieldCount)
          out.unreadable.push_back(rec.position);
        else
          out.records.push_back(rec.read());
      },
      &out.unreadable);
  std::sort(out.unreadable.begin(), out.unreadable.end());
  return out;
}

std::string unreadableEntriesMessage(int count, int layout) {
  if (count <= 0) return {};
  const std::string n = std::to_string(count);
  if (normalizeLayoutCommand(layout) == kEnvelopeLayout)
    return count == 1 ? "1 entry could not be read: its envelope has no delivery address."
                      : n + " entries could not be read: their envelopes have no delivery address.";
  return count == 1 ? "1 entry could not be read and is left out."
                    : n + " entries could not be read and are left out.";
}

PageBook::PageBook(std::vector<AddressRecord> records, int cardSort, std::vector<int> unreadable)
    : records_(std::move(records)), unreadable_(std::move(unreadable)) {
  std::sort(unreadable_.begin(), unreadable_.end());
  for (size_t i = 0; i < records_.size(); ++i)
    byLetter_[static_cast<size_t>(entryLetter(records_[i], cardSort))].push_back(
        static_cast<int>(i));
}

EntryCounts PageBook::counts() const noexcept {
  EntryCounts c;
  c.total = static_cast<int>(records_.size());
  c.listed = c.total + static_cast<int>(unreadable_.size());
  c.unmarked = static_cast<int>(
      std::count_if(records_.begin(), records_.end(), [](const auto& r) { return r.mark != 1; }));
  for (size_t letter = 0; letter < byLetter_.size(); ++letter)
    c.perLetter[letter] = static_cast<int>(byLetter_[letter].size());
  return c;
}

const AddressRecord* PageBook::atListPosition(int position) const noexcept {
  if (position < 0) return nullptr;
  const auto before = std::lower_bound(unreadable_.begin(), unreadable_.end(), position);
  if (before != unreadable_.end() && *before == position) return nullptr;
  const size_t index = static_cast<size_t>(position - (before - unreadable_.begin()));
  return index < records_.size() ? &records_[index] : nullptr;
}

std::vector<int> PageBook::entriesOfPage(int layout, int page, bool labelEachPage,
                                         const PageCount& count) const {
  layout = normalizeLayoutCommand(layout);
  const int perPage = entriesPerPage(layout, 0);
  std::vector<int> out;
  if (page < 1) return out;
  if (!labelEachPage || !isAddressBookLayout(layout)) {
    const int total = static_cast<int>(records_.size());
    for (int i = (page - 1) * perPage; i < std::min(total, page * perPage); ++i) out.push_back(i);
    return out;
  }
  const int letter = pageLetter(count, page);
  if (letter < 0) return out;
  const auto& entries = byLetter_[static_cast<size_t>(letter)];
  const size_t from = static_cast<size_t>(page - count.firstPageOfLetter[letter]) * perPage;
  for (size_t i = from; i < std::min(entries.size(), from + perPage); ++i)
    out.push_back(entries[i]);
  return out;
}

int pageLetter(const PageCount& count, int page) noexcept {
  int found = -1;
  for (size_t i = 0; i < count.firstPageOfLetter.size(); ++i)
    if (count.firstPageOfLetter[i] >= 1 && count.firstPageOfLetter[i] <= page)
      found = static_cast<int>(i);
  return found;
}

Rect contentFrame(int layout, int headingY1) noexcept {
  layout = normalizeLayoutCommand(layout);
  if (layout == kLabelsLayout) return {0, 0, 765, 945 + headingY1};
  return {layout == kEnvelopeLayout ? 40 : kPageLeft, headingY1, kPageRight, 895 + headingY1};
}

int headingLineHeight(Canvas& canvas, const PageText& h) {
  if (!isPresent(h.text)) return 0;
  canvas.setFont(Font{h.face, h.height, h.weight, h.italic != 0, h.underline != 0,
                      h.strikeOut != 0});
  return std::abs(canvas.measureText("ABCjyqtl").height);
}

int headingRoom(Canvas& canvas, const PageText& heading, int layout) {
  const bool hasHeading = isAddressBookLayout(normalizeLayoutCommand(layout));
  return (hasHeading ? headingLineHeight(canvas, heading) : 0) + 10 + 5;
}

void drawHeading(Canvas& canvas, const PageText& h, const Rect& frame, int headingY1) {
  const int lineHeight = headingLineHeight(canvas, h);
  if (lineHeight == 0) return;
  TextAlign align{HAlign::Left, VAlign::Top};
  int x = frame.left;
  if (h.align == 1) {
    align.h = HAlign::Center;
    x = (frame.left + frame.right) / 2;
  } else if (h.align == 2) {
    align.h = HAlign::Right;
    x = frame.right;
  }
  canvas.setFont(Font{h.face, lineHeight + 10, h.weight, h.italic != 0, h.underline != 0,
                      h.strikeOut != 0});
  canvas.setTextColor(h.color);
  canvas.drawText({x, headingY1}, h.text, align);
  canvas.setTextColor(kBlack);
}

void drawFootnote(Canvas& canvas, const PageText& f, const Rect& frame) {
  canvas.setFont(Font{f.face, f.height, f.weight, f.italic != 0, f.underline != 0,
                      f.strikeOut != 0});
  canvas.setTextColor(f.color);
  const HAlign align = f.align == 1 ? HAlign::Center : (f.align == 2 ? HAlign::Right : HAlign::Left);
  canvas.drawTextBox({frame.left, frame.bottom, frame.right, frame.bottom + std::abs(f.height)},
                     f.text, align, TextFlow::WordBreak);
  canvas.setTextColor(kBlack);
}

void drawAddressPage(Canvas& canvas, const AddressPageSettings& settings, const PageBook& book,
                     const PageCount& count, int page) {
  if (!isAddressBookLayout(normalizeLayoutCommand(settings.layout))) return;
  canvas.save();
  canvas.setTextBackground(std::nullopt);
  canvas.setTextColor(kBlack);
  PageDrawer drawer(canvas, settings);
  drawer.furniture(count, page);
  if (!settings.hideAddresses) {
    const std::vector<int> entries =
        book.entriesOfPage(settings.layout, page, settings.labelEachPage, count);
    for (size_t k = 0; k < entries.size(); ++k)
      drawer.entry(book.records()[static_cast<size_t>(entries[k])], static_cast<int>(k));
  }
  canvas.restore();
}

}  // namespace mv
