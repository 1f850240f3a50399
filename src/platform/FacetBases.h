// Bases for platforms that implement only part of the seam, so that a call
// added to the seam is written out here once instead of in every double.
//
//   Forwarding<Facet>  passes every call on to another platform's facet; a
//                      decorator (the session recorder) overrides the calls
//                      it has something to add to.
//   Quiet<Facet>       does nothing and succeeds: true for a flag, nothing
//                      (None, 0, empty) for anything else, and leaves what a
//                      call would fill in as it was. A plain-memory desktop
//                      overrides the calls whose answers the host acts on.
//
// The real and the simulated backends derive from the facets themselves, so
// that each fails to compile when it misses a call.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace hidhost::platform {

class ForwardingInput : public Input {
 public:
  explicit ForwardingInput(Input& inner) : inner_(inner) {}
  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override {
    inner_.KeybdEvent(vk, scan, flags, extra);
  }
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override {
    inner_.MouseEvent(flags, dx, dy, data, extra);
  }
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override {
    return inner_.MapVirtualKey(code, mapType);
  }
  std::uintptr_t GetMessageExtraInfo() override { return inner_.GetMessageExtraInfo(); }
  bool GetCursorPos(Point& out) override { return inner_.GetCursorPos(out); }
  bool SetCursorPos(std::int32_t x, std::int32_t y) override { return inner_.SetCursorPos(x, y); }
  std::int32_t GetSystemMetrics(std::int32_t index) override {
    return inner_.GetSystemMetrics(index);
  }
  bool SetDoubleClickTime(std::uint32_t ms) override { return inner_.SetDoubleClickTime(ms); }
  bool SwapMouseButton(bool swap) override { return inner_.SwapMouseButton(swap); }
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam, const SpiArgument& pvParam,
                            std::uint32_t winIni) override {
    return inner_.SystemParametersInfo(action, uiParam, pvParam, winIni);
  }

 protected:
  Input& inner_;
};

class QuietInput : public Input {
 public:
  void KeybdEvent(std::uint8_t, std::uint8_t, std::uint32_t, std::uintptr_t) override {}
  void MouseEvent(std::uint32_t, std::int32_t, std::int32_t, std::int32_t,
                  std::uintptr_t) override {}
  std::uint32_t MapVirtualKey(std::uint32_t, std::uint32_t) override { return 0; }
  std::uintptr_t GetMessageExtraInfo() override { return 0; }
  bool GetCursorPos(Point&) override { return true; }
  bool SetCursorPos(std::int32_t, std::int32_t) override { return true; }
  std::int32_t GetSystemMetrics(std::int32_t) override { return 0; }
  bool SetDoubleClickTime(std::uint32_t) override { return true; }
  bool SwapMouseButton(bool) override { return false; }  // the buttons were not swapped
  bool SystemParametersInfo(std::uint32_t, std::uint32_t, const SpiArgument&,
                            std::uint32_t) override {
    return true;
  }
};

