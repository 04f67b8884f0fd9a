#include "exchange/ImportBook.h"

#include "exchange/Csv.h"
#include "platform/Text.h"
#include "store/AdrFormat.h"

#include <map>
#include <unordered_set>

namespace mv::imp {
namespace {

// The headers other programs write for our fields. When a file has several of them for
// one field, the earlier row wins: business addresses before home addresses.
struct KnownHeader {
  std::string_view name;
  FieldId field;
};
constexpr KnownHeader kKnownHeaders[] = {
    {"Given Name", FieldId::First},
    {"First", FieldId::First},
    {"Forename", FieldId::First},
    {"Family Name", FieldId::Last},
    {"Surname", FieldId::Last},
    {"Last", FieldId::Last},
    {"Name Prefix", FieldId::MrMs},
    {"Prefix", FieldId::MrMs},
    {"Organization", FieldId::Company},
    {"Organisation", FieldId::Company},
    {"Organization 1 - Name", FieldId::Company},
    {"Company Name", FieldId::Company},
    {"Organization 1 - Title", FieldId::Title},
    {"Organization 1 - Department", FieldId::Dept},
    {"Business Street", FieldId::Address1},
    {"Work Address", FieldId::Address1},
    {"Home Street", FieldId::Address1},
    {"Home Address", FieldId::Address1},
    {"Street", FieldId::Address1},
    {"Street Address", FieldId::Address1},
    {"Address", FieldId::Address1},
    {"Business Street 2", FieldId::Address2},
    {"Work Address 2", FieldId::Address2},
    {"Home Street 2", FieldId::Address2},
    {"Home Address 2", FieldId::Address2},
    {"Business City", FieldId::City},
    {"Work City", FieldId::City},
    {"Home City", FieldId::City},
    {"Town", FieldId::City},
    {"Business State", FieldId::State},
    {"Work State", FieldId::State},
    {"Home State", FieldId::State},
    {"State/Province", FieldId::State},
    {"Province", FieldId::State},
    {"Region", FieldId::State},
    {"Business Postal Code", FieldId::Zip},
    {"Work ZipCode", FieldId::Zip},
    {"Home Postal Code", FieldId::Zip},
    {"Home ZipCode", FieldId::Zip},
    {"ZIP", FieldId::Zip},
    {"Zip Code", FieldId::Zip},
    {"Postcode", FieldId::Zip},
    {"Business Country/Region", FieldId::Country},
    {"Work Country", FieldId::Country},
    {"Home Country/Region", FieldId::Country},
    {"Home Country", FieldId::Country},
    {"Country/Region", FieldId::Country},
    {"Phone", FieldId::Home},
    {"Home Phone 2", FieldId::Home2},
    {"Work Phone", FieldId::Office},
    {"Office Phone", FieldId::Office},
    {"Business Phone 2", FieldId::Office2},
    {"Mobile Phone", FieldId::Mobile},
    {"Mobile Number", FieldId::Mobile},
    {"Cell Phone", FieldId::Mobile},
    {"Cellular Phone", FieldId::Mobile},
    {"E-mail", FieldId::Email},
    {"Email", FieldId::Email},
    {"Email Address", FieldId::Email},
    {"E-mail 1 - Value", FieldId::Email},
    {"Primary Email", FieldId::Email},
    {"E-mail 2 Address", FieldId::Email2},
    {"E-mail 2 - Value", FieldId::Email2},
    {"Secondary Email", FieldId::Email2},
    {"Web Page", FieldId::WebSite},
    {"Web Page 1", FieldId::WebSite},
    {"Website", FieldId::WebSite},
    {"Web Address", FieldId::WebSite},
    {"Personal Web Page", FieldId::WebSite},
    {"Website 1 - Value", FieldId::WebSite},
    {"Web Page 2", FieldId::Web2},
    {"Business Fax", FieldId::Fax},
    {"Fax Number", FieldId::Fax},
    {"Fax Phone", FieldId::Fax},
    {"Home Fax", FieldId::Fax},
    {"Description", FieldId::Describe},
    // Google Contacts (its numbered phones and addresses are read as groups) and
    // Thunderbird's English names not listed above.
    {"Organization Name", FieldId::Company},
    {"Organization Title", FieldId::Title},
    {"Organization Department", FieldId::Dept},
    {"Website 2 - Value", FieldId::Web2},
    {"Work Address2", FieldId::Address2},
    {"Home Address2", FieldId::Address2},
    {"Work Zip", FieldId::Zip},
    // German: Outlook and Windows Live Mail ("... geschäftlich", "... privat") and
    // Thunderbird ("Dienstlich: ...", "Privat: ...").
    {"Vorname", FieldId::First},
    {"Nachname", FieldId::Last},
    {"Anrede", FieldId::MrMs},
    {"Firma", FieldId::Company},
    {"Organisation", FieldId::Company},
    {"Position", FieldId::Title},
    {"Arbeitstitel", FieldId::Title},
    {"Abteilung", FieldId::Dept},
    {"Stra\xDF" "e gesch\xE4" "ftlich", FieldId::Address1},
    {"Dienstlich: Adresse", FieldId::Address1},
    {"Stra\xDF" "e privat", FieldId::Address1},
    {"Privat: Adresse", FieldId::Address1},
    {"Stra\xDF" "e gesch\xE4" "ftlich 2", FieldId::Address2},
    {"Dienstlich: Adresse 2", FieldId::Address2},
    {"Stra\xDF" "e privat 2", FieldId::Address2},
    {"Privat: Adresse 2", FieldId::Address2},
    {"Ort gesch\xE4" "ftlich", FieldId::City},
    {"Dienstlich: Ort", FieldId::City},
    {"Ort privat", FieldId::City},
    {"Privat: Ort", FieldId::City},
    {"Ort", FieldId::City},
    {"Region gesch\xE4" "ftlich", FieldId::State},
    {"Bundesland/Kanton gesch\xE4" "ftlich", FieldId::State},
    {"Bundesland gesch\xE4" "ftlich", FieldId::State},
    {"Dienstlich: Bundesland", FieldId::State},
    {"Bundesland/Kanton privat", FieldId::State},
    {"Bundesland privat", FieldId::State},
    {"Privat: Bundesland", FieldId::State},
    {"Bundesland", FieldId::State},
    {"Postleitzahl gesch\xE4" "ftlich", FieldId::Zip},
    {"Dienstlich: PLZ", FieldId::Zip},
    {"Postleitzahl privat", FieldId::Zip},
    {"Privat: PLZ", FieldId::Zip},
    {"Postleitzahl", FieldId::Zip},
    {"PLZ", FieldId::Zip},
    {"Land/Region gesch\xE4" "ftlich", FieldId::Country},
    {"Dienstlich: Land", FieldId::Country},
    {"Land/Region privat", FieldId::Country},
    {"Privat: Land", FieldId::Country},
    {"Land", FieldId::Country},
    {"Telefon privat", FieldId::Home},
    {"Tel. privat", FieldId::Home},
    {"Telefon privat 2", FieldId::Home2},
    {"Telefon gesch\xE4" "ftlich", FieldId::Office},
    {"Tel. dienstlich", FieldId::Office},
    {"Telefon gesch\xE4" "ftlich 2", FieldId::Office2},
    {"Mobiltelefon", FieldId::Mobile},
    {"Mobil-Tel.-Nr.", FieldId::Mobile},
    {"E-Mail-Adresse", FieldId::Email},
    {"Prim\xE4re E-Mail-Adresse", FieldId::Email},
    {"E-Mail 2: Adresse", FieldId::Email2},
    {"Sekund\xE4re E-Mail-Adresse", FieldId::Email2},
    {"Webseite", FieldId::WebSite},
    {"Webseite 1", FieldId::WebSite},
    {"Webseite gesch\xE4" "ftlich", FieldId::WebSite},
    {"Pers\xF6nliche Webseite", FieldId::WebSite},
    {"Webseite 2", FieldId::Web2},
    {"Fax gesch\xE4" "ftlich", FieldId::Fax},
    {"Fax-Nummer", FieldId::Fax},
    {"Fax privat", FieldId::Fax},
    // French: Outlook ("... (bureau)", "... (domicile)") and Thunderbird.
    {"Pr\xE9nom", FieldId::First},
    {"Nom", FieldId::Last},
    {"Nom de famille", FieldId::Last},
    {"Soci\xE9t\xE9", FieldId::Company},
    {"Service", FieldId::Dept},
    {"Fonction", FieldId::Title},
    {"Profession", FieldId::Title},
    {"Rue (bureau)", FieldId::Address1},
    {"Adresse professionnelle", FieldId::Address1},
    {"Rue (domicile)", FieldId::Address1},
    {"Adresse priv\xE9" "e", FieldId::Address1},
    {"Rue (bureau) 2", FieldId::Address2},
    {"Adresse professionnelle 2", FieldId::Address2},
    {"Rue (domicile) 2", FieldId::Address2},
    {"Adresse priv\xE9" "e 2", FieldId::Address2},
    {"Ville (bureau)", FieldId::City},
    {"Ville (domicile)", FieldId::City},
    {"Ville", FieldId::City},
    {"D\xE9p/R\xE9gion (bureau)", FieldId::State},
    {"D\xE9p/R\xE9gion (domicile)", FieldId::State},
    {"Code postal (bureau)", FieldId::Zip},
    {"Code postal (domicile)", FieldId::Zip},
    {"Code postal", FieldId::Zip},
    {"Pays/R\xE9gion (bureau)", FieldId::Country},
    {"Pays/R\xE9gion (domicile)", FieldId::Country},
    {"Pays/R\xE9gion", FieldId::Country},
    {"Pays", FieldId::Country},
    {"T\xE9l\xE9phone (bureau)", FieldId::Office},
    {"T\xE9l. professionnel", FieldId::Office},
    {"T\xE9l\xE9phone 2 (bureau)", FieldId::Office2},
    {"T\xE9l\xE9phone (domicile)", FieldId::Home},
    {"T\xE9l. personnel", FieldId::Home},
    {"T\xE9l\xE9phone 2 (domicile)", FieldId::Home2},
    {"T\xE9l. mobile", FieldId::Mobile},
    {"Portable", FieldId::Mobile},
    {"T\xE9l\xE9" "copie (bureau)", FieldId::Fax},
    {"T\xE9l\xE9" "copie (domicile)", FieldId::Fax},
    {"Adresse de messagerie", FieldId::Email},
    {"Adresse \xE9lectronique principale", FieldId::Email},
    {"Adresse de messagerie 2", FieldId::Email2},
    {"Adresse \xE9lectronique secondaire", FieldId::Email2},
    {"Page Web", FieldId::WebSite},
    {"Site web 1", FieldId::WebSite},
    {"Site web 2", FieldId::Web2},
    // Spanish: Outlook ("... del trabajo", "... del domicilio") and Thunderbird.
    {"Nombre", FieldId::First},
    {"Apellidos", FieldId::Last},
    {"Tratamiento", FieldId::MrMs},
    {"Organizaci\xF3n", FieldId::Company},
    {"Compa\xF1\xED" "a", FieldId::Company},
    {"Empresa", FieldId::Company},
    {"Departamento", FieldId::Dept},
    {"Puesto", FieldId::Title},
    {"Cargo", FieldId::Title},
    {"Calle del trabajo", FieldId::Address1},
    {"Direcci\xF3n de trabajo", FieldId::Address1},
    {"Calle del domicilio", FieldId::Address1},
    {"Direcci\xF3n particular", FieldId::Address1},
    {"Calle del trabajo 2", FieldId::Address2},
    {"Direcci\xF3n de trabajo 2", FieldId::Address2},
    {"Calle del domicilio 2", FieldId::Address2},
    {"Direcci\xF3n particular 2", FieldId::Address2},
    {"Ciudad de trabajo", FieldId::City},
    {"Ciudad del trabajo", FieldId::City},
    {"Ciudad del domicilio", FieldId::City},
    {"Ciudad", FieldId::City},
    {"Provincia o estado de trabajo", FieldId::State},
    {"Provincia o estado del domicilio", FieldId::State},
    {"C\xF3" "digo postal del trabajo", FieldId::Zip},
    {"C\xF3" "digo postal del domicilio", FieldId::Zip},
    {"C\xF3" "digo postal", FieldId::Zip},
    {"Pa\xEDs o regi\xF3n del trabajo", FieldId::Country},
    {"Pa\xEDs o regi\xF3n del domicilio", FieldId::Country},
    {"Pa\xEDs", FieldId::Country},
    {"Tel\xE9" "fono del trabajo", FieldId::Office},
    {"Tel\xE9" "fono del trabajo 2", FieldId::Office2},
    {"Tel\xE9" "fono particular", FieldId::Home},
    {"Tel\xE9" "fono particular 2", FieldId::Home2},
    {"Tel\xE9" "fono m\xF3vil", FieldId::Mobile},
    {"M\xF3vil", FieldId::Mobile},
    {"Fax del trabajo", FieldId::Fax},
    {"Fax particular", FieldId::Fax},
    {"Direcci\xF3n de correo electr\xF3nico", FieldId::Email},
    {"Correo electr\xF3nico", FieldId::Email},
    {"Direcci\xF3n de correo electr\xF3nico 2", FieldId::Email2},
    {"P\xE1gina web", FieldId::WebSite},
    // Italian: Outlook ("... (uff.)", "... (ab.)").
    {"Nome", FieldId::First},
    {"Cognome", FieldId::Last},
    {"Societ\xE0", FieldId::Company},
    {"Reparto", FieldId::Dept},
    {"Posizione", FieldId::Title},
    {"Via (uff.)", FieldId::Address1},
    {"Via (ab.)", FieldId::Address1},
    {"Via (uff.) 2", FieldId::Address2},
    {"Via (ab.) 2", FieldId::Address2},
    {"Citt\xE0 (uff.)", FieldId::City},
    {"Citt\xE0 (ab.)", FieldId::City},
    {"Citt\xE0", FieldId::City},
    {"Provincia (uff.)", FieldId::State},
    {"Provincia (ab.)", FieldId::State},
    {"Provincia", FieldId::State},
    {"CAP (uff.)", FieldId::Zip},
    {"CAP (ab.)", FieldId::Zip},
    {"CAP", FieldId::Zip},
    {"Paese/area geografica (uff.)", FieldId::Country},
    {"Paese/area geografica (ab.)", FieldId::Country},
    {"Paese", FieldId::Country},
    {"Ufficio", FieldId::Office},
    {"Telefono ufficio", FieldId::Office},
    {"Ufficio 2", FieldId::Office2},
    {"Abitazione", FieldId::Home},
    {"Telefono abitazione", FieldId::Home},
    {"Abitazione 2", FieldId::Home2},
    {"Cellulare", FieldId::Mobile},
    {"Fax (uff.)", FieldId::Fax},
    {"Fax (ab.)", FieldId::Fax},
    {"Indirizzo posta elettronica", FieldId::Email},
    {"Indirizzo posta elettronica 2", FieldId::Email2},
    {"Pagina Web", FieldId::WebSite},
    // Dutch: Outlook ("Werkadres, ...", "Huisadres, ...").
    {"Voornaam", FieldId::First},
    {"Achternaam", FieldId::Last},
    {"Aanhef", FieldId::MrMs},
    {"Bedrijf", FieldId::Company},
    {"Afdeling", FieldId::Dept},
    {"Functie", FieldId::Title},
    {"Werkadres, straat", FieldId::Address1},
    {"Huisadres, straat", FieldId::Address1},
    {"Werkadres, straat 2", FieldId::Address2},
    {"Huisadres, straat 2", FieldId::Address2},
    {"Werkadres, plaats", FieldId::City},
    {"Huisadres, plaats", FieldId::City},
    {"Plaats", FieldId::City},
    {"Werkadres, provincie", FieldId::State},
    {"Huisadres, provincie", FieldId::State},
    {"Provincie", FieldId::State},
    {"Werkadres, postcode", FieldId::Zip},
    {"Huisadres, postcode", FieldId::Zip},
    {"Werkadres, land/regio", FieldId::Country},
    {"Huisadres, land/regio", FieldId::Country},
    {"Telefoon op werk", FieldId::Office},
    {"Telefoon op werk 2", FieldId::Office2},
    {"Telefoon thuis", FieldId::Home},
    {"Telefoon thuis 2", FieldId::Home2},
    {"Mobiele telefoon", FieldId::Mobile},
    {"Fax op werk", FieldId::Fax},
    {"Fax thuis", FieldId::Fax},
    {"E-mailadres", FieldId::Email},
    {"E-mailadres 2", FieldId::Email2},
    {"Webpagina", FieldId::WebSite},
};

std::string_view trimBlanks(std::string_view s) noexcept {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A field value on one line: each line break (CR LF counting as one) and each record
// delimiter becomes a blank.
std::string fieldValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    out.push_back(c == '\r' || c == '\n' || adr::isControlByte(c) ? ' ' : c);
  }
  return out;
}

// Notes keep their line breaks the way the notes editor stores them, as CR LF.
std::string notesValue(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out.push_back(adr::isControlByte(c) ? ' ' : c);
    }
  }
  return out;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(lowerCp1252(static_cast<unsigned char>(c)));
  return out;
}

