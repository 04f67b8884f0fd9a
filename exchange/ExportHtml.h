#pragma once
// The address book as three linked web pages: a frameset, the names (every group with its
// entries, each a link) and the data (one block per entry under an anchor). The pages are
// built as bytes from a snapshot of the names list; the folder, the pictures beside the
// pages and the writing are separate steps, each reporting what it could not do.

#include "store/AddressRecord.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

class Book;

// One name of the list with its record; `anchor` links the names page to the data page.
struct WebEntry {
  int anchor = 0;
  std::string text;  // the name as the list shows it
  AddressRecord record;
};
struct WebGroup {
  std::string name;
  std::vector<WebEntry> entries;
};
// "Main" with every entry, then each further group with its own entries.
using WebBook = std::vector<WebGroup>;

// The snapshot of the names list: anchors are the positions under "Main" (an entry of a
// group has the anchor of its twin under "Main"); names without a record are passed over.
WebBook webBook(const Book& book);

struct WebPages {
  std::string frameset;  // mervane.htm
  std::string names;     // mv_names.htm
  std::string data;      // mv_data.htm
};
WebPages webPages(const WebBook& book);

// Where a web address field links to: a http, https or ftp address as typed, any other
// "http://" and the address; empty for a javascript:, vbscript:, data: or file: address,
// which is written as text.
std::string webLinkTarget(std::string_view address);

inline constexpr const char* kWebFolderName = "web";
inline constexpr const char* kFramesetPage = "mervane.htm";
inline constexpr const char* kNamesPage = "mv_names.htm";
inline constexpr const char* kDataPage = "mv_data.htm";
inline constexpr std::array<const char*, 3> kWebPictures{"wall.jpg", "name.gif", "group.gif"};

// The directory page's note: the files an export really writes.
std::string webFolderNote();
inline constexpr const char* kTypeDirectoryName =
    "Please type in a directory name\n\nEnter just one word";
inline constexpr const char* kCannotCreateDirectory = "Can't create directory!!";
inline constexpr const char* kOpenLocalPageTitle = "Export is complete. Open Local Web Page?";

// A typed directory name that names nothing (empty or blanks).
bool isBlankFolderName(std::string_view name) noexcept;
// The folder exists or was made; false, with the system's reason, when it can be neither.
[[nodiscard]] bool prepareWebFolder(const std::filesystem::path& folder, std::string& reason);

// Copies the pictures from `pictureSource` into `folder`, keeping a copy that is already
// there (the user may have put their own), then writes the three pages, each atomically.
// Returns the file names that could not be copied or written (empty: all is there).
std::vector<std::string> writeWebPages(const std::filesystem::path& folder,
                                       const WebPages& pages,
                                       const std::filesystem::path& pictureSource);

// The whole web-page export into `folder`, as the window's command, the export wizard and
// mervane-cli make it: the folder made when missing, then the book (asked for only once
// the folder is there, so that a refused folder takes nothing from an open card), the
// pictures copied from `pictureSource` (beside the program) and the three pages written.
struct WebExport {
  enum class Status {
    Written,     // every file is there
    NoFolder,    // the folder can be neither found nor made; nothing was written
    NotWritten,  // the files in `failed` could not be copied or written
  };
  Status status = Status::Written;
  std::filesystem::path folder;
  std::vector<std::string> failed;
  std::string reason;  // why the folder could not be made, or the last file not written
  std::size_t entries = 0;  // what the pages list under "Main"
  // The page a browser opens: the frameset.
  std::filesystem::path page() const { return folder / kFramesetPage; }
};
WebExport exportWebFolder(const std::filesystem::path& folder,
                          const std::function<WebBook()>& book,
                          const std::filesystem::path& pictureSource);

// The failure message's text: the folder, then each file not written on a line, then
// why the last of them was not (the system's words).
std::string webFailureText(const std::filesystem::path& folder,
                           const std::vector<std::string>& failed);
// "Can't create directory!!", the folder and why it cannot be made.
std::string webFolderFailureText(const WebExport& web);

}  // namespace mv
