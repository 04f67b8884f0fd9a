#include "exchange/ExportHtml.h"

#include "platform/Escape.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "store/AtomicFile.h"
#include "store/Book.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

namespace mv {
namespace {

constexpr const char* kPageHead =
    "<HTML>\n<HEAD>\n\t <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=iso-8859-1\">\n\t <META NAME=\"Author\" CONTENT=\"Mervane\">\n\t <META "
    "NAME=\"GENERATOR\" CONTENT=\"Mervane\">\n\t <TITLE>";
constexpr const char* kNamesHeadEnd =
    "Mervane Names</TITLE>\n</HEAD>\n<BODY BACKGROUND=\"wall.jpg\">\n<NOBR><FONT "
    "FACE=\"Verdana\"><FONT SIZE=-1><B>&nbsp;\n";
constexpr const char* kDataHeadEnd =
    "Mervane Data</TITLE>\n</HEAD>\n<BODY BACKGROUND=\"wall.jpg\">\n<NOBR><FONT "
    "FACE=\"Verdana\"><FONT SIZE=-1>\n";
constexpr const char* kGroupLine =
    "\t<BR><IMG SRC=\"group.gif\" HEIGHT=17 WIDTH=20 ALIGN=TEXTTOP>%s";
constexpr const char* kNameLine =
    "<BR>&nbsp;<A HREF=\"mv_data.htm#L%d\" target=\"bottom\"><IMG SRC=\"name.gif\" BORDER=0 "
    "HEIGHT=17 WIDTH=20 ALIGN=TEXTTOP></A><A HREF=\"mv_data.htm#L%d\" target=\"bottom\">  "
    "%s</A>\n";
constexpr const char* kGroupEnd = "<BR><B><FONT FACE=\"Verdana\">&nbsp;</FONT></B>";
constexpr const char* kNamesTail = "<P></NOBR></FONT></B>\n</BODY>\n</HTML>\n";
constexpr const char* kDataTail = "<P></NOBR></FONT>\n</BODY>\n</HTML>\n";
constexpr const char* kFrameset =
    "<html>\n<head>\n<title>Mervane - Data</title>\n</head>\n"
    "<frameset cols=\"40%,60%\" border=\"10\" pixels>\n<frame src=\"mv_names.htm\">\n"
    "<frame src=\"mv_data.htm\" name=\"bottom\">\n</frameset>\n</html>\n";

// A value as page text or attribute. The pages declare iso-8859-1, which does not hold
// every Windows-1252 character: a letter above 127 goes as its numeric reference.
std::string htmlText(std::string_view cp1252) { return xmlEscape(cp1252, HighBytes::Escaped); }

// The scheme of an address in lower case, read the way a browser reads it: blanks and
// control characters inside it are dropped ("java\tscript:"). Empty when there is none.
std::string schemeOf(std::string_view address) {
  std::string scheme;
  for (char c : address) {
    const unsigned char ch = static_cast<unsigned char>(c);
    if (c == ':') return scheme;
    if (ch <= ' ') continue;
    if (!(std::isalnum(ch) || c == '+' || c == '-' || c == '.')) return {};
    scheme += static_cast<char>(std::tolower(ch));
  }
  return {};
}

void entryBlock(std::string& out, const WebEntry& entry) {
  const AddressRecord& r = entry.record;
  const auto has = [&r](FieldId f) { return isPresent(r[f]); };
  const auto line = [&](const char* format, FieldId f) {
    if (has(f)) out += fillFormat(format, {htmlText(r[f])});
  };
  out += fillFormat("<A NAME=\"L%d\"></A>\n", {std::to_string(entry.anchor)});
  const std::string name =
      (has(FieldId::MrMs) ? r[FieldId::MrMs] + " " : std::string()) + r[FieldId::First] + " " +
      r[FieldId::Last];
  if (name.size() > 1) out += htmlText(name) + "<BR>\n";
  line("%s<BR>\n", FieldId::Title);
  line("<B>%s</B><BR>\n", FieldId::Company);
  line("%s<BR>\n", FieldId::Address1);
  line("%s<BR>\n", FieldId::Address2);
  if (has(FieldId::City) || has(FieldId::State) || has(FieldId::Zip))
    out += fillFormat("%s %s %s<BR>\n", {htmlText(r[FieldId::City]),
                                           htmlText(r[FieldId::State]),
                                           htmlText(r[FieldId::Zip])});
  line("Home:%s<BR>\n", FieldId::Home);
  line("Office:%s<BR>\n", FieldId::Office);
  line("Mobile:%s<BR>\n", FieldId::Mobile);
  line("Fax:%s<BR>\n", FieldId::Fax);
  for (FieldId f : {FieldId::Email, FieldId::Email2}) {
    if (!has(f)) continue;
    const std::string e = htmlText(r[f]);
    out += fillFormat("<A HREF=\"mailto:%s\">%s</A><BR>\n", {e, e});
  }
  for (FieldId f : {FieldId::WebSite, FieldId::Web2}) {
    if (!has(f)) continue;
    const std::string target = webLinkTarget(r[f]);
    if (target.empty()) {
      line("%s<BR>\n", f);  // shown, never followed
    } else {
      const std::string t = htmlText(target);
      out += fillFormat("<A HREF=\"%s\">%s</A><BR>\n", {t, t});
    }
  }
  out += "<HR NOSHADE WIDTH=\"100%\">\n";
}

}  // namespace

WebBook webBook(const Book& book) {
  WebBook out;
  std::map<int, size_t> bySlot;  // slot -> index under "Main"
  WebGroup main;
  main.name = std::string(NamesList::kMainName);
  book.forEachInListOrder([&](const ListedRecord& listed) {
    bySlot[listed.slot] = main.entries.size();
    main.entries.push_back({listed.position, std::string(listed.name), listed.read()});
  });
  const auto& groups = book.names().groups();
  if (!groups.empty()) main.name = groups.front().name;
  out.push_back(std::move(main));
  for (size_t g = 1; g < groups.size(); ++g) {
    WebGroup group;
    group.name = groups[g].name;
    for (const NameEntry& n : groups[g].names) {
      const auto found = bySlot.find(n.slot);
      if (found == bySlot.end()) continue;
      WebEntry entry = out.front().entries[found->second];
      entry.text = n.text;
      group.entries.push_back(std::move(entry));
    }
    out.push_back(std::move(group));
  }
  return out;
}

WebPages webPages(const WebBook& book) {
  WebPages pages;
  pages.frameset = kFrameset;
  pages.names = std::string(kPageHead) + kNamesHeadEnd;
  pages.data = std::string(kPageHead) + kDataHeadEnd;
  for (const WebGroup& group : book) {
    pages.names += fillFormat(kGroupLine, {htmlText(group.name)});
    for (const WebEntry& entry : group.entries) {
      const std::string anchor = std::to_string(entry.anchor);
      pages.names += fillFormat(kNameLine, {anchor, anchor, htmlText(entry.text)});
      entryBlock(pages.data, entry);
    }
    pages.names += kGroupEnd;
  }
  pages.names += kNamesTail;
  pages.data += kDataTail;
  return pages;
}

std::string webLinkTarget(std::string_view address) {
  const std::string scheme = schemeOf(address);
  if (scheme == "http" || scheme == "https" || scheme == "ftp") {
    // As typed, unless blanks inside the scheme would make the browser read it otherwise.
    if (startsWithIgnoreCase(address, scheme + ":")) return std::string(address);
    return "http://" + std::string(address);
  }
  if (scheme == "javascript" || scheme == "vbscript" || scheme == "data" || scheme == "file")
    return {};
  return "http://" + std::string(address);
}

std::string webFolderNote() {
  std::string note = "These files will be generated in the above directory :\n\n";
  for (const char* f : {kFramesetPage, kNamesPage, kDataPage}) note += std::string("- ") + f + "\n";
  for (const char* f : kWebPictures) note += std::string("- ") + f + "\n";
  note.pop_back();
  return note;
}

bool isBlankFolderName(std::string_view name) noexcept {
  return name.find_first_not_of(" \t") == std::string_view::npos;
}

bool prepareWebFolder(const std::filesystem::path& folder, std::string& reason) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return true;
  // create_directories says nothing when a file of that name is in the way.
  reason = ec ? ec.message() : std::strerror(ENOTDIR);
  return false;
}

