#include "light/LightDesktop.h"

#include <algorithm>
#include <cstring>

#include "app/ConfigurationProgram.h"
#include "app/HostApp.h"
#include "app/HostWindow.h"
#include "device/DriverChannel.h"
#include "platform/Constants.h"
#include "platform/sim/ProfileText.h"
#include "settings/SharedSettingsBlock.h"

namespace hidhost::fuzzing {

using platform::Handle;
using platform::Hwnd;

namespace {

constexpr std::string_view kSessionLibraryName = "wtsapi32.dll";
constexpr std::string_view kStringLibrarySuffix = "lan.dll";
constexpr std::int32_t kScreenWidth = 1920;
constexpr std::int32_t kScreenHeight = 1080;
constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
// A posted message may post another; no host posts to itself this often.
constexpr int kMostDeliveriesPerPump = 256;
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::uint32_t WordAt(const void* bytes) {
  std::uint32_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

// ---- Objects -----------------------------------------------------------------

std::uintptr_t ObjectTable::Open(ObjectKind kind, std::uint8_t tag, std::int32_t count,
                                 std::int32_t maximum) {
  const std::uintptr_t handle = next_;
  next_ += 4;
  objects_.push_back({handle, kind, count, maximum, tag});
  return handle;
}

ObjectTable::Object* ObjectTable::FindAny(std::uintptr_t handle) {
  for (Object& object : objects_) {
    if (object.handle == handle) return &object;
  }
  return nullptr;
}

ObjectTable::Object* ObjectTable::Find(std::uintptr_t handle, ObjectKind kind) {
  Object* object = FindAny(handle);
  return object != nullptr && object->kind == kind ? object : nullptr;
}

bool ObjectTable::Close(std::uintptr_t handle, ObjectKind kind) {
  return Find(handle, kind) != nullptr && CloseAny(handle);
}

bool ObjectTable::CloseAny(std::uintptr_t handle) {
  const auto found = std::find_if(objects_.begin(), objects_.end(),
                                  [&](const Object& object) { return object.handle == handle; });
  if (found == objects_.end()) return false;
  objects_.erase(found);
  return true;
}

std::size_t ObjectTable::OpenCount(ObjectKind kind) const {
  return static_cast<std::size_t>(std::count_if(
      objects_.begin(), objects_.end(), [&](const Object& object) { return object.kind == kind; }));
}

// ---- Input -------------------------------------------------------------------

void HeldInput::Edge(State& state, bool down) {
  if (down) {
    ++state.outstanding;
  } else if (state.outstanding == 0) {
    ++strayUps_;
  } else {
    --state.outstanding;
  }
  if (state.down != down) down_ += down ? 1 : -1;
  state.down = down;
}

void LightInput::KeybdEvent(std::uint8_t vk, std::uint8_t, std::uint32_t flags, std::uintptr_t) {
  ++actions_;
  held_.Key(vk, (flags & platform::kKeyUp) == 0);
}

void LightInput::MouseEvent(std::uint32_t flags, std::int32_t, std::int32_t, std::int32_t data,
                            std::uintptr_t) {
  ++actions_;
  struct Edge {
    std::uint32_t down;
    std::uint32_t up;
    HeldInput::Button button;
  };
  static constexpr Edge kEdges[] = {
      {platform::kMouseLeftDown, platform::kMouseLeftUp, HeldInput::kLeft},
      {platform::kMouseRightDown, platform::kMouseRightUp, HeldInput::kRight},
      {platform::kMouseMiddleDown, platform::kMouseMiddleUp, HeldInput::kMiddle},
  };
  // One call may carry a down and an up: a click.
  for (const Edge& edge : kEdges) {
    if ((flags & edge.down) != 0) held_.MouseButton(edge.button, true);
  }
  const bool xButton = data == platform::kXButton1 || data == platform::kXButton2;
  const HeldInput::Button x = data == platform::kXButton1 ? HeldInput::kX1 : HeldInput::kX2;
  if (xButton && (flags & platform::kMouseXDown) != 0) held_.MouseButton(x, true);
  for (const Edge& edge : kEdges) {
    if ((flags & edge.up) != 0) held_.MouseButton(edge.button, false);
  }
  if (xButton && (flags & platform::kMouseXUp) != 0) held_.MouseButton(x, false);
}

std::uint32_t LightInput::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
  // Any non-zero scan code will do; the host only passes it on.
  return mapType == platform::kMapVkToVsc ? (code & 0x7F) | 0x01 : 0;
}

bool LightInput::GetCursorPos(platform::Point& out) {
  out = cursor_;
  return true;
}

bool LightInput::SetCursorPos(std::int32_t x, std::int32_t y) {
  ++actions_;
  cursor_ = {std::clamp(x, 0, kScreenWidth - 1), std::clamp(y, 0, kScreenHeight - 1)};
  return true;
}

std::int32_t LightInput::GetSystemMetrics(std::int32_t index) {
  switch (index) {
    case 0:
      return kScreenWidth;
    case 1:
      return kScreenHeight;
    case platform::kSmSwapButton:
      return swapped_ ? 1 : 0;
    default:
      return 0;
  }
}

bool LightInput::SetDoubleClickTime(std::uint32_t) {
  return true;
}

bool LightInput::SwapMouseButton(bool swap) {
  const bool was = swapped_;
  swapped_ = swap;
  return was;
}

bool LightInput::SystemParametersInfo(std::uint32_t action, std::uint32_t,
                                      const platform::SpiArgument& pvParam, std::uint32_t) {
  if (action == platform::kSpiSetMouse && pvParam.kind == platform::SpiArgument::Kind::Triple) {
    acceleration_ = {pvParam.values[0], pvParam.values[1], pvParam.values[2]};
  }
  return true;
}

// ---- Windows -----------------------------------------------------------------

void LightWindows::SetCompanions(bool configurationProgram, bool display, bool minimised) {
  configurationProgram_ = configurationProgram;
  display_ = display;
  minimised_ = minimised;
}

bool LightWindows::Companion(Hwnd hwnd) const {
  return (hwnd == kConfigurationWindow && configurationProgram_) ||
         (hwnd == kDisplayWindow && display_);
}

Hwnd LightWindows::CreateFrameworkWindow(const platform::WindowAttributes&,
                                         platform::WindowProcedure& procedure) {
  if (procedure_ != nullptr) return Hwnd::None;
  procedure_ = &procedure;
  if (procedure.OnMessage(kHost, platform::kWmCreate, 0, 0) == -1) {
    Destroy(kHost);
    return Hwnd::None;
  }
  return HostAlive() ? kHost : Hwnd::None;
}

bool LightWindows::Destroy(Hwnd hwnd) {
  if (hwnd != kHost || procedure_ == nullptr) return false;
  platform::WindowProcedure& procedure = *procedure_;
  procedure.OnMessage(kHost, platform::kWmDestroy, 0, 0);
  procedure.OnMessage(kHost, platform::kWmNcDestroy, 0, 0);
  procedure_ = nullptr;
  posted_.clear();
  if (timers_ != nullptr) timers_->ForgetAll();
  return true;
}

platform::LResult LightWindows::DefWindowProc(Hwnd hwnd, std::uint32_t message, platform::WParam,
                                              platform::LParam) {
  if (message == platform::kWmClose) Destroy(hwnd);
  return 0;
}

std::int32_t LightWindows::RunMessageLoop() {
  if (!quitCode_ && HostAlive() && session_ != nullptr) session_(sessionContext_);
  Pump();
  if (!quitCode_ && HostAlive()) {
    PostMessage(kHost, platform::kWmClose, 0, 0);
    Pump();
  }
  // A loop whose window is gone without a quit message would wait for ever.
  return quitCode_.value_or(-1);
}

bool LightWindows::Pump() {
  for (int delivered = 0; procedure_ != nullptr && !posted_.empty(); ++delivered) {
    if (delivered == kMostDeliveriesPerPump) return false;
    const Posted next = posted_.front();
    posted_.erase(posted_.begin());
    procedure_->OnMessage(kHost, next.message, next.wParam, next.lParam);
  }
  return HostAlive();
}

platform::LResult LightWindows::SendToHost(std::uint32_t message, platform::WParam wParam,
                                           platform::LParam lParam) {
  return procedure_ != nullptr ? procedure_->OnMessage(kHost, message, wParam, lParam) : 0;
}

std::uint32_t LightWindows::RegisteredMessage(std::string_view name) const {
  const auto found = std::find(registeredNames_.begin(), registeredNames_.end(), name);
  if (found == registeredNames_.end()) return 0;
  return kFirstRegisteredMessage + static_cast<std::uint32_t>(found - registeredNames_.begin());
}

std::uint32_t LightWindows::RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  if (RegisteredMessage(name) == 0) registeredNames_.emplace_back(name);
  return RegisteredMessage(name);
}

Hwnd LightWindows::FindWindowByTitle(std::string_view title) {
  if (title == app::kConfigurationWindowTitle && configurationProgram_) return kConfigurationWindow;
  if (title == app::kDisplayWindowTitle && display_) return kDisplayWindow;
  if (title == app::kHostWindowTitle && HostAlive()) return kHost;
  return Hwnd::None;
}

bool LightWindows::PostMessage(Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                               platform::LParam lParam) {
  if (hwnd == Hwnd::None) {
    // A thread message to the poster's own thread, which nothing reads.
    ++postsToNoWindow_;
    return true;
  }
  if (hwnd == kHost) {
    if (!HostAlive()) return false;
    posted_.push_back({message, wParam, lParam});
    return true;
  }
  return Companion(hwnd) || tree_.Exists(hwnd);
}

platform::LResult LightWindows::SendMessage(Hwnd hwnd, std::uint32_t message,
                                            platform::WParam wParam, platform::LParam lParam) {
  return hwnd == kHost ? SendToHost(message, wParam, lParam) : 0;
}

bool LightWindows::GetClassName(Hwnd hwnd, platform::ClassName& out) {
  if (Companion(hwnd)) {
    out.Assign(hwnd == kConfigurationWindow ? "#32770" : "OsdWindow");
    return true;
  }
  return TreeWindows::GetClassName(hwnd, out);
}


bool LightWindows::IsIconic(Hwnd hwnd) {
  return hwnd == kConfigurationWindow && configurationProgram_ && minimised_;
}

bool LightWindows::ShowWindow(Hwnd hwnd, std::int32_t command) {
  const bool wasVisible = Companion(hwnd) && !IsIconic(hwnd);
  if (hwnd == kConfigurationWindow && command == platform::kSwShowNormal) minimised_ = false;
  return wasVisible;
}

bool LightWindows::SetForegroundWindow(Hwnd hwnd) {
  return Companion(hwnd) || hwnd == kHost;
}

Hwnd LightWindows::SetActiveWindow(Hwnd hwnd) {
  return Companion(hwnd) ? kHost : Hwnd::None;
}

bool LightWindows::RegisterSessionNotification(platform::Module, Hwnd hwnd, std::uint32_t) {
  if (hwnd != kHost || !HostAlive()) return false;
  sessionRegistered_ = true;
  return true;
}

bool LightWindows::UnregisterSessionNotification(platform::Module, Hwnd hwnd) {
  if (hwnd != kHost || !sessionRegistered_) return false;
  sessionRegistered_ = false;
  return true;
}

// ---- Timers ------------------------------------------------------------------

bool LightTimers::Running(std::uintptr_t id) const {
  return std::find(running_.begin(), running_.end(), id) != running_.end();
}

bool LightTimers::SetTimer(Hwnd hwnd, std::uintptr_t id, std::uint32_t) {
  if (hwnd != LightWindows::kHost) return false;
  if (!Running(id)) running_.push_back(id);
  return true;
}

bool LightTimers::KillTimer(Hwnd hwnd, std::uintptr_t id) {
  const auto found = std::find(running_.begin(), running_.end(), id);
  if (hwnd != LightWindows::kHost || found == running_.end()) return false;
  running_.erase(found);
  return true;
}

bool LightTimers::SleepUnlessSignalled(Handle event, std::uint32_t) {
  // No time passes here: the sleep ends at once, early only if the event is set.
  return kernel_.IsSignalledEvent(event);
}

bool LightTimers::TimeBeginPeriod(std::uint32_t ms) {
  if (resolutionRefused_ || ms == 0) return false;
  ++raised_;
  return true;
}

bool LightTimers::TimeEndPeriod(std::uint32_t ms) {
  // A lower that matches no raise is refused, as the system refuses it.
  if (raised_ == 0 || ms == 0) {
    ++strayLowers_;
    return false;
  }
  --raised_;
  return true;
}

// ---- Profile files -----------------------------------------------------------

const std::string* LightProfileFiles::TextAt(std::string_view path) const {
  return path == kConfigPath && text_ ? &*text_ : nullptr;
}

std::optional<std::string> LightProfileFiles::Value(std::string_view section, std::string_view key,
                                                    std::string_view path) {
  const std::string* text = TextAt(path);
  if (text == nullptr) return std::nullopt;
  if (!sectionRead_ || section_ != section) {
    section_ = section;
    lines_ = sim::ProfileSection(*text, section);
    sectionRead_ = true;
  }
  return sim::ProfileValueIn(lines_, key);
}

std::uint32_t LightProfileFiles::GetPrivateProfileInt(std::string_view section,
                                                      std::string_view key, std::int32_t fallback,
                                                      std::string_view path) {
  return sim::ProfileInt(Value(section, key, path), fallback);
}

bool LightProfileFiles::GetPrivateProfileStruct(std::string_view section, std::string_view key,
                                                std::span<std::uint8_t> out,
                                                std::string_view path) {
  return sim::ProfileStruct(Value(section, key, path), out);
}

bool LightProfileFiles::WritePrivateProfileString(std::string_view section, std::string_view key,
                                                  std::string_view value, std::string_view path) {
  if (path != kConfigPath || locked_) return false;
  SetText(sim::ProfileWithValue(text_ ? *text_ : std::string(), section, key, value));
  return true;
}

Handle LightProfileFiles::CreateFile(std::string_view path, std::uint32_t, std::uint32_t share,
                                     std::uint32_t) {
  if (TextAt(path) == nullptr || (locked_ && share == 0)) return Handle::None;
  return static_cast<Handle>(objects_.Open(ObjectKind::File));
}

// ---- Kernel ------------------------------------------------------------------

platform::CreatedMutex LightKernel::CreateMutex(std::string_view name) {
  const bool instance = name == app::kInstanceMutexName;
  const bool shared = name == contracts::kSharedMutexName;
  const bool existed = (instance && instanceTaken_) || (shared && sharedTaken_);
  const auto handle = objects_.Open(ObjectKind::Mutex, shared ? kSharedMutex : kPlain);
  return {static_cast<Handle>(handle), existed};
}

bool LightKernel::ReleaseMutex(Handle mutex) {
  if (objects_.Find(platform::ValueOf(mutex), ObjectKind::Mutex) == nullptr || heldMutexes_ == 0) {
    return false;
  }
  --heldMutexes_;
  return true;
}

Handle LightKernel::CreateSemaphore(std::int32_t initial, std::int32_t maximum) {
  return static_cast<Handle>(objects_.Open(ObjectKind::Semaphore, kPlain, initial, maximum));
}

bool LightKernel::ReleaseSemaphore(Handle semaphore, std::int32_t count) {
  ObjectTable::Object* object = objects_.Find(platform::ValueOf(semaphore), ObjectKind::Semaphore);
  if (object == nullptr || count <= 0 || object->count + count > object->maximum) return false;
  object->count += count;
  return true;
}

bool LightKernel::RaiseSemaphore(std::uintptr_t semaphore) {
  return ReleaseSemaphore(static_cast<Handle>(semaphore), 1);
}

Handle LightKernel::CreateEvent(bool, bool initiallySet) {
  return static_cast<Handle>(objects_.Open(ObjectKind::Event, kPlain, initiallySet ? 1 : 0));
}

bool LightKernel::SetEvent(Handle event) {
  ObjectTable::Object* object = objects_.Find(platform::ValueOf(event), ObjectKind::Event);
  if (object == nullptr) return false;
  object->count = 1;
  return true;
}

bool LightKernel::IsSignalledEvent(Handle event) {
  const ObjectTable::Object* object = objects_.Find(platform::ValueOf(event), ObjectKind::Event);
  return object != nullptr && object->count != 0;
}

platform::WaitResult LightKernel::WaitForSingleObject(Handle handle, std::uint32_t) {
  ObjectTable::Object* object = objects_.FindAny(platform::ValueOf(handle));
  if (object == nullptr) return platform::WaitResult::Failed;
  switch (object->kind) {
    case ObjectKind::Semaphore:
      if (object->count > 0) {
        --object->count;
        return platform::WaitResult::Signalled;
      }
      // Only the event thread waits here; it would block until the next word.
      if (inThread_) threadBlocked_ = true;
      return platform::WaitResult::Timeout;
    case ObjectKind::Event:
      return object->count != 0 ? platform::WaitResult::Signalled : platform::WaitResult::Timeout;
    case ObjectKind::Mutex:
      ++heldMutexes_;
      if (object->tag == kSharedMutex && abandonShared_) {
        abandonShared_ = false;
        return platform::WaitResult::Abandoned;
      }
      return platform::WaitResult::Signalled;
    case ObjectKind::Thread:
      // The window thread waits for the event thread: let it run to its end.
      if (!inThread_) RunEventThread();
      return EventThreadEnded() ? platform::WaitResult::Signalled : platform::WaitResult::Timeout;
    default:
      return platform::WaitResult::Failed;
  }
}

platform::WaitAnyResult LightKernel::WaitForMultipleObjects(std::span<const Handle> objects,
                                                            std::uint32_t timeoutMs) {
  // Each in turn without blocking, as one wait takes the first that is ready.
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const platform::WaitResult result = WaitForSingleObject(objects[i], 0);
    if (result == platform::WaitResult::Failed) return {};
    if (result != platform::WaitResult::Timeout) return {result, i};
  }
  static_cast<void>(timeoutMs);
  return {platform::WaitResult::Timeout, 0};
}

