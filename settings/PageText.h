#pragma once
// The page heading and footnote records (sections Heading and Footnote of mervane.ini):
// the text line printed above and below the content of address-book pages.

#include "settings/Customize.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace mv {

enum class PageTextKind { Heading, Footnote };

struct PageText {
  std::string text;          // empty means none; 148 characters at most
  int align = 0;             // 0 left, 1 centre, 2 right
  std::string face = "Arial";  // 48 characters at most
  int height = 15;           // font request height in page units
  int weight = 0;            // 0 = default weight
  int italic = 0;
  int strikeOut = 0;
  int underline = 0;
  Rgb color{0, 0, 0};
  friend bool operator==(const PageText&, const PageText&) = default;
};

// Buffer sizes of the stored values, terminator included.
inline constexpr size_t kPageTextTextBuffer = 149;
inline constexpr size_t kPageTextFaceBuffer = 49;
inline constexpr size_t kPageTextAttribBuffer = 49;
inline constexpr size_t kPageTextColorBuffer = 49;

// The record a missing section gives: heading centred, footnote left, 15-high Arial, black.
PageText defaultPageText(PageTextKind kind);
std::string_view pageTextSection(PageTextKind kind);  // "Heading" / "Footnote"

PageText readPageText(const std::filesystem::path& ini, PageTextKind kind);
// Keys in the order Align, Text, Font Face, Font Attrib ("%d,%d,%d,%d,%d"), Color.
[[nodiscard]] bool writePageText(const std::filesystem::path& ini, PageTextKind kind,
                                 const PageText& text);

}  // namespace mv
