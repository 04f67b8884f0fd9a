#pragma once
// Which labels of the sheet are in use, held in the view state for the run.

#include <array>
#include <bitset>

namespace mv {

inline constexpr int kLabelGridAcross = 20;  // the most labels a format has across
inline constexpr int kLabelGridDown = 30;    // and down

// One flag per label position a format can have, 20 across by 30 down: "in use" or not.
// Held for the run; every label starts in use.
class LabelGrid {
 public:
  LabelGrid() { setAll(true); }
  bool inUse(int column, int row) const noexcept;
  void set(int column, int row, bool used) noexcept;
  void toggle(int column, int row) noexcept { set(column, row, !inUse(column, row)); }
  void setAll(bool used) noexcept;
  // Labels in use within the first `across` columns and `down` rows.
  int countInUse(int across, int down) const noexcept;
  // When none of the format's labels is in use, the first one is.
  void ensureOneInUse(int across, int down) noexcept;
  friend bool operator==(const LabelGrid&, const LabelGrid&) = default;

 private:
  std::array<std::bitset<kLabelGridDown>, kLabelGridAcross> columns_{};
};

}  // namespace mv