// Google's separator of several values in one cell.
constexpr std::string_view kMultiSeparator = " ::: ";

std::vector<std::string_view> splitMulti(std::string_view value) {
  std::vector<std::string_view> out;
  for (;;) {
    const std::size_t at = value.find(kMultiSeparator);
    out.push_back(trimBlanks(value.substr(0, at)));
    if (at == std::string_view::npos) return out;
    value.remove_prefix(at + kMultiSeparator.size());
  }
}

// The field that takes a second value of a field, kNoMatch when it has none.
int secondSlotOf(int field) noexcept {
  switch (static_cast<FieldId>(field)) {
    case FieldId::Home: return toInt(FieldId::Home2);
    case FieldId::Office: return toInt(FieldId::Office2);
    case FieldId::Email: return toInt(FieldId::Email2);
    case FieldId::WebSite: return toInt(FieldId::Web2);
    default: return kNoMatch;
  }
}

// The fields of a postal address, filled from one set of columns.
constexpr FieldId kAddressFields[] = {FieldId::Address1, FieldId::Address2, FieldId::City,
                                      FieldId::State,    FieldId::Zip,      FieldId::Country};
bool isAddressField(int field) noexcept {
  for (FieldId f : kAddressFields)
    if (toInt(f) == field) return true;
  return false;
}

