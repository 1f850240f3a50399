// What the host fixes about the configuration program beside it: where it
// lives, how its windows are found, and the notices the two exchange.
#pragma once

#include <cstdint>

#include "platform/Constants.h"
#include "platform/Platform.h"

namespace hidhost::app {

inline constexpr const char* kConfigurationWindowTitle = "RQ4471 Setting Option";
inline constexpr const char* kDisplayWindowTitle = "MOSSE_ARC OSD";
inline constexpr const char* kConfigurationExecutable = "Option.exe";

// Posted to the configuration program each time the driver channel becomes usable.
inline constexpr std::uint32_t kDeviceReadyNotice = 0x4E6;

// Sent (or posted) by the configuration program after it wrote the shared block.
inline constexpr std::uint32_t kSettingsApplyAll = 0x4C8;
inline constexpr std::uint32_t kSettingsReload1 = 0x4C9;
inline constexpr std::uint32_t kSettingsReload2 = 0x4CA;
inline constexpr std::uint32_t kSettingsApplyMaskFirst = 0x4CB;

// Activates the configuration program's window, or starts the program.
void OpenConfigurationProgram(platform::Platform& platform);
// The device-ready notice, when the configuration program runs.
void NotifyDeviceReady(platform::Windows& windows);
// WM_CLOSE to the configuration program's and the on-screen display's windows.
void CloseCompanionWindows(platform::Windows& windows);

}  // namespace hidhost::app
