// The mouse's buttons by index: the same index numbers a button's bit in the
// driver's event word and its assignment in the settings record.
#pragma once

#include <array>
#include <cstdint>

#include "contracts/SettingsRecord.h"

namespace hidhost::settings {

// Assignments in the record, and button bits in an event word (bit 7 has no button).
inline constexpr int kButtonCount = contracts::kRecordButtonCount;
// Indices 0..4 are the mouse's own buttons (left, right, middle, X1, X2): the
// only ones whose input the driver can pass through.
inline constexpr int kPhysicalButtonCount = 5;
// The wheel tilt runs single shots of these two assignments.
inline constexpr int kTiltLeftIndex = 5;
inline constexpr int kTiltRightIndex = 6;

static_assert(kPhysicalButtonCount <= kTiltLeftIndex && kTiltRightIndex < kButtonCount);

// The action each button has out of the box: each of the mouse's own buttons
// its native function (left, right, middle, X1 = 12, X2 = 11), the tilt a
// sideways scroll left (15) and right (16). The action catalogue checks at
// compile time that the first five are its native codes.
inline constexpr std::array<std::uint8_t, kButtonCount> kDefaultActionCodes = {1,  2,  3, 12,
                                                                               11, 15, 16};

}  // namespace hidhost::settings
