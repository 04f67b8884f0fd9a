#pragma once
// Every settings file, section and key name of the program in one table, so that no
// module spells a key by hand. Sections and keys are matched without regard to case;
// these spellings are the ones written to new files.
//
// The eighteen address-field keys of sections AddressBook, Labels, Return Address,
// Delivery Address and the envelope sections ("Mr/Ms" ... "Fax") are addressFields below.

#include <array>
#include <string_view>

namespace mv::keys {

// Files.
namespace file {
inline constexpr std::string_view MervaneIni = "mervane.ini";  // program directory
inline constexpr std::string_view QuorvelIni = "quorvel.ini";  // Windows-directory stand-in
inline constexpr std::string_view WinIni = "win.ini";          // read only: default printer
inline constexpr std::string_view LangDat = "lang.dat";        // program directory
inline constexpr std::string_view SetupMvIni = "setupmv.ini";  // beside the installer
inline constexpr std::string_view PageSizeDat = "pagesize.dat";
inline constexpr std::string_view LabelsDat = "labels.dat";
}  // namespace file

// Section names. Envelope formats each have a section named after the format.
namespace section {
inline constexpr std::string_view Customize = "Customize";
inline constexpr std::string_view Heading = "Heading";
inline constexpr std::string_view Footnote = "Footnote";
inline constexpr std::string_view MRU = "MRU";
inline constexpr std::string_view Font = "Font";
inline constexpr std::string_view AddressBook = "AddressBook";
inline constexpr std::string_view Sync = "Sync";
inline constexpr std::string_view Labels = "Labels";
inline constexpr std::string_view ReturnAddress = "Return Address";
inline constexpr std::string_view DeliveryAddress = "Delivery Address";
inline constexpr std::string_view PageSetup = "PageSetup";
inline constexpr std::string_view PrinterCalibration = "Printer Calibration";  // printer name=x,y
inline constexpr std::string_view Helper = "Helper";
inline constexpr std::string_view Folders = "Folders";  // where each kind of file dialog opens
inline constexpr std::string_view Tolvex = "Tolvex";    // in quorvel.ini
inline constexpr std::string_view Windows = "windows";  // in win.ini
inline constexpr std::string_view Lang = "Lang";        // in lang.dat
}  // namespace section

// [Customize] of mervane.ini: read once at start, written once at exit.
namespace customize {
inline constexpr std::string_view LabelUseTextOut = "Label_Use_TextOut";
inline constexpr std::string_view HasWebBrowser = "HasWebBrowser";
inline constexpr std::string_view CardMaximizeAddress = "Card_Maximize_Address";
inline constexpr std::string_view HeadingY1 = "HEADING_Y1";
inline constexpr std::string_view ForceNoBanding = "FORCE_NOBANDING";
inline constexpr std::string_view RestoreDc = "RESTORE_DC";
inline constexpr std::string_view Lang = "Lang";
inline constexpr std::string_view Font = "Font";
inline constexpr std::string_view BaseColor = "BaseColor";
inline constexpr std::string_view CardSort = "Card_Sort";
inline constexpr std::string_view Format = "Format";
inline constexpr std::string_view Zoom = "Zoom";
inline constexpr std::string_view HookHttp = "HookHTTP";
inline constexpr std::string_view HookEMail = "HookEMail";
inline constexpr std::string_view HookNews = "HookNews";
inline constexpr std::string_view HookFtp = "HookFTP";
inline constexpr std::string_view HookRtf = "HookRTF";
inline constexpr std::string_view HookTxt = "HookTXT";
inline constexpr std::string_view TextoutYOffset = "TEXTOUT_YOFFSET";
inline constexpr std::string_view FrameSize = "FrameSize";
}  // namespace customize

// [Heading] and [Footnote].
namespace pageText {
inline constexpr std::string_view Align = "Align";
inline constexpr std::string_view Text = "Text";
inline constexpr std::string_view FontFace = "Font Face";
inline constexpr std::string_view FontAttrib = "Font Attrib";
inline constexpr std::string_view Color = "Color";
}  // namespace pageText

// [MRU]: Count, then "MRU0", "MRU1", ... newest first.
namespace mru {
inline constexpr std::string_view Count = "Count";
inline constexpr std::string_view EntryPrefix = "MRU";
inline constexpr std::string_view FreeEntry = "Default";  // what a missing entry reads as
}  // namespace mru

// [Font]: one key per label/envelope font; envelope formats use their own name as key.
namespace font {
inline constexpr std::string_view Labels = "Labels";
inline constexpr std::string_view ReturnAddress = "Return Address";
inline constexpr std::string_view DeliveryAddress = "Delivery Address";
}  // namespace font

// [Sync]: the CardDAV account of File > Synchronize (the password is in the desktop's
// secret store, never here).
namespace sync {
inline constexpr std::string_view Url = "Url";              // the server or the address book
inline constexpr std::string_view User = "User";
inline constexpr std::string_view AddressBook = "AddressBook";  // the address book chosen
inline constexpr std::string_view AllowHttp = "AllowHttp";  // 1: plain http:// to another host
}  // namespace sync

// [AddressBook].
namespace addressBook {
inline constexpr std::string_view SaveGroup = "SaveGroup";  // default "Main", 50
inline constexpr std::string_view Buffer = "Buffer";        // default 27
// The names list's width in pixels, as the user left the splitter; 0 or missing: the
// width of a typical entry.
inline constexpr std::string_view NamesWidth = "NamesWidth";
}  // namespace addressBook

// The keys of fields 1..18 (Mr/Ms .. Fax) in the sections that keep one value per address
// field: the return address in [AddressBook], the field-line options of labels and
// envelopes. Their order is the order they are written in.
inline constexpr std::array<std::string_view, 18> addressFields{{
    "Mr/Ms", "First Name", "Last Name", "Job Title", "Department", "Company",
    "Street Address Line 1", "Street Address Line 2", "City", "State", "Zip", "Country",
    "Home Phone", "Office Phone", "Mobile", "email", "Web Site", "Fax",
}};

// [Labels].
namespace labels {
inline constexpr std::string_view Total = "Total";  // default 30
inline constexpr std::string_view Type1 = "Type1";  // default 0
inline constexpr std::string_view Type2 = "Type2";  // default 0
inline constexpr std::string_view Id = "ID";        // default 3
inline constexpr std::string_view Settings = "Settings";
inline constexpr std::string_view SettingsDefault = "668,254,48,127,31,0,3,10";
inline constexpr std::string_view Margins = "Margins";
inline constexpr std::string_view MarginsDefault = "0.10,0.02,0.10,0.02";
inline constexpr std::string_view Align = "Align";  // default 0
inline constexpr std::string_view UseReturnAddress = "Use Return Address";  // default 0
}  // namespace labels

// [Return Address] and [Delivery Address].
namespace position {
inline constexpr std::string_view XY = "XY";
inline constexpr std::string_view ReturnXYDefault = "0.00, 0.00";
// One default for the "Settings" page and the drawing alike.
inline constexpr std::string_view DeliveryXYDefault = "3.50, 1.50";
inline constexpr std::string_view Align = "Align";  // default 0
}  // namespace position

// One section per envelope format.
namespace envelope {
inline constexpr std::string_view Align = "Align";  // default 0
inline constexpr std::string_view Margins = "Margins";
inline constexpr std::string_view MarginsDefault = "0.05,0.05,0.05,0.05";
}  // namespace envelope

// [PageSetup].
namespace pageSetup {
inline constexpr std::string_view Inch = "Inch";                              // 1
inline constexpr std::string_view EnvelopeLandscape = "Envelope Landscape";  // 0
inline constexpr std::string_view Print2On1Sheet = "print2on1sheet";         // 0
inline constexpr std::string_view ComboIndex = "ComboIndex";                 // 0
inline constexpr std::string_view PaperWidth = "PaperWidth";                 // 2159
inline constexpr std::string_view PaperHeight = "PaperHeight";               // 2794
inline constexpr std::string_view Left = "Left";                             // 0
inline constexpr std::string_view Top = "Top";                               // 0
inline constexpr std::string_view LeftMirror = "Left_Mirror";                // 0
inline constexpr std::string_view LayoutGap = "layoutGap";                   // 0
inline constexpr std::string_view Mirror = "Mirror";                         // 0
}  // namespace pageSetup

// The numbers drawing can take. Profile::readInt (matching sections and keys as it finds
// them) reads a stored value outside its key's
// range as the key's default, so that a hand-edited or damaged mervane.ini cannot push a
// page off any scale, in the window and mervane-cli alike; the numbers inside a value (a
// font's height and weight) are held to kFontHeightMost and kFontWeightMost where they
// are parsed. Lengths are those of their keys: tenths of a millimetre for the page,
// hundredths of an inch for the heading's place.
struct IntRange {
  std::string_view section;
  std::string_view key;
  int least;
  int most;
};
inline constexpr int kFontHeightMost = 1000;  // either sign: a cell or a character height
inline constexpr int kFontWeightMost = 1000;
inline constexpr int kPageLengthMost = 20000;  // 2 m: past any sheet a printer takes
inline constexpr std::array kIntRanges{
    IntRange{section::Customize, customize::HeadingY1, 0, 1000},
    IntRange{section::Customize, customize::TextoutYOffset, -100, 100},
    IntRange{section::PageSetup, pageSetup::PaperWidth, 1, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::PaperHeight, 1, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::Left, -kPageLengthMost, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::Top, -kPageLengthMost, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::LeftMirror, -kPageLengthMost, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::LayoutGap, -kPageLengthMost, kPageLengthMost},
    IntRange{section::PageSetup, pageSetup::ComboIndex, 0, 10000},
    IntRange{section::AddressBook, addressBook::NamesWidth, 0, 10000},
    IntRange{section::Labels, labels::Type1, 0, 2},
};

// [Helper]: the program each kind of hand-over uses.
namespace helper {
inline constexpr std::string_view EMail = "EMail";  // default: the probed web browser
inline constexpr std::string_view News = "News";
inline constexpr std::string_view Http = "HTTP";
inline constexpr std::string_view Ftp = "FTP";
inline constexpr std::string_view Rtf = "RTF";
inline constexpr std::string_view Txt = "TXT";
// Settings written on Windows name these programs for RTF and TXT; they can never run
// here, so they read as "no program named": the desktop's own word processor and text
// editor then open the document.
inline constexpr std::string_view WindowsRtfDefault =
    "c:\\Program Files\\Accessories\\wordpad.exe";
inline constexpr std::string_view WindowsTxtDefault = "c:\\windows\\notepad.exe";
}  // namespace helper

// [Folders]: the folder a file of each kind was last chosen in (path text, as the recent
// list keeps it); one that no longer exists is passed over.
namespace folders {
inline constexpr std::string_view Books = "Books";
inline constexpr std::string_view Csv = "Csv";
inline constexpr std::string_view Vcard = "vCard";
inline constexpr std::string_view Exports = "Exports";
inline constexpr std::string_view Pdf = "PDF";
inline constexpr std::string_view LabelTemplates = "Label Templates";
}  // namespace folders

// [Tolvex] of quorvel.ini: written at exit, never read here.
namespace tolvex {
inline constexpr std::string_view MvDir = "MVDIR";
}  // namespace tolvex

// [windows] of win.ini.
namespace windows {
inline constexpr std::string_view Device = "device";
}  // namespace windows

// lang.dat: [Lang] maps the Lang number to a language name; the language's own section
// holds month and weekday names and the words below, each under its own key.
namespace lang {
inline constexpr std::array<std::string_view, 12> Months = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
inline constexpr std::array<std::string_view, 7> Weekdays = {"Mon", "Tue", "Wed", "Thu",
                                                             "Fri", "Sat", "Sun"};
inline constexpr std::array<std::string_view, 22> Words = {
    "Notes",  "Contacts", "Week",     "Priorities", "Appointments", "Calls",
    "Home",   "Office",   "Mobile",   "Fax",        "EMail",        "Finances",
    "Detailer", "Weekly", "Monthly",  "Annual",     "Date",         "Category",
    "Detail", "Amount",   "Total",    "Summary"};
}  // namespace lang

}  // namespace mv::keys
