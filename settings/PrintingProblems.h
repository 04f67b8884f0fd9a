#pragma once
// The rules of the printing-problems dialog (Setup, Printing): printer reset, banding, simple
// label output, vertical adjustment of printed text and the top margin of the content.
// The widget reads its controls into PrintingProblemsInput and shows what the result says.

#include "platform/Prompter.h"
#include "settings/Customize.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

namespace printingProblems {
inline constexpr int kDialogResource = 112;
inline constexpr int kHelpContext = 90;
inline constexpr int kRestoreDcBox = 105;
inline constexpr int kNoBandingBox = 104;
inline constexpr int kSimpleOutputBox = 108;
inline constexpr int kVerticalAdjustEdit = 102;
inline constexpr int kTopMarginEdit = 103;
inline constexpr std::string_view kRestoreDcText = "Force printer restet";
inline constexpr std::string_view kNoBandingText = "No Banding";
inline constexpr std::string_view kSimpleOutputText =
    "Use simple output\nCheck this box only if labels are not being printed properly.";
inline constexpr std::string_view kNotAcceptedMessage = "Value is not accepted";
inline constexpr std::string_view kNotAcceptedCaption = kAppCaption;
inline constexpr int kMinVerticalAdjust = -5;
inline constexpr int kMaxVerticalAdjust = 5;
inline constexpr int kMinTopMargin = 10;
inline constexpr int kMaxTopMargin = 50;
inline constexpr size_t kEditTextLimit = 9;  // characters read from an edit box
}  // namespace printingProblems

// What the dialog shows when it opens.
struct PrintingProblemsInitial {
  bool restoreDc = true;        // box 105
  bool forceNoBanding = true;   // box 104
  bool labelUseTextOut = false; // box 108
  int verticalAdjust = 0;       // edit 102: TEXTOUT_YOFFSET within -5..5, else 0
  int topMargin = 50;           // edit 103: HEADING_Y1 within 10..50, else 50
};
PrintingProblemsInitial printingProblemsInitial(const CustomizeSettings& settings);

// The controls' state on OK.
struct PrintingProblemsInput {
  bool restoreDc = true;
  bool forceNoBanding = true;
  bool labelUseTextOut = false;
  std::string verticalAdjustText;  // edit 102 as typed
  std::string topMarginText;       // edit 103 as typed
};

enum class PrintingProblemsOutcome {
  Close,             // settings stored; close the dialog and select the layout again
  ValueNotAccepted,  // show message/caption with an OK button and keep the dialog open
};

struct PrintingProblemsResult {
  PrintingProblemsOutcome outcome = PrintingProblemsOutcome::Close;
  std::string message;  // "Value is not accepted" when not accepted
  std::string caption;  // "Mervane" when not accepted
};

// OK of the dialog: the three boxes are taken (Label_Use_TextOut is also written to
// Customize of ini at once); a vertical adjustment outside -5..5 is refused with a
// message; otherwise it is stored, and a top margin within 10..50 becomes HEADING_Y1
// (another value leaves HEADING_Y1 as it was, silently).
[[nodiscard]] PrintingProblemsResult applyPrintingProblems(CustomizeSettings& settings,
                                             const PrintingProblemsInput& input,
                                             const std::filesystem::path& ini);

}  // namespace mv
