// The platform's facets with a recording laid over them: each call goes on to
// the platform underneath unchanged; calls with an effect outside the host add
// their trace line to the input being handled, and what the host reads of the
// world adds the directive that makes a replay read the same.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/FacetBases.h"
#include "platform/Platform.h"
#include "record/Session.h"

namespace hidhost::record {

// The messages of the host's own protocol that a recording must recognise.
struct HostMessages {
  std::uint32_t trayCallback = 0;
  std::uintptr_t trayIconId = 0;
  std::vector<std::uint32_t> sharedUpdates;  // make the host read the shared block
};

// What the facets share: the session, the world as the replay will see it.
class RecordingContext {
 public:
  RecordingContext(Session& session, const HostMessages& messages, std::string hostDirectory)
      : session(session), messages(messages), hostDirectory_(std::move(hostDirectory)) {}

  Session& session;
  const HostMessages messages;

  // A path under the host's directory as the replay's host directory spells it.
  std::string ReplayPath(std::string_view path) const;
  bool OnWindowThread() const { return std::this_thread::get_id() == windowThread_; }

  // The shared block's view, once the host has mapped it.
  void SetSharedView(const void* view, std::uint32_t size);
  void ForgetSharedView(const void* view);
  std::vector<std::uint8_t> SharedBytes();

  // RegisterWindowMessageA's number for a name, and the replay's for the same.
  void Registered(std::string_view name, std::uint32_t number);
  std::uint32_t ReplayMessage(std::uint32_t number);

 private:
  const std::thread::id windowThread_ = std::this_thread::get_id();
  std::string hostDirectory_;
  std::mutex mutex_;
  const void* sharedView_ = nullptr;  // guarded by mutex_
  std::uint32_t sharedSize_ = 0;
  std::vector<std::pair<std::string, std::uint32_t>> registered_;  // in order of registration
};

class RecordingInput final : public platform::ForwardingInput {
 public:
  RecordingInput(platform::Input& inner, RecordingContext& context)
      : ForwardingInput(inner), context_(context) {}
  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override;
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override;
  bool GetCursorPos(platform::Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool SetDoubleClickTime(std::uint32_t ms) override;
  bool SwapMouseButton(bool swap) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                            const platform::SpiArgument& pvParam, std::uint32_t winIni) override;

 private:
  RecordingContext& context_;
};

class RecordingWindows final : public platform::ForwardingWindows {
 public:
  RecordingWindows(platform::Windows& inner, RecordingContext& context);
  ~RecordingWindows() override;
  platform::Hwnd CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                       platform::WindowProcedure& procedure) override;
  std::int32_t RunMessageLoop() override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;

  platform::Hwnd FindWindowByTitle(std::string_view title) override;
  bool PostMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                   platform::LParam lParam) override;
  platform::LResult SendMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;

  platform::Hwnd WindowFromPoint(platform::Point screen) override;
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) override;
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

  // Start-up is over: what reaches the window from here on are the host's inputs.
  void StartUpDone();
  // The procedure's side: a message reached the host's window.
  platform::LResult Deliver(platform::WindowProcedure& procedure, platform::Hwnd hwnd,
                            std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam);

 private:
  class Procedure;
  // Declares a window the host looked at, and its ancestors, for the replay.
  void See(platform::Hwnd hwnd);
  std::uintptr_t Id(platform::Hwnd hwnd);
  platform::LParam ReplayLParam(std::uint32_t message, platform::LParam lParam);
  bool IsHostWindow(platform::Hwnd hwnd) const;
  // The directive a message to the host's window stands for; empty: a plain message.
  std::string DirectiveOf(std::uint32_t message, platform::WParam wParam, platform::LParam lParam,
                          Keep& keep);
  void NoteSharedBlock();

  RecordingContext& context_;
  std::vector<Procedure*> procedures_;  // window thread only
  // Written on the window thread before the event thread exists; read on both.
  std::atomic<platform::Hwnd> hostWindow_{platform::Hwnd::None};
  int depth_ = 0;                         // window thread only: nested deliveries
  bool looping_ = false;                  // window thread only
  std::vector<std::uint8_t> sharedSeen_;  // window thread only: the block after the last input
};

class RecordingTimers final : public platform::ForwardingTimers {
 public:
  RecordingTimers(platform::Timers& inner, RecordingContext& context)
      : ForwardingTimers(inner), context_(context) {}
  bool SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override;
  bool KillTimer(platform::Hwnd hwnd, std::uintptr_t id) override;
  void Sleep(std::uint32_t ms) override;
  bool SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) override;
  bool TimeBeginPeriod(std::uint32_t ms) override;
  bool TimeEndPeriod(std::uint32_t ms) override;

 private:
  RecordingContext& context_;
};