void LightKernel::RunEventThread() {
  if (threadEntry_ == nullptr || inThread_) return;
  inThread_ = true;
  threadBlocked_ = false;
  threadEntry_(threadParameter_);
  inThread_ = false;
  // Returning without waiting on an empty semaphore is the thread's end.
  if (!threadBlocked_) threadEntry_ = nullptr;
}

bool LightKernel::CloseHandle(Handle object) {
  const std::uintptr_t value = platform::ValueOf(object);
  const ObjectTable::Object* found = objects_.FindAny(value);
  // Devices, keys, modules, menus and COM objects have calls of their own.
  if (found == nullptr || found->kind == ObjectKind::Device || found->kind == ObjectKind::Module ||
      found->kind == ObjectKind::Com || found->kind == ObjectKind::Menu) {
    return false;
  }
  return objects_.CloseAny(value);
}

Handle LightKernel::CreateThread(std::uint32_t, ThreadEntry entry, void* parameter) {
  if (threadEntry_ != nullptr) return Handle::None;  // the host starts one
  threadEntry_ = entry;
  threadParameter_ = parameter;
  const Handle thread = static_cast<Handle>(objects_.Open(ObjectKind::Thread));
  // The thread starts and goes to sleep on its semaphore.
  RunEventThread();
  return thread;
}

