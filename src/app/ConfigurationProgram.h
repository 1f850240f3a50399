// What the host fixes about the configuration program beside it: where it
// lives, how its windows are found, and the notices the two exchange.
#pragma once

#include <cstdint>

#include "contracts/ConfigurationProtocol.h"
#include "platform/Constants.h"
#include "platform/Platform.h"

namespace hidhost::app {

using contracts::kConfigurationWindowTitle;
inline constexpr const char* kDisplayWindowTitle = "MOSSE_ARC OSD";
inline constexpr const char* kConfigurationExecutable = "Option.exe";

using contracts::kDeviceReadyNotice;
using contracts::kSettingsApplyAll;
using contracts::kSettingsApplyMaskFirst;
using contracts::kSettingsReload1;
using contracts::kSettingsReload2;

// Activates the configuration program's window, or starts the program.
void OpenConfigurationProgram(platform::Platform& platform);
// The device-ready notice, when the configuration program runs.
void NotifyDeviceReady(platform::Windows& windows);
// WM_CLOSE to the configuration program's and the on-screen display's windows.
void CloseCompanionWindows(platform::Windows& windows);

}  // namespace hidhost::app