class ForwardingWindows : public Windows {
 public:
  explicit ForwardingWindows(Windows& inner) : inner_(inner) {}
  Hwnd CreateFrameworkWindow(const WindowAttributes& attributes,
                             WindowProcedure& procedure) override {
    return inner_.CreateFrameworkWindow(attributes, procedure);
  }
  LResult DefWindowProc(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override {
    return inner_.DefWindowProc(hwnd, message, wParam, lParam);
  }
  void PostQuitMessage(std::int32_t exitCode) override { inner_.PostQuitMessage(exitCode); }
  std::int32_t RunMessageLoop() override { return inner_.RunMessageLoop(); }
  std::uint32_t RegisterWindowMessage(std::string_view name) override {
    return inner_.RegisterWindowMessage(name);
  }
  Hwnd FindWindowByTitle(std::string_view title) override {
    return inner_.FindWindowByTitle(title);
  }
  bool PostMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override {
    return inner_.PostMessage(hwnd, message, wParam, lParam);
  }
  LResult SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override {
    return inner_.SendMessage(hwnd, message, wParam, lParam);
  }
  Hwnd WindowFromPoint(Point screen) override { return inner_.WindowFromPoint(screen); }
  Hwnd ChildWindowFromPoint(Hwnd parent, Point client) override {
    return inner_.ChildWindowFromPoint(parent, client);
  }
  Hwnd GetDesktopWindow() override { return inner_.GetDesktopWindow(); }
  bool GetClassName(Hwnd hwnd, ClassName& out) override { return inner_.GetClassName(hwnd, out); }
  Hwnd GetParent(Hwnd hwnd) override { return inner_.GetParent(hwnd); }
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t relation) override {
    return inner_.GetWindow(hwnd, relation);
  }
  std::int32_t GetWindowLong(Hwnd hwnd, std::int32_t index) override {
    return inner_.GetWindowLong(hwnd, index);
  }
  std::int32_t SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) override {
    return inner_.SetWindowLong(hwnd, index, value);
  }
  bool GetWindowRect(Hwnd hwnd, Rect& out) override { return inner_.GetWindowRect(hwnd, out); }
  bool ScreenToClient(Hwnd hwnd, Point& point) override {
    return inner_.ScreenToClient(hwnd, point);
  }
  bool EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) override {
    return inner_.EnumChildWindows(parent, callback, context);
  }
  bool IsIconic(Hwnd hwnd) override { return inner_.IsIconic(hwnd); }
  bool ShowWindow(Hwnd hwnd, std::int32_t command) override {
    return inner_.ShowWindow(hwnd, command);
  }
  bool SetForegroundWindow(Hwnd hwnd) override { return inner_.SetForegroundWindow(hwnd); }
  Hwnd SetActiveWindow(Hwnd hwnd) override { return inner_.SetActiveWindow(hwnd); }
  Hwnd GetLastActivePopup(Hwnd hwnd) override { return inner_.GetLastActivePopup(hwnd); }
  bool RegisterSessionNotification(Module wtsapi, Hwnd hwnd, std::uint32_t flags) override {
    return inner_.RegisterSessionNotification(wtsapi, hwnd, flags);
  }
  bool UnregisterSessionNotification(Module wtsapi, Hwnd hwnd) override {
    return inner_.UnregisterSessionNotification(wtsapi, hwnd);
  }

 protected:
  Windows& inner_;
};

class QuietWindows : public Windows {
 public:
  Hwnd CreateFrameworkWindow(const WindowAttributes&, WindowProcedure&) override {
    return Hwnd::None;
  }
  LResult DefWindowProc(Hwnd, std::uint32_t, WParam, LParam) override { return 0; }
  void PostQuitMessage(std::int32_t) override {}
  std::int32_t RunMessageLoop() override { return 0; }
  std::uint32_t RegisterWindowMessage(std::string_view) override { return 0; }
  Hwnd FindWindowByTitle(std::string_view) override { return Hwnd::None; }
  bool PostMessage(Hwnd, std::uint32_t, WParam, LParam) override { return true; }
  LResult SendMessage(Hwnd, std::uint32_t, WParam, LParam) override { return 0; }
  Hwnd WindowFromPoint(Point) override { return Hwnd::None; }
  Hwnd ChildWindowFromPoint(Hwnd, Point) override { return Hwnd::None; }
  Hwnd GetDesktopWindow() override { return Hwnd::None; }
  bool GetClassName(Hwnd, ClassName&) override { return true; }
  Hwnd GetParent(Hwnd) override { return Hwnd::None; }
  Hwnd GetWindow(Hwnd, std::uint32_t) override { return Hwnd::None; }
  std::int32_t GetWindowLong(Hwnd, std::int32_t) override { return 0; }
  std::int32_t SetWindowLong(Hwnd, std::int32_t, std::int32_t) override { return 0; }
  bool GetWindowRect(Hwnd, Rect&) override { return true; }
  bool ScreenToClient(Hwnd, Point&) override { return true; }
  bool EnumChildWindows(Hwnd, EnumCallback, void*) override { return true; }
  bool IsIconic(Hwnd) override { return false; }  // not minimised
  bool ShowWindow(Hwnd, std::int32_t) override { return true; }
  bool SetForegroundWindow(Hwnd) override { return true; }
  Hwnd SetActiveWindow(Hwnd) override { return Hwnd::None; }
  Hwnd GetLastActivePopup(Hwnd hwnd) override { return hwnd; }  // no pop-up: the window itself
  bool RegisterSessionNotification(Module, Hwnd, std::uint32_t) override { return true; }
  bool UnregisterSessionNotification(Module, Hwnd) override { return true; }
};