Handle LightKernel::CreateFileMapping(std::string_view, std::uint32_t size) {
  if (size != settings::kMouseSettingsSize) return Handle::None;
  return static_cast<Handle>(objects_.Open(ObjectKind::Mapping));
}

void* LightKernel::MapViewOfFile(Handle mapping, std::uint32_t size) {
  if (objects_.Find(platform::ValueOf(mapping), ObjectKind::Mapping) == nullptr ||
      size > block_.size()) {
    return nullptr;
  }
  ++views_;
  return block_.data();
}

bool LightKernel::UnmapViewOfFile(void* view) {
  if (view != block_.data() || views_ == 0) return false;
  --views_;
  return true;
}

platform::Module LightKernel::LoadLibrary(std::string_view path) {
  if (path == kSessionLibraryName) {
    return static_cast<platform::Module>(objects_.Open(ObjectKind::Module, kSessionLibrary));
  }
  if (stringLibrary_ && EndsWith(path, kStringLibrarySuffix)) {
    return static_cast<platform::Module>(objects_.Open(ObjectKind::Module, kStringLibrary));
  }
  return platform::Module::None;
}

bool LightKernel::HasProcedure(platform::Module module, std::string_view name) {
  const ObjectTable::Object* object = objects_.Find(platform::ValueOf(module), ObjectKind::Module);
  return object != nullptr && object->tag == kSessionLibrary &&
         (name == "WTSRegisterSessionNotification" || name == "WTSUnRegisterSessionNotification");
}

