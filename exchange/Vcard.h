#pragma once
// vCard files (versions 2.1, 3.0 and 4.0) in and out of a book: a reader that turns a
// file of many cards into properties, the mapping of those properties onto the 28 record
// fields, and a writer of vCard 4.0.

#include "exchange/ImportBook.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mv {

class Prompter;
class FileChooser;

namespace vcard {

// One content line after unfolding and decoding. Names and parameter names are upper
// case; the value is Windows-1252 with its escapes still in place, because only the
// property knows whether ';' and ',' split it.
struct Property {
  std::string name;
  std::vector<std::pair<std::string, std::string>> params;  // a bare 2.1 type: {"TYPE", x}
  std::string value;
  int replaced = 0;  // characters of the value Windows-1252 cannot hold, now '?'
  std::string line;  // the content line as read (unfolded, UTF-8): kept as it was on an update

  // The TYPE values, lower case, lists split ("work,voice" is two).
  std::vector<std::string> types() const;
  bool hasType(std::string_view type) const;
  std::string param(std::string_view name) const;  // first value, as written
};

struct Card {
  std::vector<Property> properties;
  const Property* first(std::string_view name) const;
};

// Every card of a file. Lines end in CR LF, LF or CR; a line starting with a blank or a
// tab continues the one before. Departures for files that phones and mail programs
// really write: a QUOTED-PRINTABLE value (2.1) also continues over a line that ends in
// a soft break '=', a card left open at the end of the file still counts, and cards
// nested inside a card (2.1 AGENT) are skipped.
std::vector<Card> parseCards(std::string_view bytes);

// A text value's components: split at each ';' that is not escaped, each component
// unescaped (\n and \N a line break, \, \; \\ and \: the character).
std::vector<std::string> components(std::string_view value);
// The same at ',' (a list such as CATEGORIES).
std::vector<std::string> listItems(std::string_view value);
std::string unescape(std::string_view value);

// The record a card gives, as one line of import values in record field order (field 20
// is the notes). `leftOut` counts the values that have no field to go into. `filled`, when
// given, gets for each property the fields it went into (bit n: field n; bit 20: the notes).
std::vector<std::string> cardValues(const Card& card, int& leftOut,
                                    std::vector<std::uint32_t>* filled = nullptr);

// The record one card gives, cut and cleaned as the import makes its records; nullopt for
// a card with nothing to know it by, or a group card (a list of members).
std::optional<AddressRecord> cardRecord(const Card& card);

// One card of vCard 4.0 for a record, known by `uid`, UTF-8, CR LF, folded.
std::string exportCard(const AddressRecord& record, std::string_view uid);

// `old` with the record's values in place of the properties the mapping reads: a property
// whose fields the record leaves as the card gave them stays as it was written, one whose
// fields changed is written anew, and every property the mapping does not read (PHOTO,
// BDAY, a third e-mail, IMPP, X- properties, UID, the version) is kept in its order.
std::string updateCard(const Card& old, const AddressRecord& record);

// What an import of a .vcf file makes: the records as the CSV import makes them (the
// same cut, duplicate marks and limit of one import), the characters that became '?',
// the values that found no field and the cards left out for having nothing to be known
// by. A card without N, FN or ORG is named by its first e-mail address, else its first
// telephone number. A UTF-8 byte-order mark is skipped; UTF-16 with one is read.
imp::ImportedBook importCards(std::string_view bytes, const imp::ImportProgress& progress = {});

// One .vcf file of vCard 4.0 cards, UTF-8, CR LF, lines folded at 75 octets.
std::string exportCards(const std::vector<AddressRecord>& records);

// The whole import as the File menu runs it: the file read and its cards taken (a file
// without any is refused), the new book named as after the CSV import's Finish and
// written, then the summary told. The new book's path; nullopt when nothing could be
// imported or the user cancelled, and then nothing was written and nothing claimed.
std::optional<std::filesystem::path> importVcardFile(const std::filesystem::path& vcf,
                                                     Prompter& prompter, FileChooser& chooser,
                                                     const std::filesystem::path& openBook);

// "N cards had no name, company, e-mail address or telephone number and were left out."
std::string namelessNotice(int cards);

}  // namespace vcard
}  // namespace mv
