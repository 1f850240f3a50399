#include "device/PassThroughMask.h"

#include <gtest/gtest.h>

#include <array>

#include "settings/MouseSettings.h"

namespace hidhost::device {
namespace {

settings::MouseSettings WithCodes(const std::array<std::uint8_t, 7>& codes) {
  settings::MouseSettings record{};
  for (int i = 0; i < 7; ++i) {
    record.ButtonInfo[i] = {static_cast<std::uint8_t>(i + 1), codes[i], 0, 0};
  }
  return record;
}

struct MaskCase {
  int row;
  std::array<std::uint8_t, 7> codes;
  std::uint16_t mask;
};

TEST(PassThroughMask, Compute_AssignmentTable_GivesMask) {
  const MaskCase cases[] = {
      {1, {1, 2, 3, 12, 11, 15, 16}, 0xFFE0},  // defaults
      {2, {65, 65, 65, 65, 65, 15, 16}, 0xFFFF},
      {3, {2, 2, 3, 12, 11, 15, 16}, 0xFFE1},  // button 0 as the right button keeps its bit
      {4, {1, 1, 1, 1, 1, 1, 1}, 0xFFFE},
      {5, {0, 0, 0, 11, 12, 0, 0}, 0xFFFF},   // X buttons swapped: neither is native
      {6, {0, 0, 0, 0, 0, 1, 2}, 0xFFFF},     // buttons 5 and 6 never pass through
      {7, {1, 0, 3, 0, 11, 0, 0}, 0xFFEA},
  };
  for (const MaskCase& c : cases) {
    const settings::LiveSettings live(WithCodes(c.codes));
    EXPECT_EQ(ComputePassThroughMask(live), c.mask) << "row " << c.row;
  }
}

}  // namespace
}  // namespace hidhost::device