// Fields whose cells may hold several values: telephones, e-mail and web addresses.
bool holdsSeveral(int field) noexcept {
  switch (static_cast<FieldId>(field)) {
    case FieldId::Home: case FieldId::Office: case FieldId::Mobile: case FieldId::Email:
    case FieldId::WebSite: case FieldId::Fax: case FieldId::Home2: case FieldId::Office2:
    case FieldId::Email2: case FieldId::Web2:
      return true;
    default:
      return false;
  }
}

// A type as Google writes it, "* Work" marking the primary one: lower case, no mark.
std::string typeWord(std::string_view type) {
  type = trimBlanks(type);
  if (type.starts_with('*')) type = trimBlanks(type.substr(1));
  return lowered(type);
}

// The fields a phone of this type goes to, in order of preference.
std::vector<FieldId> phoneSlots(std::string_view type) {
  const std::string t = typeWord(type);
  if (t.find("fax") != std::string::npos) return {FieldId::Fax};
  if (t.find("mobile") != std::string::npos || t == "cell") return {FieldId::Mobile};
  if (t == "home") return {FieldId::Home, FieldId::Home2};
  if (t == "work") return {FieldId::Office, FieldId::Office2};
  // Main, Other, Pager or a label of the user's own: wherever a telephone still fits.
  return {FieldId::Home, FieldId::Office, FieldId::Home2, FieldId::Office2};
}

}  // namespace