class ForwardingTimers : public Timers {
 public:
  explicit ForwardingTimers(Timers& inner) : inner_(inner) {}
  bool SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override {
    return inner_.SetTimer(hwnd, id, periodMs);
  }
  bool KillTimer(Hwnd hwnd, std::uintptr_t id) override { return inner_.KillTimer(hwnd, id); }
  std::uint32_t MaximumTimerPeriod() override { return inner_.MaximumTimerPeriod(); }
  void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
  bool SleepUnlessSignalled(Handle event, std::uint32_t ms) override {
    return inner_.SleepUnlessSignalled(event, ms);
  }
  bool TimeBeginPeriod(std::uint32_t ms) override { return inner_.TimeBeginPeriod(ms); }
  bool TimeEndPeriod(std::uint32_t ms) override { return inner_.TimeEndPeriod(ms); }

 protected:
  Timers& inner_;
};

class QuietTimers : public Timers {
 public:
  bool SetTimer(Hwnd, std::uintptr_t, std::uint32_t) override { return true; }
  bool KillTimer(Hwnd, std::uintptr_t) override { return true; }
  std::uint32_t MaximumTimerPeriod() override { return 0x7FFFFFFF; }  // USER_TIMER_MAXIMUM
  void Sleep(std::uint32_t) override {}
  bool SleepUnlessSignalled(Handle, std::uint32_t) override { return false; }  // slept it out
  bool TimeBeginPeriod(std::uint32_t) override { return true; }
  bool TimeEndPeriod(std::uint32_t) override { return true; }
};

