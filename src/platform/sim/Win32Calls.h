// Every platform call the simulated desktop models, with the Win32 name under
// which a scenario can make it fail and under which the trace prints it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace hidhost::sim {

enum class Call : std::size_t {
  // Input
  KeybdEvent,
  MouseEvent,
  MapVirtualKey,
  GetCursorPos,
  SetCursorPos,
  GetSystemMetrics,
  SetDoubleClickTime,
  SwapMouseButton,
  SystemParametersInfo,
  GetMessageExtraInfo,
  // Windows
  CreateWindowEx,
  DestroyWindow,
  RegisterWindowMessage,
  FindWindow,
  PostMessage,
  SendMessage,
  WindowFromPoint,
  ChildWindowFromPoint,
  GetClassName,
  GetParent,
  GetWindow,
  GetWindowLong,
  SetWindowLong,
  GetWindowRect,
  ScreenToClient,
  EnumChildWindows,
  IsIconic,
  ShowWindow,
  SetForegroundWindow,
  SetActiveWindow,
  GetLastActivePopup,
  WtsRegisterSessionNotification,
  WtsUnRegisterSessionNotification,
  // Timers
  SetTimer,
  KillTimer,
  Sleep,
  TimeBeginPeriod,
  TimeEndPeriod,
  // Registry
  RegOpenKeyEx,
  RegCreateKey,
  RegQueryValueEx,
  RegSetValueEx,
  RegCloseKey,
  // Profile files
  GetPrivateProfileInt,
  GetPrivateProfileStruct,
  WritePrivateProfileString,
  CreateFile,
  GetModuleFileName,
  // Kernel
  CreateMutex,
  ReleaseMutex,
  CreateSemaphore,
  ReleaseSemaphore,
  CreateEvent,
  SetEvent,
  WaitForSingleObject,
  WaitForMultipleObjects,
  CloseHandle,
  CreateThread,
  // Inside CreateFileMapping: the block's security descriptor, in this order.
  LocalAlloc,
  InitializeSecurityDescriptor,
  SetSecurityDescriptorDacl,
  CreateFileMapping,
  MapViewOfFile,
  UnmapViewOfFile,
  LoadLibrary,
  GetProcAddress,
  FreeLibrary,
  SetProcessInformation,
  // Shell
  CoInitialize,
  CoCreateInstance,
  ShellExecute,
  SHGetSpecialFolderLocation,
  ShellExecuteEx,
  ShellNotifyIcon,
  LoadString,
  CreatePopupMenu,
  AppendMenu,
  SetMenuDefaultItem,
  TrackPopupMenu,
  DestroyMenu,
  // Driver
  DeviceIoControl,
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
