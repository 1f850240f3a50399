// The trace line of each call with an effect outside the host. The simulated
// desktop and the session recorder both print through these, so a recorded
// trace and a replayed one can be compared byte for byte. Window handles are
// passed as the number the trace shows for them.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "contracts/DriverProtocol.h"
#include "platform/Platform.h"

namespace hidhost::trace {

std::string KeybdEventLine(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags);
std::string MouseEventLine(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                           std::uintptr_t extra);
std::string SetCursorPosLine(std::int32_t x, std::int32_t y);
std::string SetDoubleClickTimeLine(std::uint32_t ms);
std::string SwapMouseButtonLine(bool swap);
std::string SystemParametersInfoLine(std::uint32_t action, std::uint32_t uiParam,
                                     const platform::SpiArgument& pvParam, std::uint32_t winIni);

std::string PostMessageLine(std::uintptr_t hwnd, std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam);
std::string SendMessageLine(std::uintptr_t hwnd, std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam);
std::string ShowWindowLine(std::uintptr_t hwnd, std::int32_t command);
std::string SetForegroundWindowLine(std::uintptr_t hwnd);
std::string SetActiveWindowLine(std::uintptr_t hwnd);

std::string SetTimerLine(std::uintptr_t id, std::uint32_t periodMs);
std::string KillTimerLine(std::uintptr_t id);
std::string SleepLine(std::uint32_t ms);
std::string TimeBeginPeriodLine(std::uint32_t ms);
std::string TimeEndPeriodLine(std::uint32_t ms);
std::string SetProcessInformationLine(const platform::PowerThrottlingState& state);

// The predefined root's name ("HKEY_CURRENT_USER"), empty for any other key.
std::string_view RegistryRootName(platform::RegKey root);
std::string RegCreateKeyLine(std::string_view path);
std::string RegSetValueLine(std::string_view path, std::string_view name, std::uint32_t type,
                            std::span<const char> data);
std::string WritePrivateProfileStringLine(std::string_view section, std::string_view key,
                                          std::string_view value, std::string_view file);

std::string CreateMutexLine(std::string_view name, bool exists);
// A name that a process in another security context holds: no handle.
std::string CreateMutexDeniedLine(std::string_view name);
std::string CreateFileMappingLine(std::string_view name, std::uint32_t size);
std::string OpenDeviceLine(std::string_view name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition, bool ok);
// inBytes: HexBytes of the request, taken before the answer may overwrite it.
// The event read (kEventReadCode) has no line of its own: callers skip it.
std::string DeviceIoControlLine(std::uint32_t code, std::string_view inBytes, std::uint32_t outSize,
                                bool ok);
std::string CloseDeviceLine(std::string_view name);
inline constexpr std::uint32_t kEventReadCode = contracts::kIoctlReadEvent;

std::string NotifyIconLine(std::uint32_t message, const platform::NotifyIconData& data);
std::string AppendMenuLine(std::uint32_t flags, std::uintptr_t id, const char* text);
std::string SetMenuDefaultItemLine(std::uint32_t item);
std::string TrackPopupMenuLine(std::int32_t x, std::int32_t y, std::uint32_t chosen);
std::string ShellExecuteLine(std::string_view verb, std::string_view file, std::int32_t show);
// located false: SHGetSpecialFolderLocation gave no item list.
std::string OpenSpecialFolderLine(std::int32_t csidl, bool located, std::int32_t show);
inline constexpr std::string_view kShellFindFilesLine = "IShellDispatch::FindFiles";
inline constexpr std::string_view kShellFileRunLine = "IShellDispatch::FileRun";

std::string ExitLine(std::int32_t code);

}  // namespace hidhost::trace
