// A platform that does the least it can: every call answers at once, records
// nothing and allocates nothing (GetModuleFileName's string aside), so that a
// benchmark on it measures the host's own code. Where the logic needs an
// answer to go on (a key that opens, a mutex that is taken, a view to copy
// into, the window under the cursor) it gets a fixed, plausible one.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "device/DriverChannel.h"
#include "platform/Constants.h"
#include "platform/Platform.h"
#include "settings/MouseSettings.h"
#include "support/NullWindowTree.h"

namespace hidhost::bench {

class NullInput final : public platform::Input {
 public:
  void SetCursor(platform::Point p) { cursor_ = p; }

  void KeybdEvent(std::uint8_t, std::uint8_t, std::uint32_t, std::uintptr_t) override {}
  void MouseEvent(std::uint32_t, std::int32_t, std::int32_t, std::int32_t,
                  std::uintptr_t) override {}
  std::uint32_t MapVirtualKey(std::uint32_t, std::uint32_t) override { return 0; }
  std::uintptr_t GetMessageExtraInfo() override { return 0; }
  bool GetCursorPos(platform::Point& out) override {
    out = cursor_;
    return true;
  }
  bool SetCursorPos(std::int32_t, std::int32_t) override { return true; }
  std::int32_t GetSystemMetrics(std::int32_t) override { return 0; }
  bool SetDoubleClickTime(std::uint32_t) override { return true; }
  bool SwapMouseButton(bool) override { return false; }
  bool SystemParametersInfo(std::uint32_t, std::uint32_t, const platform::SpiArgument&,
                            std::uint32_t) override {
    return true;
  }

 private:
  platform::Point cursor_{};
};

class NullWindows final : public platform::Windows {
 public:
  NullWindowTree& Tree() { return tree_; }
  // Fixes WindowFromPoint's answer, so that finding the window under the
  // cursor in a tree of many siblings costs nothing (None: search the tree).
  void SetWindowUnderCursor(platform::Hwnd hwnd) { underCursor_ = hwnd; }

  platform::Hwnd CreateFrameworkWindow(const platform::WindowAttributes&,
                                       platform::WindowProcedure&) override {
    return platform::Hwnd::None;
  }
  platform::LResult DefWindowProc(platform::Hwnd, std::uint32_t, platform::WParam,
                                  platform::LParam) override {
    return 0;
  }
  void PostQuitMessage(std::int32_t) override {}
  std::int32_t RunMessageLoop() override { return 0; }
  std::uint32_t RegisterWindowMessage(std::string_view) override { return 0xC000; }
  platform::Hwnd FindWindowByTitle(std::string_view) override { return platform::Hwnd::None; }
  bool PostMessage(platform::Hwnd, std::uint32_t, platform::WParam, platform::LParam) override {
    return true;
  }
  platform::LResult SendMessage(platform::Hwnd, std::uint32_t, platform::WParam,
                                platform::LParam) override {
    return 0;
  }

  platform::Hwnd WindowFromPoint(platform::Point screen) override {
    return platform::IsSet(underCursor_) ? underCursor_ : tree_.WindowFromPoint(screen);
  }
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) override {
    return tree_.ChildWindowFromPoint(parent, client);
  }
  platform::Hwnd GetDesktopWindow() override { return tree_.Desktop(); }
  bool GetClassName(platform::Hwnd hwnd, platform::ClassName& out) override {
    if (!tree_.Exists(hwnd)) return false;
    out.Assign(tree_.ClassOf(hwnd));
    return true;
  }
  platform::Hwnd GetParent(platform::Hwnd hwnd) override {
    return tree_.Exists(hwnd) ? tree_.Parent(hwnd) : platform::Hwnd::None;
  }
  platform::Hwnd GetWindow(platform::Hwnd hwnd, std::uint32_t relation) override {
    if (!tree_.Exists(hwnd)) return platform::Hwnd::None;
    switch (relation) {
      case platform::kGwHwndNext:
        return tree_.Next(hwnd);
      case platform::kGwHwndPrev:
        return tree_.Prev(hwnd);
      case platform::kGwChild:
        return tree_.FirstChild(hwnd);
      default:
        return platform::Hwnd::None;
    }
  }
  std::int32_t GetWindowLong(platform::Hwnd hwnd, std::int32_t) override {
    return tree_.Exists(hwnd) ? static_cast<std::int32_t>(tree_.StyleOf(hwnd)) : 0;
  }
  std::int32_t SetWindowLong(platform::Hwnd, std::int32_t, std::int32_t) override { return 0; }
  bool GetWindowRect(platform::Hwnd hwnd, platform::Rect& out) override {
    if (!tree_.Exists(hwnd)) return false;
    out = tree_.RectOf(hwnd);
    return true;
  }
  bool ScreenToClient(platform::Hwnd hwnd, platform::Point& point) override {
    return tree_.ScreenToClient(hwnd, point);
  }
  bool EnumChildWindows(platform::Hwnd parent, EnumCallback callback, void* context) override {
    if (!tree_.Exists(parent)) return false;
    tree_.ForEachDescendant(parent, [&](platform::Hwnd child) { return callback(child, context); });
    return true;
  }
  bool IsIconic(platform::Hwnd) override { return false; }
  bool ShowWindow(platform::Hwnd, std::int32_t) override { return true; }
  bool SetForegroundWindow(platform::Hwnd) override { return true; }
  platform::Hwnd SetActiveWindow(platform::Hwnd) override { return platform::Hwnd::None; }
  platform::Hwnd GetLastActivePopup(platform::Hwnd hwnd) override { return hwnd; }
  bool RegisterSessionNotification(platform::Module, platform::Hwnd, std::uint32_t) override {
    return true;
  }
  bool UnregisterSessionNotification(platform::Module, platform::Hwnd) override { return true; }

