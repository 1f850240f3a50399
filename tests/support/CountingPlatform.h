// A platform that passes every call through to another and counts the calls
// by the Win32 name the simulator fails them under, so that a fault test can
// tell whether the fault it armed was ever reached.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "contracts/DriverProtocol.h"
#include "platform/Platform.h"
#include "platform/sim/Win32Calls.h"

namespace hidhost::testing {

class CallCounts {
 public:
  void Count(sim::Call call) { counts_[Index(call)].fetch_add(1, std::memory_order_relaxed); }
  long Of(sim::Call call) const { return counts_[Index(call)].load(std::memory_order_relaxed); }
  // Event words the host has read from the driver.
  void CountEventRead() { eventReads_.fetch_add(1, std::memory_order_relaxed); }
  long EventReads() const { return eventReads_.load(std::memory_order_relaxed); }

 private:
  static std::size_t Index(sim::Call call) { return static_cast<std::size_t>(call); }
  std::array<std::atomic<long>, static_cast<std::size_t>(sim::Call::kCount)> counts_{};
  std::atomic<long> eventReads_{0};
};

class CountingPlatform {
 public:
  explicit CountingPlatform(platform::Platform& inner)
      : input_(inner.input, counts_),
        windows_(inner.windows, counts_),
        timers_(inner.timers, counts_),
        registry_(inner.registry, counts_),
        profile_(inner.profile, counts_),
        kernel_(inner.kernel, counts_),
        shell_(inner.shell, counts_),
        driver_(inner.driver, counts_),
        platform_{input_, windows_, timers_, registry_, profile_, kernel_, shell_, driver_} {}
  CountingPlatform(const CountingPlatform&) = delete;
  CountingPlatform& operator=(const CountingPlatform&) = delete;

  platform::Platform& Platform() { return platform_; }
  const CallCounts& Counts() const { return counts_; }

 private:
  using C = sim::Call;
  using Hwnd = platform::Hwnd;
  using Handle = platform::Handle;
  using Module = platform::Module;
  using RegKey = platform::RegKey;
  using Menu = platform::Menu;
  using ComObject = platform::ComObject;
  using WParam = platform::WParam;
  using LParam = platform::LParam;
  using LResult = platform::LResult;

