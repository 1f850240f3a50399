// The one interface through which the host's logic reaches the operating
// system. Each facet groups one capability; the Win32 backend makes the real
// calls, the simulated backend models a desktop. Method names follow the
// system call they stand for, so that a trace or a fault can name that call.
//
// Every facet is safe to call from the window thread and the event thread at
// the same time, as the system calls they stand for are.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Types.h"

namespace hidhost::platform {

// The value passed as pvParam of SystemParametersInfoA.
struct SpiArgument {
  enum class Kind { Null, Value, Triple };
  Kind kind = Kind::Null;
  std::int32_t values[3] = {0, 0, 0};

  static SpiArgument Null() { return {}; }
  static SpiArgument Value(std::int32_t v) { return {Kind::Value, {v, 0, 0}}; }
  static SpiArgument Triple(std::int32_t a, std::int32_t b, std::int32_t c) {
    return {Kind::Triple, {a, b, c}};
  }
};

// Synthesized input, the cursor, and the system's mouse settings.
class Input {
 public:
  virtual ~Input() = default;
  virtual void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                          std::uintptr_t extra) = 0;
  virtual void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                          std::uintptr_t extra) = 0;
  virtual std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) = 0;
  virtual std::uintptr_t GetMessageExtraInfo() = 0;
  virtual bool GetCursorPos(Point& out) = 0;
  virtual bool SetCursorPos(std::int32_t x, std::int32_t y) = 0;
  virtual std::int32_t GetSystemMetrics(std::int32_t index) = 0;

  virtual bool SetDoubleClickTime(std::uint32_t ms) = 0;
  virtual bool SwapMouseButton(bool swap) = 0;
  virtual bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                                    const SpiArgument& pvParam, std::uint32_t winIni) = 0;
};

// A window's message handler, as the framework calls it.
class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  virtual LResult OnMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) = 0;
};

struct WindowAttributes {
  std::uint32_t exStyle = 0;
  std::string_view title;
  std::uint32_t style = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Windows, messages and the framework's message loop.
class Windows {
 public:
  virtual ~Windows() = default;

  // Creates a top-level window of a class registered by the framework
  // (class style 0, no cursor, no brush, no icon). WM_CREATE reaches the
  // procedure before this returns; when it answers -1 the window is
  // destroyed again (WM_DESTROY and WM_NCDESTROY reach it) and None returns.
  virtual Hwnd CreateFrameworkWindow(const WindowAttributes& attributes,
                                     WindowProcedure& procedure) = 0;
  virtual LResult DefWindowProc(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual void PostQuitMessage(std::int32_t exitCode) = 0;
  // Runs the calling thread's message loop until the quit message; gives its code.
  virtual std::int32_t RunMessageLoop() = 0;
  virtual std::uint32_t RegisterWindowMessage(std::string_view name) = 0;

  virtual Hwnd FindWindowByTitle(std::string_view title) = 0;  // FindWindowA(NULL, title)
  virtual bool PostMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual LResult SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) = 0;

  virtual Hwnd WindowFromPoint(Point screen) = 0;
  virtual Hwnd ChildWindowFromPoint(Hwnd parent, Point client) = 0;
  virtual Hwnd GetDesktopWindow() = 0;
  virtual bool GetClassName(Hwnd hwnd, ClassName& out) = 0;
  virtual Hwnd GetParent(Hwnd hwnd) = 0;
  virtual Hwnd GetWindow(Hwnd hwnd, std::uint32_t relation) = 0;
  virtual std::int32_t GetWindowLong(Hwnd hwnd, std::int32_t index) = 0;
  virtual std::int32_t SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) = 0;
  virtual bool GetWindowRect(Hwnd hwnd, Rect& out) = 0;
  virtual bool ScreenToClient(Hwnd hwnd, Point& point) = 0;
  // The callback answers true to go on, false to stop.
  using EnumCallback = bool (*)(Hwnd child, void* context);
  virtual bool EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) = 0;

  virtual bool IsIconic(Hwnd hwnd) = 0;
  virtual bool ShowWindow(Hwnd hwnd, std::int32_t command) = 0;
  virtual bool SetForegroundWindow(Hwnd hwnd) = 0;
  virtual Hwnd SetActiveWindow(Hwnd hwnd) = 0;
  virtual Hwnd GetLastActivePopup(Hwnd hwnd) = 0;

  // WTSRegisterSessionNotification / WTSUnRegisterSessionNotification,
  // called through the entry points of a loaded wtsapi32.dll.
  virtual bool RegisterSessionNotification(Module wtsapi, Hwnd hwnd, std::uint32_t flags) = 0;
  virtual bool UnregisterSessionNotification(Module wtsapi, Hwnd hwnd) = 0;
};