 private:
  NullWindowTree tree_;
  platform::Hwnd underCursor_ = platform::Hwnd::None;
};

class NullTimers final : public platform::Timers {
 public:
  bool SetTimer(platform::Hwnd, std::uintptr_t, std::uint32_t) override { return true; }
  bool KillTimer(platform::Hwnd, std::uintptr_t) override { return true; }
  std::uint32_t MaximumTimerPeriod() override { return 0x7FFFFFFF; }
  // The key combination's pauses are the system's time, not the host's.
  void Sleep(std::uint32_t) override {}
  bool SleepUnlessSignalled(platform::Handle, std::uint32_t) override { return false; }
  bool TimeBeginPeriod(std::uint32_t) override { return true; }
  bool TimeEndPeriod(std::uint32_t) override { return true; }
};

// Every key opens and every value reads as the same short number.
class NullRegistry final : public platform::Registry {
 public:
  platform::RegKey OpenKey(platform::RegKey, std::string_view, std::uint32_t) override {
    return kKey;
  }
  platform::RegKey CreateKey(platform::RegKey, std::string_view) override { return kKey; }
  bool QueryValue(platform::RegKey, std::string_view, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override {
    constexpr std::string_view kValue = "10";
    if (buffer.size() < kValue.size()) return false;
    std::memcpy(buffer.data(), kValue.data(), kValue.size());
    if (type != nullptr) *type = platform::kRegSz;
    if (size != nullptr) *size = static_cast<std::uint32_t>(kValue.size());
    return true;
  }
  bool SetValue(platform::RegKey, std::string_view, std::uint32_t, std::span<const char>) override {
    return true;
  }
  bool CloseKey(platform::RegKey) override { return true; }

 private:
  static constexpr platform::RegKey kKey = static_cast<platform::RegKey>(0x100);
};

// config.ini exists and every key in it is missing: the reader takes every
// fallback, which is the whole of its work without the file system's.
class NullProfileFiles final : public platform::ProfileFiles {
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
  platform::Handle CreateFile(std::string_view, std::uint32_t, std::uint32_t,
                              std::uint32_t) override {
    return static_cast<platform::Handle>(0x200);
  }
  std::string GetModuleFileName() override { return "C:\\HidHost\\HidHost.exe"; }
};

// Named objects that are always created fresh, waits that always succeed,
// and one 116-byte block behind every mapping.
class NullKernel final : public platform::Kernel {
 public:
  platform::CreatedMutex CreateMutex(std::string_view) override { return {kObject, false}; }
  bool ReleaseMutex(platform::Handle) override { return true; }
  platform::Handle CreateSemaphore(std::int32_t, std::int32_t) override { return kObject; }
  bool ReleaseSemaphore(platform::Handle, std::int32_t) override { return true; }
  platform::Handle CreateEvent(bool, bool) override { return kObject; }
  bool SetEvent(platform::Handle) override { return true; }
  platform::WaitAnyResult WaitForMultipleObjects(std::span<const platform::Handle>,
                                                 std::uint32_t) override {
    return {platform::WaitResult::Signalled, 0};
  }
  platform::WaitResult WaitForSingleObject(platform::Handle, std::uint32_t) override {
    return platform::WaitResult::Signalled;
  }
  bool CloseHandle(platform::Handle) override { return true; }
  platform::Handle CreateThread(std::uint32_t, ThreadEntry, void*) override {
    return platform::Handle::None;
  }
  platform::Handle CreateFileMapping(std::string_view, std::uint32_t) override { return kObject; }
  void* MapViewOfFile(platform::Handle, std::uint32_t) override { return block_.data(); }
  bool UnmapViewOfFile(void*) override { return true; }
  platform::Module LoadLibrary(std::string_view) override { return platform::Module::None; }
  bool HasProcedure(platform::Module, std::string_view) override { return false; }
  bool FreeLibrary(platform::Module) override { return true; }
  bool SetProcessInformation(const platform::PowerThrottlingState&) override { return true; }

