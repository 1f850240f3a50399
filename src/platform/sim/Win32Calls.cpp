#include "platform/sim/Win32Calls.h"

#include <array>

namespace hidhost::sim {

namespace {

constexpr std::array<CallInfo, static_cast<std::size_t>(Call::kCount)> kCalls{{
    {Call::KeybdEvent, "keybd_event", "Input::KeybdEvent"},
    {Call::MouseEvent, "mouse_event", "Input::MouseEvent"},
    {Call::MapVirtualKey, "MapVirtualKeyA", "Input::MapVirtualKey"},
    {Call::GetCursorPos, "GetCursorPos", "Input::GetCursorPos"},
    {Call::SetCursorPos, "SetCursorPos", "Input::SetCursorPos"},
    {Call::GetSystemMetrics, "GetSystemMetrics", "Input::GetSystemMetrics"},
    {Call::SetDoubleClickTime, "SetDoubleClickTime", "Input::SetDoubleClickTime"},
    {Call::SwapMouseButton, "SwapMouseButton", "Input::SwapMouseButton"},
    {Call::SystemParametersInfo, "SystemParametersInfoA", "Input::SystemParametersInfo"},
    {Call::GetMessageExtraInfo, "GetMessageExtraInfo", "Input::GetMessageExtraInfo"},
    {Call::CreateWindowEx, "CreateWindowExA", "Windows::CreateFrameworkWindow"},
    {Call::DestroyWindow, "DestroyWindow", "Windows::DefWindowProc (WM_CLOSE)"},
    {Call::RegisterWindowMessage, "RegisterWindowMessageA", "Windows::RegisterWindowMessage"},
    {Call::FindWindow, "FindWindowA", "Windows::FindWindowByTitle"},
    {Call::PostMessage, "PostMessageA", "Windows::PostMessage"},
    {Call::SendMessage, "SendMessageA", "Windows::SendMessage"},
    {Call::WindowFromPoint, "WindowFromPoint", "Windows::WindowFromPoint"},
    {Call::ChildWindowFromPoint, "ChildWindowFromPoint", "Windows::ChildWindowFromPoint"},
    {Call::GetClassName, "GetClassNameA", "Windows::GetClassName"},
    {Call::GetParent, "GetParent", "Windows::GetParent"},
    {Call::GetWindow, "GetWindow", "Windows::GetWindow"},
    {Call::GetWindowLong, "GetWindowLongA", "Windows::GetWindowLong"},
    {Call::SetWindowLong, "SetWindowLongA", "Windows::SetWindowLong"},
    {Call::GetWindowRect, "GetWindowRect", "Windows::GetWindowRect"},
    {Call::ScreenToClient, "ScreenToClient", "Windows::ScreenToClient"},
    {Call::EnumChildWindows, "EnumChildWindows", "Windows::EnumChildWindows"},
    {Call::IsIconic, "IsIconic", "Windows::IsIconic"},
    {Call::ShowWindow, "ShowWindow", "Windows::ShowWindow"},
    {Call::SetForegroundWindow, "SetForegroundWindow", "Windows::SetForegroundWindow"},
    {Call::SetActiveWindow, "SetActiveWindow", "Windows::SetActiveWindow"},
    {Call::GetLastActivePopup, "GetLastActivePopup", "Windows::GetLastActivePopup"},
    {Call::WtsRegisterSessionNotification, "WTSRegisterSessionNotification",
     "Windows::RegisterSessionNotification"},
    {Call::WtsUnRegisterSessionNotification, "WTSUnRegisterSessionNotification",
     "Windows::UnregisterSessionNotification"},
    {Call::SetTimer, "SetTimer", "Timers::SetTimer"},
    {Call::KillTimer, "KillTimer", "Timers::KillTimer"},
    {Call::Sleep, "Sleep", "Timers::Sleep"},
    {Call::TimeBeginPeriod, "timeBeginPeriod", "Timers::TimeBeginPeriod"},
    {Call::TimeEndPeriod, "timeEndPeriod", "Timers::TimeEndPeriod"},
    {Call::RegOpenKeyEx, "RegOpenKeyExA", "Registry::OpenKey"},
    {Call::RegCreateKey, "RegCreateKeyA", "Registry::CreateKey"},
    {Call::RegQueryValueEx, "RegQueryValueExA", "Registry::QueryValue"},
    {Call::RegSetValueEx, "RegSetValueExA", "Registry::SetValue"},
    {Call::RegCloseKey, "RegCloseKey", "Registry::CloseKey"},
    {Call::GetPrivateProfileInt, "GetPrivateProfileIntA", "ProfileFiles::GetPrivateProfileInt"},
    {Call::GetPrivateProfileStruct, "GetPrivateProfileStructA",
     "ProfileFiles::GetPrivateProfileStruct"},
    {Call::WritePrivateProfileString, "WritePrivateProfileStringA",
     "ProfileFiles::WritePrivateProfileString"},
    {Call::CreateFile, "CreateFileA", "ProfileFiles::CreateFile, DriverDevice::Open"},
    {Call::GetModuleFileName, "GetModuleFileNameA", "ProfileFiles::GetModuleFileName"},
    {Call::CreateMutex, "CreateMutexA", "Kernel::CreateMutex"},
    {Call::ReleaseMutex, "ReleaseMutex", "Kernel::ReleaseMutex"},
    {Call::CreateSemaphore, "CreateSemaphoreA", "Kernel::CreateSemaphore"},
    {Call::ReleaseSemaphore, "ReleaseSemaphore", "Kernel::ReleaseSemaphore"},
    {Call::CreateEvent, "CreateEventA", "Kernel::CreateEvent"},
    {Call::SetEvent, "SetEvent", "Kernel::SetEvent"},
    {Call::WaitForSingleObject, "WaitForSingleObject", "Kernel::WaitForSingleObject"},
    {Call::WaitForMultipleObjects, "WaitForMultipleObjects", "Kernel::WaitForMultipleObjects"},
    {Call::CloseHandle, "CloseHandle", "Kernel::CloseHandle, DriverDevice::Close"},
    {Call::CreateThread, "CreateThread", "Kernel::CreateThread"},
    {Call::LocalAlloc, "LocalAlloc", "Kernel::CreateFileMapping"},
    {Call::InitializeSecurityDescriptor, "InitializeSecurityDescriptor",
     "Kernel::CreateFileMapping"},
    {Call::SetSecurityDescriptorDacl, "SetSecurityDescriptorDacl", "Kernel::CreateFileMapping"},
    {Call::CreateFileMapping, "CreateFileMappingA", "Kernel::CreateFileMapping"},
    {Call::MapViewOfFile, "MapViewOfFile", "Kernel::MapViewOfFile"},
    {Call::UnmapViewOfFile, "UnmapViewOfFile", "Kernel::UnmapViewOfFile"},
    {Call::LoadLibrary, "LoadLibraryA", "Kernel::LoadLibrary"},
    {Call::GetProcAddress, "GetProcAddress", "Kernel::HasProcedure"},
    {Call::FreeLibrary, "FreeLibrary", "Kernel::FreeLibrary"},
    {Call::SetProcessInformation, "SetProcessInformation", "Kernel::SetProcessInformation"},
    {Call::CoInitialize, "CoInitialize", "Shell::CoInitialize"},
    {Call::CoCreateInstance, "CoCreateInstance", "Shell::CreateShellDispatch"},
    {Call::ShellExecute, "ShellExecuteA", "Shell::ShellExecute"},
    {Call::SHGetSpecialFolderLocation, "SHGetSpecialFolderLocation", "Shell::OpenSpecialFolder"},
    {Call::ShellExecuteEx, "ShellExecuteExA", "Shell::OpenSpecialFolder"},
    {Call::ShellNotifyIcon, "Shell_NotifyIconA", "Shell::NotifyIcon"},
    {Call::LoadString, "LoadStringA", "Shell::LoadString"},
    {Call::CreatePopupMenu, "CreatePopupMenu", "Shell::CreatePopupMenu"},
    {Call::AppendMenu, "AppendMenuA", "Shell::AppendMenu"},
    {Call::SetMenuDefaultItem, "SetMenuDefaultItem", "Shell::SetMenuDefaultItem"},
    {Call::TrackPopupMenu, "TrackPopupMenu", "Shell::TrackPopupMenu"},
    {Call::DestroyMenu, "DestroyMenu", "Shell::DestroyMenu"},
    {Call::DeviceIoControl, "DeviceIoControl", "DriverDevice::IoControl"},
}};

constexpr bool RowsInEnumOrder() {
  for (std::size_t i = 0; i < kCalls.size(); ++i) {
    if (static_cast<std::size_t>(kCalls[i].call) != i) return false;
  }
  return true;
}
static_assert(RowsInEnumOrder(), "each row of kCalls sits at its Call's position");

}  // namespace

std::span<const CallInfo> EveryCall() {
  return kCalls;
}

const CallInfo& InfoOf(Call call) {
  return kCalls[static_cast<std::size_t>(call)];
}

std::string_view Win32NameOf(Call call) {
  return InfoOf(call).win32Name;
}

std::optional<Call> CallNamed(std::string_view win32Name) {
  for (const auto& row : kCalls) {
    if (row.win32Name == win32Name) return row.call;
  }
  return std::nullopt;
}

}  // namespace hidhost::sim