class RecordingRegistry final : public platform::ForwardingRegistry {
 public:
  RecordingRegistry(platform::Registry& inner, RecordingContext& context)
      : ForwardingRegistry(inner), context_(context) {}
  platform::RegKey OpenKey(platform::RegKey root, std::string_view subkey,
                           std::uint32_t access) override;
  platform::RegKey CreateKey(platform::RegKey root, std::string_view subkey) override;
  bool QueryValue(platform::RegKey key, std::string_view name, std::span<char> buffer,
                  std::uint32_t* type, std::uint32_t* size) override;
  bool SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(platform::RegKey key) override;

 private:
  std::string PathOf(platform::RegKey key);
  void Opened(platform::RegKey key, std::string path);

  RecordingContext& context_;
  std::mutex mutex_;
  std::map<std::uintptr_t, std::string> paths_;  // open keys; guarded by mutex_
  std::map<std::string, std::string> values_;    // as the replay holds them; guarded by mutex_
};

class RecordingProfileFiles final : public platform::ForwardingProfileFiles {
 public:
  RecordingProfileFiles(platform::ProfileFiles& inner, RecordingContext& context)
      : ForwardingProfileFiles(inner), context_(context) {}
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;

 private:
  RecordingContext& context_;
};

// Device handles the host holds, by the name it opened them with.
class OpenDevices {
 public:
  void Add(platform::Handle handle, std::string name);
  std::optional<std::string> Remove(platform::Handle handle);

 private:
  std::mutex mutex_;
  std::map<std::uintptr_t, std::string> names_;  // guarded by mutex_
};

class RecordingKernel final : public platform::ForwardingKernel {
 public:
  RecordingKernel(platform::Kernel& inner, RecordingContext& context, OpenDevices& devices)
      : ForwardingKernel(inner), context_(context), devices_(devices) {}
  platform::CreatedMutex CreateMutex(std::string_view name) override;
  platform::Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override;
  platform::WaitResult WaitForSingleObject(platform::Handle object,
                                           std::uint32_t timeoutMs) override;
  platform::WaitAnyResult WaitForMultipleObjects(std::span<const platform::Handle> objects,
                                                 std::uint32_t timeoutMs) override;
  bool CloseHandle(platform::Handle object) override;
  platform::Handle CreateFileMapping(std::string_view name, std::uint32_t size) override;
  void* MapViewOfFile(platform::Handle mapping, std::uint32_t size) override;
  bool UnmapViewOfFile(void* view) override;
  bool SetProcessInformation(const platform::PowerThrottlingState& state) override;

 private:
  bool IsSemaphore(platform::Handle handle);

  RecordingContext& context_;
  OpenDevices& devices_;
  std::mutex mutex_;
  std::set<std::string> ownMutexes_;     // guarded by mutex_
  std::set<std::uintptr_t> semaphores_;  // guarded by mutex_
};

class RecordingShell final : public platform::ForwardingShell {
 public:
  RecordingShell(platform::Shell& inner, RecordingContext& context)
      : ForwardingShell(inner), context_(context) {}
  void ShellFindFiles(platform::ComObject shell) override;
  void ShellFileRun(platform::ComObject shell) override;
  bool ShellExecute(platform::Hwnd owner, std::string_view verb, std::string_view file,
                    std::int32_t show) override;
  bool OpenSpecialFolder(std::int32_t csidl, std::int32_t show) override;
  bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override;
  bool AppendMenu(platform::Menu menu, std::uint32_t flags, std::uintptr_t id,
                  const char* text) override;
  bool SetMenuDefaultItem(platform::Menu menu, std::uint32_t item, bool byPosition) override;
  bool TrackPopupMenu(platform::Menu menu, std::uint32_t flags, std::int32_t x, std::int32_t y,
                      platform::Hwnd owner) override;

 private:
  RecordingContext& context_;
};

class RecordingDriverDevice final : public platform::ForwardingDriverDevice {
 public:
  RecordingDriverDevice(platform::DriverDevice& inner, RecordingContext& context,
                        OpenDevices& devices)
      : ForwardingDriverDevice(inner), context_(context), devices_(devices) {}
  platform::Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                        std::uint32_t disposition) override;
  bool IoControl(platform::Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                 void* out, std::uint32_t outSize) override;
  bool Close(platform::Handle device) override;

 private:
  RecordingContext& context_;
  OpenDevices& devices_;
  std::mutex mutex_;
  std::string declaredMode_ = "driver absent";  // guarded by mutex_; the replay's default
};

}  // namespace hidhost::record
