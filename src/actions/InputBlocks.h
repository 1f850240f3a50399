// The small fixed input sequences the button actions are built from.
// Keys go out with the extended-key flag on both edges and scan code 0, as
// the mouse's own keyboard functions always have; clicks carry the message
// extra information of the moment.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Platform.h"
#include "settings/ButtonLayout.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// The mouse's own buttons, in the order of their assignment indices.
enum class MouseButton : std::uint8_t { Left, Right, Middle, X1, X2 };
inline constexpr std::size_t kMouseButtonCount = settings::kPhysicalButtonCount;
static_assert(static_cast<std::size_t>(MouseButton::X2) + 1 == kMouseButtonCount);

// A button's own down or up event, as its press and release halves send it.
void SendButtonEvent(platform::Platform& platform, MouseButton button, bool down);
void KeyDown(platform::Platform& platform, std::uint8_t key);
void KeyUp(platform::Platform& platform, std::uint8_t key);
void KeyTap(platform::Platform& platform, std::uint8_t key);
// Ctrl comes up before the letter, which some applications rely on to see a chord.
void CtrlChord(platform::Platform& platform, std::uint8_t key);
// The key comes up before the modifier.
void HeldModifierChord(platform::Platform& platform, std::uint8_t modifier, std::uint8_t key);

void Click(platform::Platform& platform, MouseButton button);
// Left or right, whichever the user's settings make primary.
MouseButton PrimaryButton(const settings::LiveSettings& settings);
void PrimaryClick(platform::Platform& platform, const settings::LiveSettings& settings);
void PrimaryDoubleClick(platform::Platform& platform, const settings::LiveSettings& settings);
void WheelStep(platform::Platform& platform, std::int32_t delta);

}  // namespace hidhost::actions
