#pragma once
// The verbs of mervane-cli, one file each, as the verb table in cli/Cli.cpp lists them.
// A verb gets its whole command line (args[0] is its name; run() has checked that a book
// or file follows), writes what it found to `out` and each failure to `err` as one
// sentence, and returns the exit code. The usages that take more than one line stand
// here, where both the table and the verb that prints them on a bad option see them.

#include "cli/Common.h"

#include <ostream>

namespace mv::cli::verbs {

int check(const Args& args, std::ostream& out, std::ostream& err);
int list(const Args& args, std::ostream& out, std::ostream& err);
int dump(const Args& args, std::ostream& out, std::ostream& err);
int sort(const Args& args, std::ostream& out, std::ostream& err);
int rescan(const Args& args, std::ostream& out, std::ostream& err);
int convert(const Args& args, std::ostream& out, std::ostream& err);
int duplicates(const Args& args, std::ostream& out, std::ostream& err);
// The layouts print can draw: command, short name and what the layout is.
int layouts(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kImportUsage =
    "usage: mervane-cli import CSV BOOK [--match \"IMPORT NAME=Program name\"]... [--force] |\n"
    "       import FILE.vcf BOOK [--force]\n";
int importFile(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kSyncUsage =
    "usage: mervane-cli sync BOOK --url COLLECTION_URL [--user NAME] [--password-file FILE]"
    " [--allow-http]\n"
    "  the password is the first line of FILE, else MERVANE_SYNC_PASSWORD; plain http:// is\n"
    "  refused except to this machine unless --allow-http\n";
int sync(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kExportUsage =
    "usage: mervane-cli export BOOK --csv OUT [--fields 0,2,3,...] | export BOOK --text OUT |\n"
    "       export BOOK --vcard OUT | export BOOK --html DIR |\n"
    "       export BOOK --rtf OUT [--before FILE] [--after FILE]\n"
    "  --html writes the pages into DIR (made if missing) with the pictures beside the\n"
    "  program; --rtf takes the letter texts from FILE, or else from the texts kept beside\n"
    "  the program.\n";
int exportBook(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kPrintUsage =
    "usage: mervane-cli print BOOK --layout 1074..1080 (--pdf OUT | --printer QUEUE)"
    " [--pages A-B] [--mode default|double|even|odd] [--copies N] [--settings INI] [--blank]"
    " [--unused c,r;c,r...] [--paper NAME] [--landscape]\n"
    "  --pdf writes the pages to a PDF file; without it they go to the print queue QUEUE\n"
    "  (CUPS), double-sided as two jobs, the fronts and then the backs.\n"
    "  --paper (Qt's page-size names: Letter, A4, Comm10E, DLE, C5E ...) and --landscape\n"
    "  are for the envelope (1079), one page per entry; without them it is Letter in the\n"
    "  orientation Envelope Landscape of the settings file remembers.\n"
    "  --printer NAME moves printed labels and envelopes by that printer's calibration\n"
    "  (with --pdf it names the printer only for that).\n";
int print(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kLabelsImportUsage =
    "usage: mervane-cli labels-import FILE.xml [--labels PATH]\n";
int labelsImport(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kLabelsChooseUsage =
    "usage: mervane-cli labels-choose NAME [--labels PATH] [--settings INI]\n";
int labelsChoose(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kCalibrateUsage =
    "usage: mervane-cli calibrate --printer NAME --offset X,Y [--settings INI]\n"
    "  X and Y in hundredths of an inch, -100 to 100: X to the right, Y downwards.\n";
int calibrate(const Args& args, std::ostream& out, std::ostream& err);

inline constexpr const char* kCalibrationSheetUsage =
    "usage: mervane-cli calibration-sheet --pdf OUT [--printer NAME] [--settings INI]\n";
int calibrationSheet(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace mv::cli::verbs
