// The mouse's buttons by index: the same index numbers a button's bit in the
// driver's event word and its assignment in the settings record.
#pragma once

namespace hidhost::settings {

// Assignments in the record, and button bits in an event word (bit 7 has no button).
inline constexpr int kButtonCount = 7;
// Indices 0..4 are the mouse's own buttons (left, right, middle, X1, X2): the
// only ones whose input the driver can pass through.
inline constexpr int kPhysicalButtonCount = 5;
// The wheel tilt runs single shots of these two assignments.
inline constexpr int kTiltLeftIndex = 5;
inline constexpr int kTiltRightIndex = 6;

static_assert(kPhysicalButtonCount <= kTiltLeftIndex && kTiltRightIndex < kButtonCount);

}  // namespace hidhost::settings