bool LightKernel::FreeLibrary(platform::Module module) {
  return objects_.Close(platform::ValueOf(module), ObjectKind::Module);
}

// ---- Shell -------------------------------------------------------------------

bool LightShell::CoInitialize() {
  ++comInitialised_;
  return true;
}

platform::ComObject LightShell::CreateShellDispatch() {
  return static_cast<platform::ComObject>(objects_.Open(ObjectKind::Com));
}

void LightShell::Release(platform::ComObject object) {
  objects_.Close(platform::ValueOf(object), ObjectKind::Com);
}

bool LightShell::NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) {
  if (data.hwnd != LightWindows::kHost) return false;
  switch (message) {
    case kNimAdd:
      if (iconShown_) return false;
      iconShown_ = true;
      return true;
    case kNimModify:
      return iconShown_;
    case kNimDelete:
      if (!iconShown_) return false;
      iconShown_ = false;
      return true;
    default:
      return false;
  }
}

std::int32_t LightShell::LoadString(platform::Module module, std::uint32_t,
                                    std::span<char> buffer) {
  constexpr std::string_view kText = "Text";
  if (!platform::IsSet(module) || buffer.size() <= kText.size()) return 0;
  std::memcpy(buffer.data(), kText.data(), kText.size());
  buffer[kText.size()] = '\0';
  return static_cast<std::int32_t>(kText.size());
}