std::vector<std::string> writeWebPages(const std::filesystem::path& folder,
                                       const WebPages& pages,
                                       const std::filesystem::path& pictureSource) {
  std::vector<std::string> failed;
  for (const char* picture : kWebPictures) {
    std::error_code ec;
    const std::filesystem::path target = folder / picture;
    if (std::filesystem::exists(target, ec)) continue;  // the user's own stays
    if (!copyFileAtomically(pictureSource / picture, target)) failed.emplace_back(picture);
  }
  const std::pair<const char*, const std::string*> files[] = {
      {kNamesPage, &pages.names}, {kDataPage, &pages.data}, {kFramesetPage, &pages.frameset}};
  for (const auto& [name, bytes] : files) {
    if (!writeFileAtomically(folder / name, *bytes)) failed.emplace_back(name);
  }
  return failed;
}

WebExport exportWebFolder(const std::filesystem::path& folder,
                          const std::function<WebBook()>& book,
                          const std::filesystem::path& pictureSource) {
  WebExport result;
  result.folder = folder;
  if (!prepareWebFolder(folder, result.reason)) {
    result.status = WebExport::Status::NoFolder;
    return result;
  }
  const WebBook web = book ? book() : WebBook{};
  result.entries = web.empty() ? 0 : web.front().entries.size();
  result.failed = writeWebPages(folder, webPages(web), pictureSource);
  if (!result.failed.empty()) {
    result.status = WebExport::Status::NotWritten;
    result.reason = lastFileError();
  }
  return result;
}

std::string webFailureText(const std::filesystem::path& folder,
                           const std::vector<std::string>& failed) {
  std::string text = pathText(folder);
  for (const std::string& f : failed) text += "\n" + f;
  if (!failed.empty()) text += "\n\n" + lastFileError();
  return text;
}

std::string webFolderFailureText(const WebExport& web) {
  return std::string(kCannotCreateDirectory) + "\n\n" + pathText(web.folder) + "\n" + web.reason;
}

}  // namespace mv
