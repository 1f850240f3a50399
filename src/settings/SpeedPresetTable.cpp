#include <cstddef>

#include "settings/SystemMouseSettings.h"

namespace hidhost::settings {

// Row r stands for the registry's MouseSpeed and the highest thresholds that
// still count as that preset; the configuration program shows the row index.
const std::array<SpeedPresetRow, 20> kSpeedPresetTable = {{
    {0, 0, 0},  {1, 13, 0}, {1, 12, 0}, {1, 11, 0}, {1, 10, 0}, {1, 9, 0},  {1, 8, 0},
    {1, 7, 0},  {1, 6, 0},  {1, 5, 0},  {1, 4, 0},  {2, 4, 13}, {2, 4, 12}, {2, 4, 11},
    {2, 4, 10}, {2, 4, 9},  {2, 4, 8},  {2, 4, 7},  {2, 4, 6},  {2, 4, 5},
}};

int ClassifySpeedPreset(std::int32_t speed, std::int32_t threshold1, std::int32_t threshold2) {
  // Every row is tested so that the tightest matching bound, the last row, wins.
  int match = -1;
  for (std::size_t r = 0; r < kSpeedPresetTable.size(); ++r) {
    const auto& row = kSpeedPresetTable[r];
    if (speed == row.mouseSpeed && threshold1 <= row.threshold1Bound &&
        threshold2 <= row.threshold2Bound) {
      match = static_cast<int>(r);
    }
  }
  return match;
}

}  // namespace hidhost::settings
