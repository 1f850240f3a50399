// Every platform call the simulated desktop models, with the Win32 name under
// which a scenario can make it fail and under which the trace prints it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace hidhost::sim {

// One row per call: its name here, its Win32 name, and the seam's method
// that stands for it.
#define HIDHOST_SIM_CALLS(X)                                                                      \
  /* Input */                                                                                     \
  X(KeybdEvent, "keybd_event", "Input::KeybdEvent")                                               \
  X(MouseEvent, "mouse_event", "Input::MouseEvent")                                               \
  X(MapVirtualKey, "MapVirtualKeyA", "Input::MapVirtualKey")                                      \
  X(GetCursorPos, "GetCursorPos", "Input::GetCursorPos")                                          \
  X(SetCursorPos, "SetCursorPos", "Input::SetCursorPos")                                          \
  X(GetSystemMetrics, "GetSystemMetrics", "Input::GetSystemMetrics")                              \
  X(SetDoubleClickTime, "SetDoubleClickTime", "Input::SetDoubleClickTime")                        \
  X(SwapMouseButton, "SwapMouseButton", "Input::SwapMouseButton")                                 \
  X(SystemParametersInfo, "SystemParametersInfoA", "Input::SystemParametersInfo")                 \
  X(GetMessageExtraInfo, "GetMessageExtraInfo", "Input::GetMessageExtraInfo")                     \
  /* Windows */                                                                                   \
  X(CreateWindowEx, "CreateWindowExA", "Windows::CreateFrameworkWindow")                          \
  X(DestroyWindow, "DestroyWindow", "Windows::DefWindowProc (WM_CLOSE)")                          \
  X(RegisterWindowMessage, "RegisterWindowMessageA", "Windows::RegisterWindowMessage")            \
  X(FindWindow, "FindWindowA", "Windows::FindWindowByTitle")                                      \
  X(PostMessage, "PostMessageA", "Windows::PostMessage")                                          \
  X(SendMessage, "SendMessageA", "Windows::SendMessage")                                          \
  X(WindowFromPoint, "WindowFromPoint", "Windows::WindowFromPoint")                               \
  X(ChildWindowFromPoint, "ChildWindowFromPoint", "Windows::ChildWindowFromPoint")                \
  X(GetClassName, "GetClassNameA", "Windows::GetClassName")                                       \
  X(GetParent, "GetParent", "Windows::GetParent")                                                 \
  X(GetWindow, "GetWindow", "Windows::GetWindow")                                                 \
  X(GetWindowLong, "GetWindowLongA", "Windows::GetWindowLong")                                    \
  X(SetWindowLong, "SetWindowLongA", "Windows::SetWindowLong")                                    \
  X(GetWindowRect, "GetWindowRect", "Windows::GetWindowRect")                                     \
  X(ScreenToClient, "ScreenToClient", "Windows::ScreenToClient")                                  \
  X(EnumChildWindows, "EnumChildWindows", "Windows::EnumChildWindows")                            \
  X(IsIconic, "IsIconic", "Windows::IsIconic")                                                    \
  X(ShowWindow, "ShowWindow", "Windows::ShowWindow")                                              \
  X(SetForegroundWindow, "SetForegroundWindow", "Windows::SetForegroundWindow")                   \
  X(SetActiveWindow, "SetActiveWindow", "Windows::SetActiveWindow")                               \
  X(GetLastActivePopup, "GetLastActivePopup", "Windows::GetLastActivePopup")                      \
  X(WtsRegisterSessionNotification, "WTSRegisterSessionNotification",                             \
    "Windows::RegisterSessionNotification")                                                       \
  X(WtsUnRegisterSessionNotification, "WTSUnRegisterSessionNotification",                         \
    "Windows::UnregisterSessionNotification")                                                     \
  /* Timers */                                                                                    \
  X(SetTimer, "SetTimer", "Timers::SetTimer")                                                     \
  X(KillTimer, "KillTimer", "Timers::KillTimer")                                                  \
  X(Sleep, "Sleep", "Timers::Sleep")                                                              \
  X(TimeBeginPeriod, "timeBeginPeriod", "Timers::TimeBeginPeriod")                                \
  X(TimeEndPeriod, "timeEndPeriod", "Timers::TimeEndPeriod")                                      \
  /* Registry */                                                                                  \
  X(RegOpenKeyEx, "RegOpenKeyExA", "Registry::OpenKey")                                           \
  X(RegCreateKey, "RegCreateKeyA", "Registry::CreateKey")                                         \
  X(RegQueryValueEx, "RegQueryValueExA", "Registry::QueryValue")                                  \
  X(RegSetValueEx, "RegSetValueExA", "Registry::SetValue")                                        \
  X(RegCloseKey, "RegCloseKey", "Registry::CloseKey")                                             \
  /* Profile files */                                                                             \
  X(GetPrivateProfileInt, "GetPrivateProfileIntA", "ProfileFiles::GetPrivateProfileInt")          \
  X(GetPrivateProfileStruct, "GetPrivateProfileStructA", "ProfileFiles::GetPrivateProfileStruct") \
  X(WritePrivateProfileString, "WritePrivateProfileStringA",                                      \
    "ProfileFiles::WritePrivateProfileString")                                                    \
  X(CreateFile, "CreateFileA", "ProfileFiles::CreateFile, DriverDevice::Open")                    \
  X(GetModuleFileName, "GetModuleFileNameA", "ProfileFiles::GetModuleFileName")                   \
  /* Kernel */                                                                                    \
  X(CreateMutex, "CreateMutexA", "Kernel::CreateMutex")                                           \
  X(ReleaseMutex, "ReleaseMutex", "Kernel::ReleaseMutex")                                         \
  X(CreateSemaphore, "CreateSemaphoreA", "Kernel::CreateSemaphore")                               \
  X(ReleaseSemaphore, "ReleaseSemaphore", "Kernel::ReleaseSemaphore")                             \
  X(CreateEvent, "CreateEventA", "Kernel::CreateEvent")                                           \
  X(SetEvent, "SetEvent", "Kernel::SetEvent")                                                     \
  X(WaitForSingleObject, "WaitForSingleObject", "Kernel::WaitForSingleObject")                    \
  X(WaitForMultipleObjects, "WaitForMultipleObjects", "Kernel::WaitForMultipleObjects")           \
  X(CloseHandle, "CloseHandle", "Kernel::CloseHandle, DriverDevice::Close")                       \
  X(CreateThread, "CreateThread", "Kernel::CreateThread")                                         \
  /* Inside CreateFileMapping: the block's security descriptor, in this order. */                 \
  X(LocalAlloc, "LocalAlloc", "Kernel::CreateFileMapping")                                        \
  X(InitializeSecurityDescriptor, "InitializeSecurityDescriptor", "Kernel::CreateFileMapping")    \
  X(SetSecurityDescriptorDacl, "SetSecurityDescriptorDacl", "Kernel::CreateFileMapping")          \
  X(CreateFileMapping, "CreateFileMappingA", "Kernel::CreateFileMapping")                         \
  X(MapViewOfFile, "MapViewOfFile", "Kernel::MapViewOfFile")                                      \
  X(UnmapViewOfFile, "UnmapViewOfFile", "Kernel::UnmapViewOfFile")                                \
  X(LoadLibrary, "LoadLibraryA", "Kernel::LoadLibrary")                                           \
  X(GetProcAddress, "GetProcAddress", "Kernel::HasProcedure")                                     \
  X(FreeLibrary, "FreeLibrary", "Kernel::FreeLibrary")                                            \
  X(SetProcessInformation, "SetProcessInformation", "Kernel::SetProcessInformation")              \
  /* Shell */                                                                                     \
  X(CoInitialize, "CoInitialize", "Shell::CoInitialize")                                          \
  X(CoCreateInstance, "CoCreateInstance", "Shell::CreateShellDispatch")                           \
  X(ShellExecute, "ShellExecuteA", "Shell::ShellExecute")                                         \
  X(SHGetSpecialFolderLocation, "SHGetSpecialFolderLocation", "Shell::OpenSpecialFolder")         \
  X(ShellExecuteEx, "ShellExecuteExA", "Shell::OpenSpecialFolder")                                \
  X(ShellNotifyIcon, "Shell_NotifyIconA", "Shell::NotifyIcon")                                    \
  X(LoadString, "LoadStringA", "Shell::LoadString")                                               \
  X(CreatePopupMenu, "CreatePopupMenu", "Shell::CreatePopupMenu")                                 \
  X(AppendMenu, "AppendMenuA", "Shell::AppendMenu")                                               \
  X(SetMenuDefaultItem, "SetMenuDefaultItem", "Shell::SetMenuDefaultItem")                        \
  X(TrackPopupMenu, "TrackPopupMenu", "Shell::TrackPopupMenu")                                    \
  X(DestroyMenu, "DestroyMenu", "Shell::DestroyMenu")                                             \
  /* Driver */                                                                                    \
  X(DeviceIoControl, "DeviceIoControl", "DriverDevice::IoControl")

enum class Call : std::size_t {
#define HIDHOST_SIM_CALL_ENUMERATOR(name, win32Name, facetMethod) name,
  HIDHOST_SIM_CALLS(HIDHOST_SIM_CALL_ENUMERATOR)
#undef HIDHOST_SIM_CALL_ENUMERATOR
      kCount
};

struct CallInfo {
  Call call;
  std::string_view win32Name;
  std::string_view facetMethod;  // the seam's method that stands for the call
};

// Every row, in the order of Call: the calls a scenario's `fail` takes.
std::span<const CallInfo> EveryCall();
// The row of a call.
const CallInfo& InfoOf(Call call);
std::string_view Win32NameOf(Call call);
// The call with that Win32 name (exact spelling), if the simulator models it.
std::optional<Call> CallNamed(std::string_view win32Name);

}  // namespace hidhost::sim