// Window timers and the passage of time.
class Timers {
 public:
  virtual ~Timers() = default;
  // May be called from any thread; the tick always arrives on the window's thread.
  virtual bool SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) = 0;
  virtual bool KillTimer(Hwnd hwnd, std::uintptr_t id) = 0;
  virtual std::uint32_t MaximumTimerPeriod() = 0;  // USER_TIMER_MAXIMUM
  virtual void Sleep(std::uint32_t ms) = 0;
  // Sleeps up to ms, ending early when the event is signalled; true when it was.
  virtual bool SleepUnlessSignalled(Handle event, std::uint32_t ms) = 0;
  // timeBeginPeriod / timeEndPeriod: the system timer's resolution while the
  // process holds a request. False for TIMERR_NOCANDO; a refused begin must
  // not be ended.
  virtual bool TimeBeginPeriod(std::uint32_t ms) = 0;
  virtual bool TimeEndPeriod(std::uint32_t ms) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  virtual RegKey OpenKey(RegKey root, std::string_view subkey,
                         std::uint32_t access) = 0;                    // RegOpenKeyExA
  virtual RegKey CreateKey(RegKey root, std::string_view subkey) = 0;  // RegCreateKeyA
  // RegQueryValueExA: up to buffer.size() bytes of the value's data. On
  // success *size is the number of bytes stored; the data is not terminated
  // by this call.
  virtual bool QueryValue(RegKey key, std::string_view name, std::span<char> buffer,
                          std::uint32_t* type, std::uint32_t* size) = 0;
  virtual bool SetValue(RegKey key, std::string_view name, std::uint32_t type,
                        std::span<const char> data) = 0;  // RegSetValueExA
  virtual bool CloseKey(RegKey key) = 0;
};

// Profile (INI) files, plain files and the executable's own path.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                             std::int32_t fallback, std::string_view path) = 0;
  virtual bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                                       std::span<std::uint8_t> out, std::string_view path) = 0;
  virtual bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                         std::string_view value, std::string_view path) = 0;
  // CreateFileA on a plain file; None when it cannot be opened. Close with Kernel::CloseHandle.
  virtual Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition) = 0;
  // GetModuleFileNameA of the running executable; empty when the system cannot give it.
  virtual std::string GetModuleFileName() = 0;
};

// PROCESS_POWER_THROTTLING_STATE.
struct PowerThrottlingState {
  std::uint32_t version = 0;
  std::uint32_t controlMask = 0;
  std::uint32_t stateMask = 0;
};

struct CreatedMutex {
  Handle handle = Handle::None;
  bool alreadyExisted = false;
  // No handle because a process in another security context holds the name.
  bool accessDenied = false;
};