GroupColumn groupColumnNamed(std::string_view name) noexcept {
  name = trimBlanks(name);
  const std::size_t dash = name.find(" - ");
  if (dash == std::string_view::npos) return {};
  std::string_view head = name.substr(0, dash);
  const std::string_view part = trimBlanks(name.substr(dash + 3));
  const std::size_t blank = head.rfind(' ');
  if (blank == std::string_view::npos || blank + 1 >= head.size() || head.size() - blank > 4)
    return {};
  int number = 0;
  for (char c : head.substr(blank + 1)) {
    if (c < '0' || c > '9') return {};
    number = number * 10 + (c - '0');
  }
  head = head.substr(0, blank);
  const bool isType = equalsIgnoreCase(part, "Type") || equalsIgnoreCase(part, "Label");
  if (equalsIgnoreCase(head, "Phone")) {
    if (isType) return {GroupRole::PhoneType, number, kNoMatch};
    if (equalsIgnoreCase(part, "Value")) return {GroupRole::PhoneValue, number, kNoMatch};
    return {};
  }
  if (!equalsIgnoreCase(head, "Address")) return {};
  if (isType) return {GroupRole::AddressType, number, kNoMatch};
  if (equalsIgnoreCase(part, "PO Box")) return {GroupRole::AddressPoBox, number, kNoMatch};
  static constexpr std::pair<std::string_view, FieldId> kParts[] = {
      {"Street", FieldId::Address1},     {"Extended Address", FieldId::Address2},
      {"City", FieldId::City},           {"Region", FieldId::State},
      {"Postal Code", FieldId::Zip},     {"Country", FieldId::Country},
  };
  for (const auto& [partName, field] : kParts) {
    if (equalsIgnoreCase(part, partName)) return {GroupRole::AddressPart, number, toInt(field)};
  }
  return {};
}

