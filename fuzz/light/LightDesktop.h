// A desktop made for fuzzing at the speed of the host's own code: every
// facet of the seam in plain memory, no threads, no trace text, and its state
// open to the checks. It is as strict as the checks need and no stricter:
// handles are counted so that a leak shows, synthesized input is tracked so
// that a key or button left down (or let go twice) shows, and the driver
// keeps its registration and mask as the real one does.
//
// The event thread is run by the desktop, not by the system: CreateThread
// keeps its entry, and RunEventThread enters it until it waits on an empty
// semaphore. That wait ends the call instead of blocking; the next
// RunEventThread enters the thread's loop again, which starts by checking
// for the tear-down exactly as the loop does after every wake-up.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzedRegistry.h"
#include "platform/FacetBases.h"
#include "platform/Platform.h"
#include "platform/sim/ProfileText.h"
#include "settings/MouseSettings.h"
#include "support/TreeWindows.h"

namespace hidhost::fuzzing {

enum class ObjectKind : std::uint8_t {
  Mutex,
  Semaphore,
  Event,
  Thread,
  Mapping,
  File,
  Module,
  Device,
  Com,
  Menu
};

// Every object the host can hold, by handle value; closing twice, or closing
// through the wrong call, fails as it would on the system.
class ObjectTable {
 public:
  struct Object {
    std::uintptr_t handle;
    ObjectKind kind;
    std::int32_t count;  // a semaphore's count; an event's state (0 or 1)
    std::int32_t maximum;
    std::uint8_t tag;  // what the object stands for (LightKernel::Tag)
  };

  ObjectTable() { objects_.reserve(16); }

  std::uintptr_t Open(ObjectKind kind, std::uint8_t tag = 0, std::int32_t count = 0,
                      std::int32_t maximum = 0);
  Object* Find(std::uintptr_t handle, ObjectKind kind);
  Object* FindAny(std::uintptr_t handle);
  bool Close(std::uintptr_t handle, ObjectKind kind);
  bool CloseAny(std::uintptr_t handle);
  std::size_t OpenCount() const { return objects_.size(); }
  std::size_t OpenCount(ObjectKind kind) const;

 private:
  std::vector<Object> objects_;
  std::uintptr_t next_ = 0x100;
};

// What the host has synthesized and not let go. A key or button is down, as
// the system sees it, from a down until the next up. Two actions may send
// the same input (two buttons both assigned Middle, a held Middle and a
// middle click); each up must still pair with a down of its own, so an up
// with no down outstanding is a second up that an application would see.
class HeldInput {
 public:
  enum Button : std::size_t { kLeft, kRight, kMiddle, kX1, kX2, kButtons };

  void Key(std::uint8_t vk, bool down) { Edge(keys_[vk], down); }
  void MouseButton(Button button, bool down) { Edge(buttons_[button], down); }
  bool NothingDown() const { return down_ == 0; }
  int StrayUps() const { return strayUps_; }

 private:
  struct State {
    std::uint16_t outstanding = 0;  // downs not yet paired with an up
    bool down = false;
  };
  void Edge(State& state, bool down);

  std::array<State, 256> keys_{};
  std::array<State, kButtons> buttons_{};
  int down_ = 0;  // keys and buttons down
  int strayUps_ = 0;
};

class LightInput final : public platform::QuietInput {
 public:
  HeldInput& Held() { return held_; }
  const HeldInput& Held() const { return held_; }
  void SetCursor(platform::Point p) { cursor_ = p; }
  // The acceleration triple of the last SPI_SETMOUSE, if any was sent.
  const std::optional<std::array<std::int32_t, 3>>& LastAcceleration() const {
    return acceleration_;
  }
  int Actions() const { return actions_; }

  void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                  std::uintptr_t extra) override;
  void MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extra) override;
  std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
  bool GetCursorPos(platform::Point& out) override;
  bool SetCursorPos(std::int32_t x, std::int32_t y) override;
  std::int32_t GetSystemMetrics(std::int32_t index) override;
  bool SetDoubleClickTime(std::uint32_t ms) override;
  bool SwapMouseButton(bool swap) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                            const platform::SpiArgument& pvParam, std::uint32_t winIni) override;

 private:
  HeldInput held_;
  platform::Point cursor_{};
  bool swapped_ = false;
  std::optional<std::array<std::int32_t, 3>> acceleration_;
  int actions_ = 0;  // input calls made, to tell a silent host from a busy one
};