// Kernel objects, threads, shared memory and libraries.
class Kernel {
 public:
  virtual ~Kernel() = default;
  virtual CreatedMutex CreateMutex(std::string_view name) = 0;  // default security, not owned
  virtual bool ReleaseMutex(Handle mutex) = 0;
  virtual Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) = 0;
  virtual bool ReleaseSemaphore(Handle semaphore, std::int32_t count) = 0;
  virtual Handle CreateEvent(bool manualReset, bool initiallySet) = 0;
  virtual bool SetEvent(Handle event) = 0;
  virtual WaitResult WaitForSingleObject(Handle object, std::uint32_t timeoutMs) = 0;
  // WaitForMultipleObjects for any one: of several objects that can be
  // taken, the first in the list is.
  virtual WaitAnyResult WaitForMultipleObjects(std::span<const Handle> objects,
                                               std::uint32_t timeoutMs) = 0;
  virtual bool CloseHandle(Handle object) = 0;

  using ThreadEntry = std::uint32_t (*)(void* parameter);
  virtual Handle CreateThread(std::uint32_t stackSize, ThreadEntry entry, void* parameter) = 0;

  // A paging-file mapping with a null DACL and an inheritable handle
  // (CreateFileMappingA); an existing mapping of that name is opened as it is.
  virtual Handle CreateFileMapping(std::string_view name, std::uint32_t size) = 0;
  virtual void* MapViewOfFile(Handle mapping, std::uint32_t size) = 0;  // read and write
  virtual bool UnmapViewOfFile(void* view) = 0;

  virtual Module LoadLibrary(std::string_view path) = 0;
  virtual bool HasProcedure(Module module, std::string_view name) = 0;  // GetProcAddress
  virtual bool FreeLibrary(Module module) = 0;

  // SetProcessInformation(ProcessPowerThrottling) on the calling process. The
  // entry point is looked up when called: false where the system has none,
  // as well as when it refuses.
  virtual bool SetProcessInformation(const PowerThrottlingState& state) = 0;
};

struct NotifyIconData {
  Hwnd hwnd = Hwnd::None;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  std::uint32_t iconResource = 0;  // of the executable's own resources; 0 for none
  std::string_view tip;
};

// The shell, COM, the notification area, menus and string resources.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual bool CoInitialize() = 0;
  virtual void CoUninitialize() = 0;
  virtual void InitCommonControls() = 0;
  virtual ComObject CreateShellDispatch() = 0;  // CoCreateInstance(CLSID_Shell, IShellDispatch)
  virtual void ShellFindFiles(ComObject shell) = 0;
  virtual void ShellFileRun(ComObject shell) = 0;
  virtual void Release(ComObject object) = 0;

  virtual bool ShellExecute(Hwnd owner, std::string_view verb, std::string_view file,
                            std::int32_t show) = 0;
  // SHGetSpecialFolderLocation, ShellExecuteExA with SEE_MASK_IDLIST, then
  // the item list freed through SHGetMalloc.
  virtual bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) = 0;

  virtual bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;

  // LoadStringA: the length copied, 0 when the string or the library is missing.
  virtual std::int32_t LoadString(Module module, std::uint32_t id, std::span<char> buffer) = 0;
  virtual Menu CreatePopupMenu() = 0;
  virtual bool AppendMenu(Menu menu, std::uint32_t flags, std::uintptr_t id,
                          const char* text) = 0;  // text null for a separator
  virtual bool SetMenuDefaultItem(Menu menu, std::uint32_t item, bool byPosition) = 0;
  // Flags 0: returns when the menu closes; a chosen item arrives as WM_COMMAND.
  virtual bool TrackPopupMenu(Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                              Hwnd owner) = 0;
  virtual bool DestroyMenu(Menu menu) = 0;
};

// The mouse driver's control device.
class DriverDevice {
 public:
  virtual ~DriverDevice() = default;
  // CreateFileA on the device; None when it cannot be opened.
  virtual Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) = 0;
  // DeviceIoControl, synchronous; in and out may be the same buffer.
  virtual bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                         void* out, std::uint32_t outSize) = 0;
  virtual bool Close(Handle device) = 0;  // CloseHandle
};

// The whole seam, as the logic receives it.
struct Platform {
  Input& input;
  Windows& windows;
  Timers& timers;
  Registry& registry;
  ProfileFiles& profile;
  Kernel& kernel;
  Shell& shell;
  DriverDevice& driver;
};

}  // namespace hidhost::platform