std::string_view programFieldName(int index) noexcept {
  if (index < 0 || index >= kFieldCount) return {};
  return fieldTable()[static_cast<std::size_t>(index)].importName;
}

int programFieldNamed(std::string_view name) noexcept {
  name = trimBlanks(name);
  for (int p = 0; p < kFieldCount; ++p) {
    if (equalsIgnoreCase(name, programFieldName(p))) return p;
  }
  return kNoMatch;
}

int knownHeaderField(std::string_view name) noexcept {
  name = trimBlanks(name);
  for (const KnownHeader& known : kKnownHeaders) {
    if (equalsIgnoreCase(name, known.name)) return toInt(known.field);
  }
  return kNoMatch;
}

ImportFile parseImportFile(std::string_view bytes) {
  ImportFile file;
  if (!csv::looksLikeText(bytes)) {
    file.text = false;
    return file;
  }
  csv::DecodedText decoded = csv::decodeToCp1252(bytes);
  file.utf8 = decoded.utf8;
  file.replaced = decoded.replaced;
  file.separator = csv::detectSeparator(decoded.text);
  csv::Reader reader(decoded.text, file.separator);
  std::vector<std::string> values;
  if (!reader.next(values)) return file;
  for (std::string& name : values) {
    // A quote left in a name (text after a closing quote) is no part of it.
    std::erase(name, '"');
    name = fieldValue(name);
    if (name.size() > kMaxNameChars) name.resize(kMaxNameChars);
  }
  // A header of one empty value is an empty line: the file names no fields.
  if (!(values.size() == 1 && values[0].empty())) file.names = std::move(values);
  while (reader.next(values)) file.lines.push_back(values);
  file.unclosedQuoteLine = reader.unclosedQuoteLine();
  file.linesInUnclosedQuote = reader.linesInUnclosedQuote();
  return file;
}

FieldMatch::FieldMatch(int importCount)
    : programOf_(static_cast<std::size_t>(std::max(importCount, 0)), kNoMatch),
      groups_(programOf_.size()),
      fallbackOf_(programOf_.size(), kNoMatch),
      included_(programOf_.size(), false) {
  importOf_.fill(kNoMatch);
}

int FieldMatch::programOf(int importField) const noexcept {
  if (importField < 0 || importField >= importCount()) return kNoMatch;
  return programOf_[static_cast<std::size_t>(importField)];
}

int FieldMatch::importOf(int programField) const noexcept {
  if (programField < 0 || programField >= kFieldCount) return kNoMatch;
  return importOf_[static_cast<std::size_t>(programField)];
}

bool FieldMatch::included(int importField) const noexcept {
  if (importField < 0 || importField >= importCount()) return false;
  return included_[static_cast<std::size_t>(importField)];
}

const GroupColumn& FieldMatch::groupOf(int importField) const noexcept {
  static const GroupColumn kNone;
  if (importField < 0 || importField >= importCount()) return kNone;
  return groups_[static_cast<std::size_t>(importField)];
}

int FieldMatch::fallbackOf(int importField) const noexcept {
  if (importField < 0 || importField >= importCount()) return kNoMatch;
  return fallbackOf_[static_cast<std::size_t>(importField)];
}

bool FieldMatch::imports(int importField) const noexcept {
  return included(importField) &&
         (programOf(importField) != kNoMatch || fallbackOf(importField) != kNoMatch ||
          groupOf(importField).role != GroupRole::None);
}