class LightTimers;

// The host's one framework window, the companions it looks for by title,
// and a tree of other windows for the scroll search.
class LightWindows final : public bench::TreeWindows {
 public:
  static constexpr platform::Hwnd kHost = static_cast<platform::Hwnd>(0x10001);
  static constexpr platform::Hwnd kConfigurationWindow = static_cast<platform::Hwnd>(0x7001);
  static constexpr platform::Hwnd kDisplayWindow = static_cast<platform::Hwnd>(0x7002);

  // The session a message loop runs; null: the loop only delivers messages.
  using Session = void (*)(void* context);
  void SetSession(Session session, void* context) {
    session_ = session;
    sessionContext_ = context;
  }
  void SetCompanions(bool configurationProgram, bool display, bool minimised);
  // The window's timers end with it.
  void AttachTimers(LightTimers& timers) { timers_ = &timers; }

  bool HostAlive() const { return procedure_ != nullptr; }
  // Delivers what was posted to the host window; false once it is gone.
  bool Pump();
  platform::LResult SendToHost(std::uint32_t message, platform::WParam wParam = 0,
                               platform::LParam lParam = 0);
  // The number RegisterWindowMessage gave the name; 0 when nobody registered it.
  std::uint32_t RegisteredMessage(std::string_view name) const;
  bool SessionRegistered() const { return sessionRegistered_; }
  int PostsToNoWindow() const { return postsToNoWindow_; }

  platform::Hwnd CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                       platform::WindowProcedure& procedure) override;
  platform::LResult DefWindowProc(platform::Hwnd hwnd, std::uint32_t message, platform::WParam,
                                  platform::LParam) override;
  void PostQuitMessage(std::int32_t exitCode) override { quitCode_ = exitCode; }
  std::int32_t RunMessageLoop() override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;
  platform::Hwnd FindWindowByTitle(std::string_view title) override;
  bool PostMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                   platform::LParam lParam) override;
  platform::LResult SendMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;
  bool GetClassName(platform::Hwnd hwnd, platform::ClassName& out) override;
  bool IsIconic(platform::Hwnd hwnd) override;
  bool ShowWindow(platform::Hwnd hwnd, std::int32_t command) override;
  bool SetForegroundWindow(platform::Hwnd hwnd) override;
  platform::Hwnd SetActiveWindow(platform::Hwnd hwnd) override;
  bool RegisterSessionNotification(platform::Module, platform::Hwnd hwnd,
                                   std::uint32_t flags) override;
  bool UnregisterSessionNotification(platform::Module, platform::Hwnd hwnd) override;

 private:
  struct Posted {
    std::uint32_t message;
    platform::WParam wParam;
    platform::LParam lParam;
  };
  bool Companion(platform::Hwnd hwnd) const;
  bool Destroy(platform::Hwnd hwnd);

  platform::WindowProcedure* procedure_ = nullptr;
  LightTimers* timers_ = nullptr;
  std::vector<Posted> posted_;  // a vector: a deque allocates a block even when empty
  std::optional<std::int32_t> quitCode_;
  Session session_ = nullptr;
  void* sessionContext_ = nullptr;
  bool configurationProgram_ = false;
  bool display_ = false;
  bool minimised_ = false;
  bool sessionRegistered_ = false;
  int postsToNoWindow_ = 0;
  std::vector<std::string> registeredNames_;
};

class LightKernel;

class LightTimers final : public platform::QuietTimers {
 public:
  explicit LightTimers(LightKernel& kernel) : kernel_(kernel) {}
  bool Running(std::uintptr_t id) const;
  std::span<const std::uintptr_t> RunningIds() const { return running_; }
  // The system refuses resolution requests (TIMERR_NOCANDO).
  void SetResolutionRefused(bool refused) { resolutionRefused_ = refused; }
  // Raises of the resolution not yet lowered; lowers with no raise to match.
  int RaisedResolution() const { return raised_; }
  int StrayLowers() const { return strayLowers_; }
  // The window's timers end with it.
  void ForgetAll() { running_.clear(); }