class ForwardingRegistry : public Registry {
 public:
  explicit ForwardingRegistry(Registry& inner) : inner_(inner) {}
  RegKey OpenKey(RegKey root, std::string_view subkey, std::uint32_t access) override {
    return inner_.OpenKey(root, subkey, access);
  }
  RegKey CreateKey(RegKey root, std::string_view subkey) override {
    return inner_.CreateKey(root, subkey);
  }
  bool QueryValue(RegKey key, std::string_view name, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override {
    return inner_.QueryValue(key, name, buffer, type, size);
  }
  bool SetValue(RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override {
    return inner_.SetValue(key, name, type, data);
  }
  bool CloseKey(RegKey key) override { return inner_.CloseKey(key); }

 protected:
  Registry& inner_;
};

class QuietRegistry : public Registry {
 public:
  RegKey OpenKey(RegKey, std::string_view, std::uint32_t) override { return RegKey::None; }
  RegKey CreateKey(RegKey, std::string_view) override { return RegKey::None; }
  bool QueryValue(RegKey, std::string_view, std::span<char>, std::uint32_t*,
                  std::uint32_t*) override {
    return false;  // no value to give
  }
  bool SetValue(RegKey, std::string_view, std::uint32_t, std::span<const char>) override {
    return true;
  }
  bool CloseKey(RegKey) override { return true; }
};

class ForwardingProfileFiles : public ProfileFiles {
 public:
  explicit ForwardingProfileFiles(ProfileFiles& inner) : inner_(inner) {}
  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override {
    return inner_.GetPrivateProfileInt(section, key, fallback, path);
  }
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override {
    return inner_.GetPrivateProfileStruct(section, key, out, path);
  }
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override {
    return inner_.WritePrivateProfileString(section, key, value, path);
  }
  Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition) override {
    return inner_.CreateFile(path, access, share, disposition);
  }
  std::string GetModuleFileName() override { return inner_.GetModuleFileName(); }

 protected:
  ProfileFiles& inner_;
};

// A profile file in which every key is missing.
class QuietProfileFiles : public ProfileFiles {
 public:
  std::uint32_t GetPrivateProfileInt(std::string_view, std::string_view, std::int32_t fallback,
                                     std::string_view) override {
    return static_cast<std::uint32_t>(fallback);
  }
  bool GetPrivateProfileStruct(std::string_view, std::string_view, std::span<std::uint8_t>,
                               std::string_view) override {
    return false;
  }
  bool WritePrivateProfileString(std::string_view, std::string_view, std::string_view,
                                 std::string_view) override {
    return true;
  }
  Handle CreateFile(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) override {
    return Handle::None;
  }
  std::string GetModuleFileName() override { return {}; }
};

class ForwardingKernel : public Kernel {
 public:
  explicit ForwardingKernel(Kernel& inner) : inner_(inner) {}
  CreatedMutex CreateMutex(std::string_view name) override { return inner_.CreateMutex(name); }
  bool ReleaseMutex(Handle mutex) override { return inner_.ReleaseMutex(mutex); }
  Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override {
    return inner_.CreateSemaphore(initial, maximum);
  }
  bool ReleaseSemaphore(Handle semaphore, std::int32_t count) override {
    return inner_.ReleaseSemaphore(semaphore, count);
  }
  Handle CreateEvent(bool manualReset, bool initiallySet) override {
    return inner_.CreateEvent(manualReset, initiallySet);
  }
  bool SetEvent(Handle event) override { return inner_.SetEvent(event); }
  WaitResult WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override {
    return inner_.WaitForSingleObject(object, timeoutMs);
  }
  WaitAnyResult WaitForMultipleObjects(std::span<const Handle> objects,
                                       std::uint32_t timeoutMs) override {
    return inner_.WaitForMultipleObjects(objects, timeoutMs);
  }
  bool CloseHandle(Handle object) override { return inner_.CloseHandle(object); }
  Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry, void* parameter) override {
    return inner_.CreateThread(stackSize, entry, parameter);
  }
  Handle CreateFileMapping(std::string_view name, std::uint32_t size) override {
    return inner_.CreateFileMapping(name, size);
  }
  void* MapViewOfFile(Handle mapping, std::uint32_t size) override {
    return inner_.MapViewOfFile(mapping, size);
  }
  bool UnmapViewOfFile(void* view) override { return inner_.UnmapViewOfFile(view); }
  Module LoadLibrary(std::string_view path) override { return inner_.LoadLibrary(path); }
  bool HasProcedure(Module module, std::string_view name) override {
    return inner_.HasProcedure(module, name);
  }
  bool FreeLibrary(Module module) override { return inner_.FreeLibrary(module); }
  bool SetProcessInformation(const PowerThrottlingState& state) override {
    return inner_.SetProcessInformation(state);
  }

 protected:
  Kernel& inner_;
};

class QuietKernel : public Kernel {
 public:
  CreatedMutex CreateMutex(std::string_view) override { return {}; }
  bool ReleaseMutex(Handle) override { return true; }
  Handle CreateSemaphore(std::int32_t, std::int32_t) override { return Handle::None; }
  bool ReleaseSemaphore(Handle, std::int32_t) override { return true; }
  Handle CreateEvent(bool, bool) override { return Handle::None; }
  bool SetEvent(Handle) override { return true; }
  WaitResult WaitForSingleObject(Handle, std::uint32_t) override { return WaitResult::Signalled; }
  WaitAnyResult WaitForMultipleObjects(std::span<const Handle>, std::uint32_t) override {
    return {WaitResult::Signalled, 0};
  }
  bool CloseHandle(Handle) override { return true; }
  Handle CreateThread(std::uint32_t, ThreadEntry, void*) override { return Handle::None; }
  Handle CreateFileMapping(std::string_view, std::uint32_t) override { return Handle::None; }
  void* MapViewOfFile(Handle, std::uint32_t) override { return nullptr; }
  bool UnmapViewOfFile(void*) override { return true; }
  Module LoadLibrary(std::string_view) override { return Module::None; }
  bool HasProcedure(Module, std::string_view) override { return false; }
  bool FreeLibrary(Module) override { return true; }
  bool SetProcessInformation(const PowerThrottlingState&) override { return true; }
};

