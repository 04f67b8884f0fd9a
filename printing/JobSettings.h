#pragma once
// The settings a page job draws with, read from a settings file as the program reads them
// at start: the page font, colours and options of Customize, the heading and footnote,
// and the PageSetup section applied as if the Page Settings dialog had been confirmed
// with it. Used by the command-line tool; the window holds the same values in its state.

#include "platform/Prompter.h"
#include "printing/AddressPages.h"
#include "printing/EnvelopePages.h"
#include "printing/LabelPages.h"
#include "printing/PageGeometry.h"
#include "printing/PageSettings.h"

#include <filesystem>

namespace mv {

struct JobSettings {
  AddressPageSettings page;
  PageGeometry geometry;     // no page size (the page fills a Letter sheet) without a file
  PrinterPaper printer;      // Letter unless the page settings chose another sheet
  LabelPageSettings labels;  // the labels layout's format, with labels.dat beside the program
  EnvelopePageSettings envelope;   // the envelope layout's positions, formats and return address
  bool envelopeLandscape = false;  // PageSetup Envelope Landscape
};

// Without a file, the defaults. A page that fits no sheet keeps the defaults after the
// dialog's message; a stored paper number past the list uses the first paper, with a
// message. Nothing is written to the file.
JobSettings loadJobSettings(const std::filesystem::path& ini, int layout, Prompter& prompter);

// The message for a stored paper number that pagesize.dat does not have.
std::string missingPaperMessage(int comboIndex);

}  // namespace mv