void FieldMatch::autoMatch(const std::vector<std::string>& names) {
  *this = FieldMatch(static_cast<int>(names.size()));
  for (int i = 0; i < importCount(); ++i) {
    const int p = programFieldNamed(names[static_cast<std::size_t>(i)]);
    if (p != kNoMatch && p != kNotesField) match(i, p);
  }
  for (int i = 0; i < importCount(); ++i) {
    if (programOf(i) != kNoMatch) continue;
    const GroupColumn group = groupColumnNamed(names[static_cast<std::size_t>(i)]);
    if (group.role == GroupRole::None) continue;
    groups_[static_cast<std::size_t>(i)] = group;
    included_[static_cast<std::size_t>(i)] = true;
  }
  for (const KnownHeader& known : kKnownHeaders) {
    const int p = toInt(known.field);
    for (int i = 0; i < importCount(); ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (programOf(i) != kNoMatch || groups_[k].role != GroupRole::None ||
          fallbackOf_[k] != kNoMatch || !equalsIgnoreCase(trimBlanks(names[k]), known.name))
        continue;
      if (importOf(p) == kNoMatch) {
        match(i, p);
      } else {
        fallbackOf_[k] = p;
        included_[k] = true;
      }
    }
  }
}

std::vector<int> FieldMatch::holdersOf(int programField, int importField) const {
  std::vector<int> out;
  for (int i = 0; i < importCount(); ++i) {
    if (i != importField && programOf(i) == programField) out.push_back(i);
  }
  return out;
}

void FieldMatch::match(int importField, int programField) {
  if (importField < 0 || importField >= importCount()) return;
  if (programField < 0 || programField >= kFieldCount) return;
  unmatch(importField);
  for (int other : holdersOf(programField, importField)) unmatch(other);
  // Matched by hand, a group's or a second choice's column fills its one field like any
  // other.
  groups_[static_cast<std::size_t>(importField)] = {};
  fallbackOf_[static_cast<std::size_t>(importField)] = kNoMatch;
  programOf_[static_cast<std::size_t>(importField)] = programField;
  importOf_[static_cast<std::size_t>(programField)] = importField;
  included_[static_cast<std::size_t>(importField)] = true;
}

void FieldMatch::unmatch(int importField) {
  const int p = programOf(importField);
  if (p == kNoMatch) return;
  programOf_[static_cast<std::size_t>(importField)] = kNoMatch;
  if (importOf(p) == importField) importOf_[static_cast<std::size_t>(p)] = kNoMatch;
}

void FieldMatch::setIncluded(int importField, bool included) {
  if (importField < 0 || importField >= importCount()) return;
  included_[static_cast<std::size_t>(importField)] = included;
}

namespace {

// The columns of one numbered phone or address, found once per import.
struct PhoneGroup {
  int type = kNoMatch;
  int value = kNoMatch;
};
struct AddressGroup {
  int type = kNoMatch;
  std::vector<std::pair<int, int>> parts;  // column, program field
  int poBox = kNoMatch;
};

}  // namespace

