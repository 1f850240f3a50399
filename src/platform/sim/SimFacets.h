// The platform's facets as one simulated process sees the world. Each call
// takes the world's lock for its own length, writes its trace line, consults
// the fault table and acts on the world.
#pragma once

#include "platform/Platform.h"

namespace hidhost::sim {

class World;
class SimProcessImpl;

class FacetBase {
 public:
  FacetBase(World& world, SimProcessImpl& process) : world_(world), process_(process) {}

 protected:
  World& world_;
  SimProcessImpl& process_;
};

class SimInput final : public platform::Input, FacetBase {
 public:
  using FacetBase::FacetBase;
  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override;
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  std::uintptr_t GetMessageExtraInfo() override;
  bool GetCursorPos(platform::Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool SetDoubleClickTime(std::uint32_t ms) override;
  bool SwapMouseButton(bool swap) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                            const platform::SpiArgument& pvParam, std::uint32_t winIni) override;
};

class SimWindows final : public platform::Windows, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::Hwnd CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                       platform::WindowProcedure& procedure) override;
  // WM_CLOSE's default processing; the host itself never destroys a window.
  bool DestroyWindow(platform::Hwnd hwnd);
  platform::LResult DefWindowProc(platform::Hwnd hwnd, std::uint32_t message,
                                  platform::WParam wParam, platform::LParam lParam) override;
  void PostQuitMessage(std::int32_t exitCode) override;
  std::int32_t RunMessageLoop() override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;

  platform::Hwnd FindWindowByTitle(std::string_view title) override;
  bool PostMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                   platform::LParam lParam) override;
  platform::LResult SendMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;

  platform::Hwnd WindowFromPoint(platform::Point screen) override;
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) override;
  platform::Hwnd GetDesktopWindow() override;
  bool GetClassName(platform::Hwnd hwnd, platform::ClassName& out) override;
  platform::Hwnd GetParent(platform::Hwnd hwnd) override;
  platform::Hwnd GetWindow(platform::Hwnd hwnd, std::uint32_t relation) override;
  std::int32_t GetWindowLong(platform::Hwnd hwnd, std::int32_t index) override;
  std::int32_t SetWindowLong(platform::Hwnd hwnd, std::int32_t index, std::int32_t value) override;
  bool GetWindowRect(platform::Hwnd hwnd, platform::Rect& out) override;
  bool ScreenToClient(platform::Hwnd hwnd, platform::Point& point) override;
  bool EnumChildWindows(platform::Hwnd parent, EnumCallback callback, void* context) override;

  bool IsIconic(platform::Hwnd hwnd) override;
  bool ShowWindow(platform::Hwnd hwnd, std::int32_t command) override;
  bool SetForegroundWindow(platform::Hwnd hwnd) override;
  platform::Hwnd SetActiveWindow(platform::Hwnd hwnd) override;
  platform::Hwnd GetLastActivePopup(platform::Hwnd hwnd) override;

  bool RegisterSessionNotification(platform::Module wtsapi, platform::Hwnd hwnd,
                                   std::uint32_t flags) override;
  bool UnregisterSessionNotification(platform::Module wtsapi, platform::Hwnd hwnd) override;
};

class SimTimers final : public platform::Timers, FacetBase {
 public:
  using FacetBase::FacetBase;
  bool SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override;
  bool KillTimer(platform::Hwnd hwnd, std::uintptr_t id) override;
  std::uint32_t MaximumTimerPeriod() override { return 0x7FFFFFFF; }
  void Sleep(std::uint32_t ms) override;
  bool SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) override;
  bool TimeBeginPeriod(std::uint32_t ms) override;
  bool TimeEndPeriod(std::uint32_t ms) override;
};

class SimRegistry final : public platform::Registry, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::RegKey OpenKey(platform::RegKey root, std::string_view subkey,
                           std::uint32_t access) override;
  platform::RegKey CreateKey(platform::RegKey root, std::string_view subkey) override;
  bool QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                  std::uint32_t* type, std::uint32_t* size) override;
  bool SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(platform::RegKey key) override;
};

class SimProfileFiles final : public platform::ProfileFiles, FacetBase {
 public:
  using FacetBase::FacetBase;
  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override;
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override;
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;
  platform::Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) override;
  std::string GetModuleFileName() override;
};

class SimKernel final : public platform::Kernel, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::CreatedMutex CreateMutex(std::string_view name) override;
  bool ReleaseMutex(platform::Handle mutex) override;
  platform::Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override;
  bool ReleaseSemaphore(platform::Handle semaphore, std::int32_t count) override;
  platform::Handle CreateEvent(bool manualReset, bool initiallySet) override;
  bool SetEvent(platform::Handle event) override;
  platform::WaitAnyResult WaitForMultipleObjects(std::span<const platform::Handle> objects,
                                                 std::uint32_t timeoutMs) override;
  platform::WaitResult WaitForSingleObject(platform::Handle object,
                                           std::uint32_t timeoutMs) override;
  bool CloseHandle(platform::Handle object) override;
  platform::Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry,
                                void* parameter) override;
  platform::Handle CreateFileMapping(std::string_view name, std::uint32_t size) override;
  void* MapViewOfFile(platform::Handle mapping, std::uint32_t size) override;
  bool UnmapViewOfFile(void* view) override;
  platform::Module LoadLibrary(std::string_view path) override;
  bool HasProcedure(platform::Module module, std::string_view name) override;
  bool FreeLibrary(platform::Module module) override;
  bool SetProcessInformation(const platform::PowerThrottlingState& state) override;
};

class SimShell final : public platform::Shell, FacetBase {
 public:
  using FacetBase::FacetBase;
  bool CoInitialize() override;
  void CoUninitialize() override;
  void InitCommonControls() override {}
  platform::ComObject CreateShellDispatch() override;
  void ShellFindFiles(platform::ComObject shell) override;
  void ShellFileRun(platform::ComObject shell) override;
  void Release(platform::ComObject object) override;
  bool ShellExecute(platform::Hwnd owner, std::string_view verb, std::string_view file,
                    std::int32_t show) override;
  bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) override;
  bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override;
  std::int32_t LoadString(platform::Module module, std::uint32_t id,
                          std::span<char> buffer) override;
  platform::Menu CreatePopupMenu() override;
  bool AppendMenu(platform::Menu menu, std::uint32_t flags, std::uintptr_t id,
                  const char* text) override;
  bool SetMenuDefaultItem(platform::Menu menu, std::uint32_t item, bool byPosition) override;
  bool TrackPopupMenu(platform::Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                      platform::Hwnd owner) override;
  bool DestroyMenu(platform::Menu menu) override;

 private:
  void TraceShellMethod(platform::ComObject shell, std::string_view method);
  bool ChangeIcon(std::uint32_t message, const platform::NotifyIconData& data);
};

class SimDriverDevice final : public platform::DriverDevice, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                        std::uint32_t disposition) override;
  bool IoControl(platform::Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                 void* out, std::uint32_t outSize) override;
  bool Close(platform::Handle device) override;
};

}  // namespace hidhost::sim