  class Input final : public platform::Input {
   public:
    Input(platform::Input& i, CallCounts& c) : in_(i), n_(c) {}
    void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                    std::uintptr_t extra) override {
      n_.Count(C::KeybdEvent);
      in_.KeybdEvent(vk, scan, flags, extra);
    }
    void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                    std::uintptr_t extra) override {
      n_.Count(C::MouseEvent);
      in_.MouseEvent(flags, dx, dy, data, extra);
    }
    std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override {
      n_.Count(C::MapVirtualKey);
      return in_.MapVirtualKey(code, mapType);
    }
    std::uintptr_t GetMessageExtraInfo() override {
      n_.Count(C::GetMessageExtraInfo);
      return in_.GetMessageExtraInfo();
    }
    bool GetCursorPos(platform::Point& out) override {
      n_.Count(C::GetCursorPos);
      return in_.GetCursorPos(out);
    }
    bool SetCursorPos(std::int32_t x, std::int32_t y) override {
      n_.Count(C::SetCursorPos);
      return in_.SetCursorPos(x, y);
    }
    std::int32_t GetSystemMetrics(std::int32_t index) override {
      n_.Count(C::GetSystemMetrics);
      return in_.GetSystemMetrics(index);
    }
    bool SetDoubleClickTime(std::uint32_t ms) override {
      n_.Count(C::SetDoubleClickTime);
      return in_.SetDoubleClickTime(ms);
    }
    bool SwapMouseButton(bool swap) override {
      n_.Count(C::SwapMouseButton);
      return in_.SwapMouseButton(swap);
    }
    bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                              const platform::SpiArgument& pvParam, std::uint32_t winIni) override {
      n_.Count(C::SystemParametersInfo);
      return in_.SystemParametersInfo(action, uiParam, pvParam, winIni);
    }

   private:
    platform::Input& in_;
    CallCounts& n_;
  };

  class Windows final : public platform::Windows {
   public:
    Windows(platform::Windows& w, CallCounts& c) : in_(w), n_(c) {}
    Hwnd CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                               platform::WindowProcedure& procedure) override {
      n_.Count(C::CreateWindowEx);
      return in_.CreateFrameworkWindow(attributes, procedure);
    }
    LResult DefWindowProc(Hwnd hwnd, std::uint32_t message, WParam w, LParam l) override {
      return in_.DefWindowProc(hwnd, message, w, l);
    }
    void PostQuitMessage(std::int32_t exitCode) override { in_.PostQuitMessage(exitCode); }
    std::int32_t RunMessageLoop() override { return in_.RunMessageLoop(); }
    std::uint32_t RegisterWindowMessage(std::string_view name) override {
      n_.Count(C::RegisterWindowMessage);
      return in_.RegisterWindowMessage(name);
    }
    Hwnd FindWindowByTitle(std::string_view title) override {
      n_.Count(C::FindWindow);
      return in_.FindWindowByTitle(title);
    }
    bool PostMessage(Hwnd hwnd, std::uint32_t message, WParam w, LParam l) override {
      n_.Count(C::PostMessage);
      return in_.PostMessage(hwnd, message, w, l);
    }
    LResult SendMessage(Hwnd hwnd, std::uint32_t message, WParam w, LParam l) override {
      n_.Count(C::SendMessage);
      return in_.SendMessage(hwnd, message, w, l);
    }
    Hwnd WindowFromPoint(platform::Point screen) override {
      n_.Count(C::WindowFromPoint);
      return in_.WindowFromPoint(screen);
    }
    Hwnd ChildWindowFromPoint(Hwnd parent, platform::Point client) override {
      n_.Count(C::ChildWindowFromPoint);
      return in_.ChildWindowFromPoint(parent, client);
    }
    Hwnd GetDesktopWindow() override { return in_.GetDesktopWindow(); }
    bool GetClassName(Hwnd hwnd, platform::ClassName& out) override {
      n_.Count(C::GetClassName);
      return in_.GetClassName(hwnd, out);
    }
    Hwnd GetParent(Hwnd hwnd) override {
      n_.Count(C::GetParent);
      return in_.GetParent(hwnd);
    }
    Hwnd GetWindow(Hwnd hwnd, std::uint32_t relation) override {
      n_.Count(C::GetWindow);
      return in_.GetWindow(hwnd, relation);
    }
    std::int32_t GetWindowLong(Hwnd hwnd, std::int32_t index) override {
      n_.Count(C::GetWindowLong);
      return in_.GetWindowLong(hwnd, index);
    }
    std::int32_t SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) override {
      n_.Count(C::SetWindowLong);
      return in_.SetWindowLong(hwnd, index, value);
    }
    bool GetWindowRect(Hwnd hwnd, platform::Rect& out) override {
      n_.Count(C::GetWindowRect);
      return in_.GetWindowRect(hwnd, out);
    }
    bool ScreenToClient(Hwnd hwnd, platform::Point& point) override {
      n_.Count(C::ScreenToClient);
      return in_.ScreenToClient(hwnd, point);
    }
    bool EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) override {
      n_.Count(C::EnumChildWindows);
      return in_.EnumChildWindows(parent, callback, context);
    }
    bool IsIconic(Hwnd hwnd) override {
      n_.Count(C::IsIconic);
      return in_.IsIconic(hwnd);
    }
    bool ShowWindow(Hwnd hwnd, std::int32_t command) override {
      n_.Count(C::ShowWindow);
      return in_.ShowWindow(hwnd, command);
    }
    bool SetForegroundWindow(Hwnd hwnd) override {
      n_.Count(C::SetForegroundWindow);
      return in_.SetForegroundWindow(hwnd);
    }
    Hwnd SetActiveWindow(Hwnd hwnd) override {
      n_.Count(C::SetActiveWindow);
      return in_.SetActiveWindow(hwnd);
    }
    Hwnd GetLastActivePopup(Hwnd hwnd) override {
      n_.Count(C::GetLastActivePopup);
      return in_.GetLastActivePopup(hwnd);
    }
    bool RegisterSessionNotification(Module wtsapi, Hwnd hwnd, std::uint32_t flags) override {
      n_.Count(C::WtsRegisterSessionNotification);
      return in_.RegisterSessionNotification(wtsapi, hwnd, flags);
    }
    bool UnregisterSessionNotification(Module wtsapi, Hwnd hwnd) override {
      n_.Count(C::WtsUnRegisterSessionNotification);
      return in_.UnregisterSessionNotification(wtsapi, hwnd);
    }

   private:
    platform::Windows& in_;
    CallCounts& n_;
  };

  class Timers final : public platform::Timers {
   public:
    Timers(platform::Timers& t, CallCounts& c) : in_(t), n_(c) {}
    bool SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override {
      n_.Count(C::SetTimer);
      return in_.SetTimer(hwnd, id, periodMs);
    }
    bool KillTimer(Hwnd hwnd, std::uintptr_t id) override {
      n_.Count(C::KillTimer);
      return in_.KillTimer(hwnd, id);
    }
    std::uint32_t MaximumTimerPeriod() override { return in_.MaximumTimerPeriod(); }
    void Sleep(std::uint32_t ms) override {
      n_.Count(C::Sleep);
      in_.Sleep(ms);
    }
    bool SleepUnlessSignalled(Handle event, std::uint32_t ms) override {
      return in_.SleepUnlessSignalled(event, ms);
    }
    bool TimeBeginPeriod(std::uint32_t ms) override {
      n_.Count(C::TimeBeginPeriod);
      return in_.TimeBeginPeriod(ms);
    }
    bool TimeEndPeriod(std::uint32_t ms) override {
      n_.Count(C::TimeEndPeriod);
      return in_.TimeEndPeriod(ms);
    }

   private:
    platform::Timers& in_;
    CallCounts& n_;
  };

  class Registry final : public platform::Registry {
   public:
    Registry(platform::Registry& r, CallCounts& c) : in_(r), n_(c) {}
    RegKey OpenKey(RegKey root, std::string_view subkey, std::uint32_t access) override {
      n_.Count(C::RegOpenKeyEx);
      return in_.OpenKey(root, subkey, access);
    }
    RegKey CreateKey(RegKey root, std::string_view subkey) override {
      n_.Count(C::RegCreateKey);
      return in_.CreateKey(root, subkey);
    }
    bool QueryValue(RegKey key, std::string_view name, std::span<char> buffer, std::uint32_t* type,
                    std::uint32_t* size) override {
      n_.Count(C::RegQueryValueEx);
      return in_.QueryValue(key, name, buffer, type, size);
    }
    bool SetValue(RegKey key, std::string_view name, std::uint32_t type,
                  std::span<const char> data) override {
      n_.Count(C::RegSetValueEx);
      return in_.SetValue(key, name, type, data);
    }
    bool CloseKey(RegKey key) override {
      n_.Count(C::RegCloseKey);
      return in_.CloseKey(key);
    }

   private:
    platform::Registry& in_;
    CallCounts& n_;
  };

  class ProfileFiles final : public platform::ProfileFiles {
   public:
    ProfileFiles(platform::ProfileFiles& p, CallCounts& c) : in_(p), n_(c) {}
    std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                       std::int32_t fallback, std::string_view path) override {
      n_.Count(C::GetPrivateProfileInt);
      return in_.GetPrivateProfileInt(section, key, fallback, path);
    }
    bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                                 std::span<std::uint8_t> out, std::string_view path) override {
      n_.Count(C::GetPrivateProfileStruct);
      return in_.GetPrivateProfileStruct(section, key, out, path);
    }
    bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                   std::string_view value, std::string_view path) override {
      n_.Count(C::WritePrivateProfileString);
      return in_.WritePrivateProfileString(section, key, value, path);
    }
    Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
      n_.Count(C::CreateFile);
      return in_.CreateFile(path, access, share, disposition);
    }
    std::string GetModuleFileName() override {
      n_.Count(C::GetModuleFileName);
      return in_.GetModuleFileName();
    }

   private:
    platform::ProfileFiles& in_;
    CallCounts& n_;
  };

  class Kernel final : public platform::Kernel {
   public:
    Kernel(platform::Kernel& k, CallCounts& c) : in_(k), n_(c) {}
    platform::CreatedMutex CreateMutex(std::string_view name) override {
      n_.Count(C::CreateMutex);
      return in_.CreateMutex(name);
    }
    bool ReleaseMutex(Handle mutex) override {
      n_.Count(C::ReleaseMutex);
      return in_.ReleaseMutex(mutex);
    }
    Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override {
      n_.Count(C::CreateSemaphore);
      return in_.CreateSemaphore(initial, maximum);
    }
    bool ReleaseSemaphore(Handle semaphore, std::int32_t count) override {
      n_.Count(C::ReleaseSemaphore);
      return in_.ReleaseSemaphore(semaphore, count);
    }
    Handle CreateEvent(bool manualReset, bool initiallySet) override {
      n_.Count(C::CreateEvent);
      return in_.CreateEvent(manualReset, initiallySet);
    }
    bool SetEvent(Handle event) override {
      n_.Count(C::SetEvent);
      return in_.SetEvent(event);
    }
    platform::WaitResult WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override {
      n_.Count(C::WaitForSingleObject);
      return in_.WaitForSingleObject(object, timeoutMs);
    }
    bool CloseHandle(Handle object) override {
      n_.Count(C::CloseHandle);
      return in_.CloseHandle(object);
    }
    Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry, void* parameter) override {
      n_.Count(C::CreateThread);
      return in_.CreateThread(stackSize, entry, parameter);
    }
    Handle CreateFileMapping(std::string_view name, std::uint32_t size) override {
      for (const C step : {C::LocalAlloc, C::InitializeSecurityDescriptor,
                           C::SetSecurityDescriptorDacl, C::CreateFileMapping}) {
        n_.Count(step);
      }
      return in_.CreateFileMapping(name, size);
    }
    void* MapViewOfFile(Handle mapping, std::uint32_t size) override {
      n_.Count(C::MapViewOfFile);
      return in_.MapViewOfFile(mapping, size);
    }
    bool UnmapViewOfFile(void* view) override {
      n_.Count(C::UnmapViewOfFile);
      return in_.UnmapViewOfFile(view);
    }
    Module LoadLibrary(std::string_view path) override {
      n_.Count(C::LoadLibrary);
      return in_.LoadLibrary(path);
    }
    bool HasProcedure(Module module, std::string_view name) override {
      n_.Count(C::GetProcAddress);
      return in_.HasProcedure(module, name);
    }
    bool FreeLibrary(Module module) override {
      n_.Count(C::FreeLibrary);
      return in_.FreeLibrary(module);
    }
    bool SetProcessInformation(const platform::PowerThrottlingState& state) override {
      n_.Count(C::SetProcessInformation);
      return in_.SetProcessInformation(state);
    }

   private:
    platform::Kernel& in_;
    CallCounts& n_;
  };

  class Shell final : public platform::Shell {
   public:
    Shell(platform::Shell& s, CallCounts& c) : in_(s), n_(c) {}
    bool CoInitialize() override {
      n_.Count(C::CoInitialize);
      return in_.CoInitialize();
    }
    void CoUninitialize() override { in_.CoUninitialize(); }
    void InitCommonControls() override { in_.InitCommonControls(); }
    ComObject CreateShellDispatch() override {
      n_.Count(C::CoCreateInstance);
      return in_.CreateShellDispatch();
    }
    void ShellFindFiles(ComObject shell) override { in_.ShellFindFiles(shell); }
    void ShellFileRun(ComObject shell) override { in_.ShellFileRun(shell); }
    void Release(ComObject object) override { in_.Release(object); }
    bool ShellExecute(Hwnd owner, std::string_view verb, std::string_view file,
                      std::int32_t show) override {
      n_.Count(C::ShellExecute);
      return in_.ShellExecute(owner, verb, file, show);
    }
    bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) override {
      // One seam call stands for both Win32 calls; either may be the one to fail.
      n_.Count(C::SHGetSpecialFolderLocation);
      n_.Count(C::ShellExecuteEx);
      return in_.OpenSpecialFolder(csidl, show);
    }
    bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override {
      n_.Count(C::ShellNotifyIcon);
      return in_.NotifyIcon(message, data);
    }
    std::int32_t LoadString(Module module, std::uint32_t id, std::span<char> buffer) override {
      n_.Count(C::LoadString);
      return in_.LoadString(module, id, buffer);
    }
    Menu CreatePopupMenu() override {
      n_.Count(C::CreatePopupMenu);
      return in_.CreatePopupMenu();
    }
    bool AppendMenu(Menu menu, std::uint32_t flags, std::uintptr_t id, const char* text) override {
      n_.Count(C::AppendMenu);
      return in_.AppendMenu(menu, flags, id, text);
    }
    bool SetMenuDefaultItem(Menu menu, std::uint32_t item, bool byPosition) override {
      n_.Count(C::SetMenuDefaultItem);
      return in_.SetMenuDefaultItem(menu, item, byPosition);
    }
    bool TrackPopupMenu(Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                        Hwnd owner) override {
      n_.Count(C::TrackPopupMenu);
      return in_.TrackPopupMenu(menu, flags, x, y, owner);
    }
    bool DestroyMenu(Menu menu) override {
      n_.Count(C::DestroyMenu);
      return in_.DestroyMenu(menu);
    }

   private:
    platform::Shell& in_;
    CallCounts& n_;
  };

  class DriverDevice final : public platform::DriverDevice {
   public:
    static constexpr std::uint32_t kReadEventCode = contracts::kIoctlReadEvent;
    DriverDevice(platform::DriverDevice& d, CallCounts& c) : in_(d), n_(c) {}
    Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                std::uint32_t disposition) override {
      n_.Count(C::CreateFile);
      return in_.Open(name, access, share, disposition);
    }
    bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                   void* out, std::uint32_t outSize) override {
      n_.Count(C::DeviceIoControl);
      const bool done = in_.IoControl(device, code, in, inSize, out, outSize);
      if (done && code == kReadEventCode) n_.CountEventRead();
      return done;
    }
    bool Close(Handle device) override {
      n_.Count(C::CloseHandle);
      return in_.Close(device);
    }

   private:
    platform::DriverDevice& in_;
    CallCounts& n_;
  };

  CallCounts counts_;
  Input input_;
  Windows windows_;
  Timers timers_;
  Registry registry_;
  ProfileFiles profile_;
  Kernel kernel_;
  Shell shell_;
  DriverDevice driver_;
  platform::Platform platform_;
};

}  // namespace hidhost::testing