  bool SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override;
  bool KillTimer(platform::Hwnd hwnd, std::uintptr_t id) override;
  bool SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) override;
  bool TimeBeginPeriod(std::uint32_t ms) override;
  bool TimeEndPeriod(std::uint32_t ms) override;

 private:
  LightKernel& kernel_;
  std::vector<std::uintptr_t> running_;  // on the host window, the only one with timers
  bool resolutionRefused_ = false;
  int raised_ = 0;
  int strayLowers_ = 0;
};

// config.ini beside C:\HidHost\HidHost.exe, as text; the system's rules for
// reading and editing it are the simulator's (sim/ProfileText.h).
class LightProfileFiles final : public platform::QuietProfileFiles {
 public:
  static constexpr std::string_view kModulePath = "C:\\HidHost\\HidHost.exe";
  static constexpr std::string_view kConfigPath = "C:\\HidHost\\config.ini";

  explicit LightProfileFiles(ObjectTable& objects) : objects_(objects) {}
  // nullopt: there is no config.ini.
  void SetText(std::optional<std::string> text) {
    text_ = std::move(text);
    sectionRead_ = false;
  }
  const std::optional<std::string>& Text() const { return text_; }
  // Another program has the file open: it cannot be opened without sharing.
  void SetLocked(bool locked) { locked_ = locked; }

  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override;
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override;
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;
  platform::Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition) override;
  std::string GetModuleFileName() override { return std::string(kModulePath); }

 private:
  const std::string* TextAt(std::string_view path) const;
  // The value of a key in the file. The host reads every key of one section,
  // and the file more than once: the section is read once per text.
  std::optional<std::string> Value(std::string_view section, std::string_view key,
                                   std::string_view path);

  ObjectTable& objects_;
  std::optional<std::string> text_;
  bool sectionRead_ = false;
  std::string section_;
  std::vector<sim::ProfileLine> lines_;  // of section_ in text_
  bool locked_ = false;
};

class LightKernel final : public platform::QuietKernel {
 public:
  enum Tag : std::uint8_t { kPlain, kSessionLibrary, kStringLibrary, kSharedMutex };

  explicit LightKernel(ObjectTable& objects) : objects_(objects) {}

  // Names another program already holds: CreateMutex opens them as existing.
  void SetTakenMutexes(bool instance, bool shared) {
    instanceTaken_ = instance;
    sharedTaken_ = shared;
  }
  // The next wait on the shared block's mutex finds its owner died holding it.
  void AbandonSharedMutexOnce() { abandonShared_ = true; }
  void SetStringLibrary(bool present) { stringLibrary_ = present; }
  std::span<std::uint8_t, settings::kMouseSettingsSize> Block() { return block_; }
  int MappedViews() const { return views_; }
  int HeldMutexes() const { return heldMutexes_; }

  // Raises a semaphore on the driver's behalf; false when it is not one or is full.
  bool RaiseSemaphore(std::uintptr_t semaphore);
  // Runs the event thread until it waits on an empty semaphore or ends.
  void RunEventThread();
  bool EventThreadEnded() const { return threadEntry_ == nullptr; }
  bool IsSignalledEvent(platform::Handle event);

  platform::CreatedMutex CreateMutex(std::string_view name) override;
  bool ReleaseMutex(platform::Handle mutex) override;
  platform::Handle CreateSemaphore(std::int32_t initial, std::int32_t maximum) override;
  bool ReleaseSemaphore(platform::Handle semaphore, std::int32_t count) override;
  platform::Handle CreateEvent(bool manualReset, bool initiallySet) override;
  bool SetEvent(platform::Handle event) override;
  platform::WaitResult WaitForSingleObject(platform::Handle object,
                                           std::uint32_t timeoutMs) override;
  platform::WaitAnyResult WaitForMultipleObjects(std::span<const platform::Handle> objects,
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

 private:
  ObjectTable& objects_;
  alignas(8) std::array<std::uint8_t, settings::kMouseSettingsSize> block_{};
  int views_ = 0;
  int heldMutexes_ = 0;
  bool instanceTaken_ = false;
  bool sharedTaken_ = false;
  bool abandonShared_ = false;
  bool stringLibrary_ = false;
  ThreadEntry threadEntry_ = nullptr;  // null once the thread has ended
  void* threadParameter_ = nullptr;
  bool inThread_ = false;
  bool threadBlocked_ = false;
};

class LightShell final : public platform::QuietShell {
 public:
  explicit LightShell(ObjectTable& objects) : objects_(objects) {}
  bool IconShown() const { return iconShown_; }
  int ComInitialisations() const { return comInitialised_; }

