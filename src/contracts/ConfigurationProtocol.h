// What the host and the configuration program agree on: the names of the
// shared settings block and of its mutex, the title by which each finds the
// other's window, and the notices between them. One definition for the host,
// the simulated desktop, the light fuzzing desktop and Option.exe.
#pragma once

#include <cstdint>

namespace hidhost::contracts {

// The host creates both; the configuration program opens them by name and
// holds the mutex only while it copies a whole record.
inline constexpr const char* kSharedBlockName = "K2290 Share Data";
inline constexpr const char* kSharedMutexName = "K2290-ShareData-Mutex-Object";

inline constexpr const char* kHostWindowTitle = "QUILL48HidHost";
inline constexpr const char* kConfigurationWindowTitle = "RQ4471 Setting Option";

// Posted to the configuration program each time the driver channel becomes usable.
inline constexpr std::uint32_t kDeviceReadyNotice = 0x4E6;

// Sent (or posted) by the configuration program after it wrote the shared block.
inline constexpr std::uint32_t kSettingsApplyAll = 0x4C8;
inline constexpr std::uint32_t kSettingsReload1 = 0x4C9;
inline constexpr std::uint32_t kSettingsReload2 = 0x4CA;
inline constexpr std::uint32_t kSettingsApplyMaskFirst = 0x4CB;

}  // namespace hidhost::contracts
