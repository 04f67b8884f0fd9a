#pragma once
// The envelope layout: the return address near the top-left corner and one entry's
// address as the delivery address at its position, one envelope per entry, drawn in
// hundredths of an inch. Also the positions of the "Settings" page and their checks,
// which the drawing applies as well, so the page and the envelope never disagree.

#include "printing/AddressPages.h"
#include "printing/LabelText.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Positions in inches from the envelope's top-left corner.
struct EnvelopePositions {
  double returnLeft = 0;
  double returnTop = 0;
  double deliveryLeft = 3.5;
  double deliveryTop = 1.5;
  friend bool operator==(const EnvelopePositions&, const EnvelopePositions&) = default;
};

// The four boxes of the "Settings" page and the range each is held to; a value outside
// it (or not a number) becomes the box's fallback.
enum class EnvelopeBox { ReturnLeft, ReturnTop, DeliveryLeft, DeliveryTop };
double checkedEnvelopeValue(EnvelopeBox box, double value) noexcept;
EnvelopePositions checkedEnvelopePositions(EnvelopePositions p) noexcept;
// A box's text as the page reads it: the number it starts with, checked.
double envelopeBoxValue(EnvelopeBox box, std::string_view text);
std::string formatEnvelopeValue(double inches);  // "%4.2f"

// Both XY keys ("%f, %f"; the return address at 0.00, 0.00 and the delivery address at
// 3.50, 1.50 when missing), checked. Written "%4.2f, %4.2f" and flushed.
EnvelopePositions readEnvelopePositions(const std::filesystem::path& ini);
[[nodiscard]] bool writeEnvelopePositions(const std::filesystem::path& ini,
                                          const EnvelopePositions& p);

// Everything an envelope page is drawn with.
struct EnvelopePageSettings {
  EnvelopePositions positions;
  LabelTextStyle returnText;    // section and font "Return Address"
  LabelTextStyle deliveryText;  // section and font "Delivery Address"
  LabelFields returnAddress{};  // My Address
};
EnvelopePageSettings loadEnvelopePageSettings(const std::filesystem::path& ini,
                                              std::string_view pageFace);

inline constexpr int kReturnBlockSize = 200;    // 2 x 2 in
inline constexpr int kDeliveryBlockSize = 800;  // 8 x 8 in
inline constexpr int kReturnScreenShift = 10;   // the preview keeps it off the sheet's edge
// The two blocks in hundredths of an inch; on the screen the return block moves by 10.
Rect returnBlock(const EnvelopePositions& p, bool onScreen) noexcept;
Rect deliveryBlock(const EnvelopePositions& p) noexcept;

// Envelope `page`: the return address, and the delivery address of list position
// page - 1 unless that entry could not be read. "Don't show addresses" draws nothing.
void drawEnvelopePage(Canvas& canvas, const EnvelopePageSettings& s, const PageBook& book,
                      int page, bool hideAddresses);

// The strokes of the "Settings" page's preview, which stands for an envelope 8.5 in wide
// spread over `area` (pixels): four short ones for the return address, six for the
// delivery address, each group only when it fits above the area's bottom.
struct PreviewStroke {
  Point from;
  Point to;
  int width = 1;
  friend bool operator==(const PreviewStroke&, const PreviewStroke&) = default;
};
std::vector<PreviewStroke> envelopePreviewStrokes(const Rect& area, const EnvelopePositions& p);

}  // namespace mv