  bool CoInitialize() override;
  void CoUninitialize() override { --comInitialised_; }
  platform::ComObject CreateShellDispatch() override;
  void Release(platform::ComObject object) override;
  bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override;
  std::int32_t LoadString(platform::Module module, std::uint32_t id,
                          std::span<char> buffer) override;
  platform::Menu CreatePopupMenu() override;
  bool AppendMenu(platform::Menu menu, std::uint32_t, std::uintptr_t, const char*) override;
  bool SetMenuDefaultItem(platform::Menu menu, std::uint32_t, bool) override;
  bool TrackPopupMenu(platform::Menu menu, std::uint32_t, std::int32_t, std::int32_t,
                      platform::Hwnd) override;
  bool DestroyMenu(platform::Menu menu) override;

 private:
  ObjectTable& objects_;
  bool iconShown_ = false;
  int comInitialised_ = 0;
};

// The filter driver: queues words only for a registered client, raising its
// semaphore once per word; the registration ends with the last handle.
class LightDriver final : public platform::QuietDriverDevice {
 public:
  LightDriver(ObjectTable& objects, LightKernel& kernel) : objects_(objects), kernel_(kernel) {}
  void SetPresent(bool present) { present_ = present; }
  bool Registered() const { return registered_ != 0; }
  bool Open() const { return objects_.OpenCount(ObjectKind::Device) > 0; }
  std::optional<std::uint32_t> LastMask() const { return mask_; }
  // False when the word went nowhere (no client registered).
  bool Queue(std::uint32_t word);

  platform::Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                        std::uint32_t disposition) override;
  bool IoControl(platform::Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                 void* out, std::uint32_t outSize) override;
  bool Close(platform::Handle device) override;

 private:
  ObjectTable& objects_;
  LightKernel& kernel_;
  bool present_ = true;
  std::uintptr_t registered_ = 0;
  std::vector<std::uint32_t> queue_;  // the event thread empties it word by word
  std::optional<std::uint32_t> mask_;
};

class LightDesktop {
 public:
  LightDesktop();
  LightDesktop(const LightDesktop&) = delete;
  LightDesktop& operator=(const LightDesktop&) = delete;

  platform::Platform& Platform() { return platform_; }
  ObjectTable& Objects() { return objects_; }
  LightInput& Input() { return input_; }
  LightWindows& Windows() { return windows_; }
  LightTimers& Timers() { return timers_; }
  FuzzedRegistry& Registry() { return registry_; }
  LightProfileFiles& Profile() { return profile_; }
  LightKernel& Kernel() { return kernel_; }
  LightShell& Shell() { return shell_; }
  LightDriver& Driver() { return driver_; }

  // The driver reports a word; the event thread handles it at once.
  void Event(std::uint32_t word);
  // Every handle, key and registration the host holds at the system's side.
  std::size_t OpenObjects() const {
    return objects_.OpenCount() + static_cast<std::size_t>(registry_.OpenKeyCount());
  }

 private:
  ObjectTable objects_;
  LightInput input_;
  LightWindows windows_;
  LightKernel kernel_{objects_};
  LightTimers timers_{kernel_};
  FuzzedRegistry registry_;
  LightProfileFiles profile_{objects_};
  LightShell shell_{objects_};
  LightDriver driver_{objects_, kernel_};
  platform::Platform platform_{input_,   windows_, timers_, registry_,
                               profile_, kernel_,  shell_,  driver_};
};

}  // namespace hidhost::fuzzing