class ForwardingShell : public Shell {
 public:
  explicit ForwardingShell(Shell& inner) : inner_(inner) {}
  bool CoInitialize() override { return inner_.CoInitialize(); }
  void CoUninitialize() override { inner_.CoUninitialize(); }
  void InitCommonControls() override { inner_.InitCommonControls(); }
  ComObject CreateShellDispatch() override { return inner_.CreateShellDispatch(); }
  void ShellFindFiles(ComObject shell) override { inner_.ShellFindFiles(shell); }
  void ShellFileRun(ComObject shell) override { inner_.ShellFileRun(shell); }
  void Release(ComObject object) override { inner_.Release(object); }
  bool ShellExecute(Hwnd owner, std::string_view verb, std::string_view file,
                    std::int32_t show) override {
    return inner_.ShellExecute(owner, verb, file, show);
  }
  bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) override {
    return inner_.OpenSpecialFolder(csidl, show);
  }
  bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
    return inner_.NotifyIcon(message, data);
  }
  std::int32_t LoadString(Module module, std::uint32_t id, std::span<char> buffer) override {
    return inner_.LoadString(module, id, buffer);
  }
  Menu CreatePopupMenu() override { return inner_.CreatePopupMenu(); }
  bool AppendMenu(Menu menu, std::uint32_t flags, std::uintptr_t id, const char* text) override {
    return inner_.AppendMenu(menu, flags, id, text);
  }
  bool SetMenuDefaultItem(Menu menu, std::uint32_t item, bool byPosition) override {
    return inner_.SetMenuDefaultItem(menu, item, byPosition);
  }
  bool TrackPopupMenu(Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                      Hwnd owner) override {
    return inner_.TrackPopupMenu(menu, flags, x, y, owner);
  }
  bool DestroyMenu(Menu menu) override { return inner_.DestroyMenu(menu); }

 protected:
  Shell& inner_;
};

class QuietShell : public Shell {
 public:
  bool CoInitialize() override { return true; }
  void CoUninitialize() override {}
  void InitCommonControls() override {}
  ComObject CreateShellDispatch() override { return ComObject::None; }
  void ShellFindFiles(ComObject) override {}
  void ShellFileRun(ComObject) override {}
  void Release(ComObject) override {}
  bool ShellExecute(Hwnd, std::string_view, std::string_view, std::int32_t) override {
    return true;
  }
  bool OpenSpecialFolder(std::int32_t, std::int32_t) override { return true; }
  bool NotifyIcon(std::uint32_t, const NotifyIconData&) override { return true; }
  std::int32_t LoadString(Module, std::uint32_t, std::span<char>) override { return 0; }
  Menu CreatePopupMenu() override { return Menu::None; }
  bool AppendMenu(Menu, std::uint32_t, std::uintptr_t, const char*) override { return true; }
  bool SetMenuDefaultItem(Menu, std::uint32_t, bool) override { return true; }
  bool TrackPopupMenu(Menu, std::uint32_t, std::int32_t, std::int32_t, Hwnd) override {
    return true;
  }
  bool DestroyMenu(Menu) override { return true; }
};

class ForwardingDriverDevice : public DriverDevice {
 public:
  explicit ForwardingDriverDevice(DriverDevice& inner) : inner_(inner) {}
  Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) override {
    return inner_.Open(name, access, share, disposition);
  }
  bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
    return inner_.IoControl(device, code, in, inSize, out, outSize);
  }
  bool Close(Handle device) override { return inner_.Close(device); }

 protected:
  DriverDevice& inner_;
};

class QuietDriverDevice : public DriverDevice {
 public:
  Handle Open(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) override {
    return Handle::None;  // no device
  }
  bool IoControl(Handle, std::uint32_t, const void*, std::uint32_t, void*, std::uint32_t) override {
    return true;
  }
  bool Close(Handle) override { return true; }
};

}  // namespace hidhost::platform
