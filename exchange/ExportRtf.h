#pragma once
// Cover letters as one RTF document: for every entry, the text before, its address block
// and the text after, each entry on its own stretch of paragraphs. The two texts are
// kept between sessions in two plain text files beside the program.

#include "store/AddressRecord.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

inline constexpr const char* kLetterBeforeFile = "mv_letter_before.txt";
inline constexpr const char* kLetterAfterFile = "mv_letter_after.txt";
// What the letter page shows when no text was saved yet.
inline constexpr const char* kLetterBeforeHint =
    "Type in the text that you wish to appear before each contact.\r\nExample: your address";
inline constexpr const char* kLetterAfterHint =
    "Type in the text that you wish to appear after each contact.\r\n\r\nExample:\r\nDear Sir "
    "or Madam,\r\n...\r\nBest Regards,\r\n...";
inline constexpr const char* kLetterSample =
    "This is the names in addressbook\nABC Corp. \n123 Avenue Road... ";

// The lines of a letter text file: split at line feeds (a carriage return before one is
// dropped); a last line without a line feed counts too.
std::vector<std::string> letterLines(std::string_view fileBytes);
// A letter file's bytes from the page's text: its lines joined by line feeds, with one
// more after the last line only when that line is not blank.
std::string letterFileBytes(std::string_view editText);
// The page's text from a letter file: every line followed by CR LF.
std::string letterEditText(std::string_view fileBytes);
// The page's text for one of the two files: the file's, or `hint` when it cannot be read.
std::string loadLetterText(const std::filesystem::path& file, std::string_view hint);

// The whole document for `records` with the two letter files' bytes (empty: no text).
std::string rtfLettersBytes(const std::vector<AddressRecord>& records,
                            std::string_view beforeFile, std::string_view afterFile);

// Saves the page's two texts as the letter files in `folder`; returns the names of the
// files that could not be written.
std::vector<std::string> saveLetterTexts(const std::filesystem::path& folder,
                                         std::string_view beforeText, std::string_view afterText);
// The document with the letter files kept in `folder` (a missing file gives no text).
std::string rtfLettersFromFolder(const std::vector<AddressRecord>& records,
                                 const std::filesystem::path& folder);

}  // namespace mv
