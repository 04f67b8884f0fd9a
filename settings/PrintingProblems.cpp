#include "settings/PrintingProblems.h"

#include "settings/Keys.h"
#include "settings/Profile.h"

namespace mv {
namespace {

namespace pp = printingProblems;

int readEditInt(std::string_view text) {
  return Profile::leadingInt(text.substr(0, pp::kEditTextLimit));
}

bool within(int v, int low, int high) { return v >= low && v <= high; }

}  // namespace

PrintingProblemsInitial printingProblemsInitial(const CustomizeSettings& s) {
  PrintingProblemsInitial init;
  init.restoreDc = s.restoreDc;
  init.forceNoBanding = s.forceNoBanding;
  init.labelUseTextOut = s.labelUseTextOut;
  init.verticalAdjust =
      within(s.textoutYOffset, pp::kMinVerticalAdjust, pp::kMaxVerticalAdjust) ? s.textoutYOffset : 0;
  init.topMargin = within(s.headingY1, pp::kMinTopMargin, pp::kMaxTopMargin) ? s.headingY1 : 50;
  return init;
}

PrintingProblemsResult applyPrintingProblems(CustomizeSettings& s, const PrintingProblemsInput& in,
                                             const std::filesystem::path& ini) {
  s.restoreDc = in.restoreDc;
  s.forceNoBanding = in.forceNoBanding;
  s.labelUseTextOut = in.labelUseTextOut;
  // Not among the keys written back at exit, so it is stored now or never; a settings
  // file that cannot be written keeps the choice for this run only.
  (void)Profile(ini, std::string(keys::section::Customize))
      .writeInt(keys::customize::LabelUseTextOut, s.labelUseTextOut ? 1 : 0);

  const int offset = readEditInt(in.verticalAdjustText);
  if (!within(offset, pp::kMinVerticalAdjust, pp::kMaxVerticalAdjust))
    return {PrintingProblemsOutcome::ValueNotAccepted, std::string(pp::kNotAcceptedMessage),
            std::string(pp::kNotAcceptedCaption)};
  s.textoutYOffset = offset;

  const int top = readEditInt(in.topMarginText);
  if (within(top, pp::kMinTopMargin, pp::kMaxTopMargin)) s.headingY1 = top;
  return {};
}

}  // namespace mv