 private:
  static constexpr platform::Handle kObject = static_cast<platform::Handle>(0x300);
  alignas(8) std::array<std::uint8_t, settings::kMouseSettingsSize> block_{};
};

class NullShell final : public platform::Shell {
 public:
  bool CoInitialize() override { return true; }
  void CoUninitialize() override {}
  void InitCommonControls() override {}
  platform::ComObject CreateShellDispatch() override { return platform::ComObject::None; }
  void ShellFindFiles(platform::ComObject) override {}
  void ShellFileRun(platform::ComObject) override {}
  void Release(platform::ComObject) override {}
  bool ShellExecute(platform::Hwnd, std::string_view, std::string_view, std::int32_t) override {
    return true;
  }
  bool OpenSpecialFolder(std::int32_t, std::int32_t) override { return true; }
  bool NotifyIcon(std::uint32_t, const platform::NotifyIconData&) override { return true; }
  std::int32_t LoadString(platform::Module, std::uint32_t, std::span<char>) override { return 0; }
  platform::Menu CreatePopupMenu() override { return platform::Menu::None; }
  bool AppendMenu(platform::Menu, std::uint32_t, std::uintptr_t, const char*) override {
    return false;
  }
  bool SetMenuDefaultItem(platform::Menu, std::uint32_t, bool) override { return false; }
  bool TrackPopupMenu(platform::Menu, std::uint32_t, std::int32_t, std::int32_t,
                      platform::Hwnd) override {
    return false;
  }
  bool DestroyMenu(platform::Menu) override { return true; }
};

// A device that opens, accepts every request and answers each read with the
// next word of a stream, round and round.
class NullDriver final : public platform::DriverDevice {
 public:
  void SetStream(std::span<const std::uint32_t> words) {
    words_ = words;
    next_ = 0;
  }

  platform::Handle Open(std::string_view, std::uint32_t, std::uint32_t, std::uint32_t) override {
    return static_cast<platform::Handle>(0x400);
  }
  bool IoControl(platform::Handle, std::uint32_t code, const void*, std::uint32_t, void* out,
                 std::uint32_t outSize) override {
    if (code != contracts::kIoctlReadEvent || words_.empty() || outSize < sizeof(std::uint32_t))
      return true;
    std::memcpy(out, &words_[next_], sizeof(std::uint32_t));
    next_ = next_ + 1 == words_.size() ? 0 : next_ + 1;
    return true;
  }
  bool Close(platform::Handle) override { return true; }

 private:
  std::span<const std::uint32_t> words_;
  std::size_t next_ = 0;
};

class NullPlatform {
 public:
  NullPlatform() = default;
  NullPlatform(const NullPlatform&) = delete;
  NullPlatform& operator=(const NullPlatform&) = delete;

  platform::Platform& Get() { return platform_; }
  NullInput& Input() { return input_; }
  NullWindows& Windows() { return windows_; }
  NullKernel& Kernel() { return kernel_; }
  NullDriver& Driver() { return driver_; }

 private:
  NullInput input_;
  NullWindows windows_;
  NullTimers timers_;
  NullRegistry registry_;
  NullProfileFiles profile_;
  NullKernel kernel_;
  NullShell shell_;
  NullDriver driver_;
  platform::Platform platform_{input_,   windows_, timers_, registry_,
                               profile_, kernel_,  shell_,  driver_};
};

}  // namespace hidhost::bench