ImportedBook importRecords(const ImportFile& file, const FieldMatch& match,
                           const ImportProgress& progress) {
  ImportedBook out;
  out.replaced = file.replaced;
  out.unclosedQuoteLine = file.unclosedQuoteLine;
  out.linesInUnclosedQuote = file.linesInUnclosedQuote;
  // The columns that fill a field: matched and checked.
  std::array<int, kFieldCount> column{};
  for (int p = 0; p < kFieldCount; ++p) {
    const int i = match.importOf(p);
    column[static_cast<std::size_t>(p)] = match.included(i) ? i : kNoMatch;
  }
  std::map<int, PhoneGroup> phones;       // by the group's number
  std::map<int, AddressGroup> addresses;
  std::vector<int> groupValueColumns;     // the columns whose values make a line usable
  std::array<std::vector<int>, kFieldCount> fallbacks;  // second choices, in column order
  for (int i = 0; i < match.importCount(); ++i) {
    if (!match.imports(i)) {
      // A column without a name (the empty one after a trailing separator) says nothing.
      if (static_cast<std::size_t>(i) < file.names.size() &&
          !trimBlanks(file.names[static_cast<std::size_t>(i)]).empty())
        out.columnsNotMatched.push_back(file.names[static_cast<std::size_t>(i)]);
      continue;
    }
    if (const int p = match.fallbackOf(i); p != kNoMatch && match.programOf(i) == kNoMatch) {
      fallbacks[static_cast<std::size_t>(p)].push_back(i);
      groupValueColumns.push_back(i);
      continue;
    }
    const GroupColumn& g = match.groupOf(i);
    switch (g.role) {
      case GroupRole::None: break;
      case GroupRole::PhoneType: phones[g.number].type = i; break;
      case GroupRole::PhoneValue: phones[g.number].value = i; break;
      case GroupRole::AddressType: addresses[g.number].type = i; break;
      case GroupRole::AddressPart: addresses[g.number].parts.emplace_back(i, g.field); break;
      case GroupRole::AddressPoBox: addresses[g.number].poBox = i; break;
    }
    if (g.role == GroupRole::PhoneValue || g.role == GroupRole::AddressPart ||
        g.role == GroupRole::AddressPoBox)
      groupValueColumns.push_back(i);
  }
  static const std::string kEmpty;
  std::unordered_set<std::string> seenKeys;
  for (const std::vector<std::string>& line : file.lines) {
    const auto cell = [&](int i) -> const std::string& {
      return i >= 0 && static_cast<std::size_t>(i) < line.size()
                 ? line[static_cast<std::size_t>(i)]
                 : kEmpty;
    };
    // Where each field's value comes from on this line: its column, or a second choice
    // where that is empty. An address comes whole from one set of columns, so a home city
    // never joins a business street.
    std::array<int, kFieldCount> source = column;
    int secondChoicesLeft = 0;  // second-choice values a first choice made unneeded
    {
      // The first choices that have a second one decide: a file with a business street
      // and city but only home postal codes still takes the home address whole.
      bool firstAddress = false;
      for (FieldId f : kAddressFields) {
        const auto k = static_cast<std::size_t>(toInt(f));
        firstAddress = firstAddress || (!fallbacks[k].empty() && isPresent(cell(column[k])));
      }
      for (int p = 0; p < kFieldCount; ++p) {
        const auto k = static_cast<std::size_t>(p);
        const bool address = isAddressField(p);
        bool take = address ? !firstAddress : !isPresent(cell(column[k]));
        for (int i : fallbacks[k]) {
          if (!isPresent(cell(i))) continue;
          if (take) {
            source[k] = i;
            take = false;
          } else {
            ++secondChoicesLeft;
          }
        }
      }
    }
    const auto valueOf = [&](int p) -> const std::string& {
      return cell(source[static_cast<std::size_t>(p)]);
    };
    bool usable = false;
    for (int p = 0; p < kFieldCount && !usable; ++p) usable = isPresent(valueOf(p));
    for (std::size_t k = 0; k < groupValueColumns.size() && !usable; ++k)
      usable = isPresent(cell(groupValueColumns[k]));
    if (!usable) continue;
    if (static_cast<int>(out.records.size()) >= kMaxImportRecords) {
      ++out.linesLeftOut;
      continue;
    }
    out.valuesLeftOut += secondChoicesLeft;
    AddressRecord record;
    record.slot = static_cast<int>(out.records.size());
    const auto fit = [&out](std::string value) {
      if (value.size() > kMaxFieldChars) {
        value.resize(kMaxFieldChars);
        ++out.valuesCut;
      }
      return value;
    };
    // Into a field still empty; a value with no room left is counted.
    const auto place = [&](std::initializer_list<FieldId> fields, std::string_view value) {
      for (FieldId f : fields) {
        if (!record[f].empty()) continue;
        record[f] = fit(std::string(value));
        return;
      }
      ++out.valuesLeftOut;
    };
    for (int p = 0; p < kFieldCount; ++p) {
      if (source[static_cast<std::size_t>(p)] == kNoMatch) continue;
      if (p == kNotesField) {
        record.notes = notesValue(valueOf(p));
        if (record.notes.size() > kMaxNotesChars) {
          record.notes.resize(kMaxNotesChars);
          ++out.valuesCut;
        }
        continue;
      }
      std::string value = fieldValue(valueOf(p));
      if (holdsSeveral(p) && value.find(kMultiSeparator) != std::string::npos) {
        std::vector<std::string> parts;
        for (std::string_view part : splitMulti(value))
          if (!part.empty()) parts.emplace_back(part);
        value = parts.empty() ? std::string() : parts[0];
        std::size_t kept = 1;
        const int second = secondSlotOf(p);
        if (second != kNoMatch && column[static_cast<std::size_t>(second)] == kNoMatch &&
            parts.size() > 1) {
          record.fields[static_cast<std::size_t>(second)] = fit(parts[1]);
          kept = 2;
        }
        if (parts.size() > kept) out.valuesLeftOut += static_cast<int>(parts.size() - kept);
      }
      record.fields[static_cast<std::size_t>(p)] = fit(std::move(value));
    }
    for (const auto& [number, phone] : phones) {
      const std::string value = fieldValue(cell(phone.value));
      const std::vector<FieldId> slots = phoneSlots(cell(phone.type));
      for (std::string_view part : splitMulti(value)) {
        if (part.empty()) continue;
        bool placed = false;
        for (FieldId f : slots) {
          if (!record[f].empty()) continue;
          record[f] = fit(std::string(part));
          placed = true;
          break;
        }
        if (!placed) ++out.valuesLeftOut;
      }
    }
    // One address per entry: the work address, else the first one given.
    const auto hasValue = [&](const AddressGroup& a) {
      if (isPresent(cell(a.poBox))) return true;
      for (const auto& [i, f] : a.parts)
        if (isPresent(cell(i))) return true;
      return false;
    };
    const AddressGroup* chosen = nullptr;
    for (const auto& [number, address] : addresses) {
      if (hasValue(address) && typeWord(cell(address.type)) == "work") {
        chosen = &address;
        break;
      }
    }
    for (const auto& [number, address] : addresses) {
      if (chosen) break;
      if (hasValue(address)) chosen = &address;
    }
    for (const auto& [number, address] : addresses) {
      if (&address == chosen) {
        for (const auto& [i, f] : address.parts) {
          if (isPresent(cell(i))) place({static_cast<FieldId>(f)}, fieldValue(cell(i)));
        }
        // A post-office box where the second street line is still free.
        if (isPresent(cell(address.poBox)))
          place({FieldId::Address2}, fieldValue(cell(address.poBox)));
        continue;
      }
      for (const auto& [i, f] : address.parts) out.valuesLeftOut += isPresent(cell(i)) ? 1 : 0;
      out.valuesLeftOut += isPresent(cell(address.poBox)) ? 1 : 0;
    }
    std::string key = record[FieldId::First] + ',' + record[FieldId::Last] + ',' +
                      record[FieldId::Company];
    const int number = static_cast<int>(out.records.size()) + 1;
    if (!seenKeys.insert(lowered(key)).second) {
      for (FieldId f : {FieldId::First, FieldId::Last, FieldId::Company}) {
        if (column[static_cast<std::size_t>(toInt(f))] == kNoMatch) continue;
        const std::string suffix = duplicateSuffix(number);
        std::string& value = record[f];
        // The mark always fits: the value gives way to it.
        if (value.size() + suffix.size() > kMaxFieldChars) {
          value.resize(kMaxFieldChars - suffix.size());
          ++out.valuesCut;
        }
        value += suffix;
        ++out.duplicates;
        break;
      }
    }
    record.initial = savedInitial(nameKey(record, 0));
    out.keys.push_back(std::move(key));
    out.records.push_back(std::move(record));
    if (progress && out.records.size() % 10 == 0) progress(static_cast<int>(out.records.size()));
  }
  return out;
}

