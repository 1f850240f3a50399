// The input of the record targets (shared_block, fast_record), as
// fuzz/make_seeds.py writes it: after a first byte of the target's own, up to
// kMostUpdates updates of a control byte and a whole record. The control
// byte's low two bits pick the update message (0x4C8 + n); the flags below
// say what else happens around it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/MouseSettings.h"

namespace hidhost::fuzzing::update_input {

inline constexpr std::size_t kRecordSize = settings::kMouseSettingsSize;
inline constexpr std::size_t kUpdateSize = 1 + kRecordSize;
inline constexpr std::size_t kMostUpdates = 16;

inline constexpr std::uint8_t kMessageBits = 0x03;
inline constexpr std::uint8_t kKeepBlock = 0x04;   // the block stays as it was
inline constexpr std::uint8_t kNoPresses = 0x08;   // no presses of every button after it
inline constexpr std::uint8_t kReconnect = 0x10;   // the console disconnects and reconnects first
inline constexpr std::uint8_t kHoldAcross = 0x20;  // every button held down across the update
inline constexpr std::uint8_t kTorn = 0x40;  // its writer died holding the mutex (fast_record)

inline constexpr std::uint32_t kEveryButtonDown = 0x7F;

}  // namespace hidhost::fuzzing::update_input