platform::Menu LightShell::CreatePopupMenu() {
  return static_cast<platform::Menu>(objects_.Open(ObjectKind::Menu));
}

bool LightShell::AppendMenu(platform::Menu menu, std::uint32_t, std::uintptr_t, const char*) {
  return objects_.Find(platform::ValueOf(menu), ObjectKind::Menu) != nullptr;
}

bool LightShell::SetMenuDefaultItem(platform::Menu menu, std::uint32_t, bool) {
  return objects_.Find(platform::ValueOf(menu), ObjectKind::Menu) != nullptr;
}

bool LightShell::TrackPopupMenu(platform::Menu menu, std::uint32_t, std::int32_t, std::int32_t,
                                Hwnd) {
  // The user dismisses the menu without choosing.
  return objects_.Find(platform::ValueOf(menu), ObjectKind::Menu) != nullptr;
}

bool LightShell::DestroyMenu(platform::Menu menu) {
  return objects_.Close(platform::ValueOf(menu), ObjectKind::Menu);
}

// ---- Driver ------------------------------------------------------------------

bool LightDriver::Queue(std::uint32_t word) {
  if (registered_ == 0 || !kernel_.RaiseSemaphore(registered_)) return false;
  queue_.push_back(word);
  return true;
}

Handle LightDriver::Open(std::string_view name, std::uint32_t, std::uint32_t, std::uint32_t) {
  if (!present_ || name != contracts::kDeviceName) return Handle::None;
  return static_cast<Handle>(objects_.Open(ObjectKind::Device));
}