std::string matchText(const FieldMatch& match, int importField) {
  const GroupColumn& g = match.groupOf(importField);
  switch (g.role) {
    case GroupRole::None:
      if (match.programOf(importField) == kNoMatch && match.fallbackOf(importField) != kNoMatch)
        return std::string(programFieldName(match.fallbackOf(importField))) + " (if empty)";
      return std::string(programFieldName(match.programOf(importField)));
    case GroupRole::PhoneType: return "the kind of phone " + std::to_string(g.number);
    case GroupRole::PhoneValue: return "a phone field by its kind";
    case GroupRole::AddressType: return "the kind of address " + std::to_string(g.number);
    case GroupRole::AddressPart:
      return std::string(programFieldName(g.field)) + " (the work address first)";
    case GroupRole::AddressPoBox:
      return std::string(programFieldName(toInt(FieldId::Address2))) + " (the work address first)";
  }
  return {};
}

std::optional<std::string> bookBytes(const std::vector<AddressRecord>& records) {
  if (records.size() > static_cast<std::size_t>(adr::kMaxSlots)) return std::nullopt;
  std::string out;
  out.reserve(64 + records.size() * 200);
  out += adr::kMagic;
  out += '\n';
  int slot = 0;
  for (const AddressRecord& record : records) {
    adr::appendRecord(out, record, slot++, record.initial, record.mark);
  }
  return out;
}

std::string joinedNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) {
    if (!out.empty()) out += ", ";
    out += name;
  }
  return out;
}

std::string importNotice(const ImportedBook& result, const char* lineOne,
                         const char* lineMany) {
  const auto counted = [](int n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
  };
  std::string out;
  if (result.replaced > 0) {
    out += fillFormat("%s no place in this program's character set: each became \"?\".\n",
                      {counted(result.replaced, "character of the file has",
                               "characters of the file have")});
  }
  if (result.valuesCut > 0) {
    out += fillFormat("%s longer than a field holds, cut to fit.\n",
                      {counted(result.valuesCut, "value was", "values were")});
  }
  if (result.valuesLeftOut > 0) {
    out += fillFormat("%s no field to go into and left out.\n",
                      {counted(result.valuesLeftOut, "value had", "values had")});
  }
  if (result.linesLeftOut > 0) {
    out += fillFormat("One import takes at most %d entries: the last %s left out.\n",
                      {std::to_string(kMaxImportRecords),
                       counted(result.linesLeftOut, lineOne, lineMany)});
  }
  if (result.unclosedQuoteLine > 0) {
    const std::string line = std::to_string(result.unclosedQuoteLine);
    out += result.linesInUnclosedQuote == 0
               ? fillFormat("A quote opened in line %s is never closed.\n", {line})
               : fillFormat("A quote opened in line %s is never closed: the %s after it went "
                            "into that one value and %s no entries.\n",
                            {line, counted(result.linesInUnclosedQuote, "line", "lines"),
                             result.linesInUnclosedQuote == 1 ? "makes" : "make"});
  }
  if (!result.columnsNotMatched.empty()) {
    out += "Columns not matched, left out: " + joinedNames(result.columnsNotMatched) + ".\n";
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace mv::imp