bool LightDriver::IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize,
                            void* out, std::uint32_t outSize) {
  if (objects_.Find(platform::ValueOf(device), ObjectKind::Device) == nullptr) return false;
  switch (code) {
    case contracts::kIoctlRegisterSemaphore: {
      if (in == nullptr || inSize != 4) return false;
      const std::uintptr_t semaphore = WordAt(in);
      if (objects_.Find(semaphore, ObjectKind::Semaphore) == nullptr) return false;
      registered_ = semaphore;
      return true;
    }
    case contracts::kIoctlUnregister:
      registered_ = 0;
      queue_.clear();
      return true;
    case contracts::kIoctlReadEvent:
      if (out == nullptr || outSize < 4 || queue_.empty()) return false;
      std::memcpy(out, &queue_.front(), sizeof(std::uint32_t));
      queue_.erase(queue_.begin());
      return true;
    case contracts::kIoctlSetPassThroughMask:
      if (in == nullptr || inSize < 4) return false;
      mask_ = WordAt(in);
      return true;
    default:
      return false;
  }
}

bool LightDriver::Close(Handle device) {
  if (!objects_.Close(platform::ValueOf(device), ObjectKind::Device)) return false;
  // The driver's cleanup ends the registration with the last handle.
  if (objects_.OpenCount(ObjectKind::Device) == 0) {
    registered_ = 0;
    queue_.clear();
  }
  return true;
}

// ---- Desktop -----------------------------------------------------------------

LightDesktop::LightDesktop() {
  windows_.AttachTimers(timers_);
}

void LightDesktop::Event(std::uint32_t word) {
  if (driver_.Queue(word)) kernel_.RunEventThread();
}

}  // namespace hidhost::fuzzing
