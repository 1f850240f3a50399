#include "record/RecordingFacets.h"

#include <algorithm>
#include <cstring>

#include "contracts/DriverProtocol.h"
#include "platform/Constants.h"
#include "platform/trace/CallLines.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::record {

namespace {

// The replay's host directory: the one its paths are spelt with.
constexpr std::string_view kReplayHostDirectory = "C:\\HidHost\\";
constexpr std::uint32_t kMouseMove = 0x0001;
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER\\";

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

// RegCreateKeyA's and RegOpenKeyExA's view of a subkey under an open key.
std::string Joined(const std::string& base, std::string_view subkey) {
  while (!subkey.empty() && subkey.back() == '\\') subkey.remove_suffix(1);
  if (subkey.empty()) return base;
  return base + "\\" + std::string(subkey);
}

}  // namespace

// ---- Context ---------------------------------------------------------------

std::string RecordingContext::ReplayPath(std::string_view path) const {
  if (hostDirectory_.empty() || path.size() < hostDirectory_.size() ||
      !SameText(path.substr(0, hostDirectory_.size()), hostDirectory_)) {
    return std::string(path);
  }
  return std::string(kReplayHostDirectory) + std::string(path.substr(hostDirectory_.size()));
}

void RecordingContext::SetSharedView(const void* view, std::uint32_t size) {
  std::lock_guard lock(mutex_);
  sharedView_ = view;
  sharedSize_ = size;
}

void RecordingContext::ForgetSharedView(const void* view) {
  std::lock_guard lock(mutex_);
  if (view == sharedView_) sharedView_ = nullptr;
}

std::vector<std::uint8_t> RecordingContext::SharedBytes() {
  std::lock_guard lock(mutex_);
  if (sharedView_ == nullptr) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(sharedView_);
  return {bytes, bytes + sharedSize_};
}

void RecordingContext::Registered(std::string_view name, std::uint32_t number) {
  if (number == 0) return;
  std::lock_guard lock(mutex_);
  for (const auto& [known, unused] : registered_) {
    if (SameText(known, name)) return;
  }
  registered_.emplace_back(std::string(name), number);
}

std::uint32_t RecordingContext::ReplayMessage(std::uint32_t number) {
  if (number < kFirstRegisteredMessage) return number;
  std::lock_guard lock(mutex_);
  // The replay numbers registered names from its first atom, in the order the host registers them.
  for (std::size_t i = 0; i < registered_.size(); ++i) {
    if (registered_[i].second == number) {
      return kFirstRegisteredMessage + static_cast<std::uint32_t>(i);
    }
  }
  return number;
}

// ---- Input -----------------------------------------------------------------

void RecordingInput::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags,
                                std::uintptr_t extra) {
  context_.session.AddCall(trace::KeybdEventLine(vk, scan, flags));
  inner_.KeybdEvent(vk, scan, flags, extra);
}

void RecordingInput::MouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy,
                                std::int32_t data, std::uintptr_t extra) {
  context_.session.AddCall(trace::MouseEventLine(flags, dx, dy, data, extra));
  if ((flags & kMouseMove) != 0) context_.session.FirstTouch("cursor");
  inner_.MouseEvent(flags, dx, dy, data, extra);
}

bool RecordingInput::GetCursorPos(platform::Point& out) {
  const bool read = inner_.GetCursorPos(out);
  if (read && context_.session.FirstTouch("cursor")) {
    context_.session.AddSetUp("cursor " + trace::Decimal(out.x) + " " + trace::Decimal(out.y));
  }
  return read;
}

bool RecordingInput::SetCursorPos(std::int32_t x, std::int32_t y) {
  context_.session.AddCall(trace::SetCursorPosLine(x, y));
  context_.session.FirstTouch("cursor");
  return inner_.SetCursorPos(x, y);
}

std::int32_t RecordingInput::GetSystemMetrics(std::int32_t index) {
  const std::int32_t value = inner_.GetSystemMetrics(index);
  if (index == platform::kSmSwapButton && context_.session.FirstTouch("swap")) {
    context_.session.AddSetUp(value != 0 ? "swap-buttons 1" : "swap-buttons 0");
  }
  return value;
}

bool RecordingInput::SetDoubleClickTime(std::uint32_t ms) {
  context_.session.AddCall(trace::SetDoubleClickTimeLine(ms));
  return inner_.SetDoubleClickTime(ms);
}

bool RecordingInput::SwapMouseButton(bool swap) {
  context_.session.AddCall(trace::SwapMouseButtonLine(swap));
  context_.session.FirstTouch("swap");
  return inner_.SwapMouseButton(swap);
}

bool RecordingInput::SystemParametersInfo(std::uint32_t action, std::uint32_t uiParam,
                                          const platform::SpiArgument& pvParam,
                                          std::uint32_t winIni) {
  context_.session.AddCall(trace::SystemParametersInfoLine(action, uiParam, pvParam, winIni));
  if (action == platform::kSpiSetMouseButtonSwap) context_.session.FirstTouch("swap");
  return inner_.SystemParametersInfo(action, uiParam, pvParam, winIni);
}

// ---- Timers ----------------------------------------------------------------

bool RecordingTimers::SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) {
  context_.session.AddCall(trace::SetTimerLine(id, periodMs));
  return inner_.SetTimer(hwnd, id, periodMs);
}

bool RecordingTimers::KillTimer(platform::Hwnd hwnd, std::uintptr_t id) {
  context_.session.AddCall(trace::KillTimerLine(id));
  return inner_.KillTimer(hwnd, id);
}

void RecordingTimers::Sleep(std::uint32_t ms) {
  context_.session.AddCall(trace::SleepLine(ms));
  inner_.Sleep(ms);
}

bool RecordingTimers::SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) {
  context_.session.AddCall(trace::SleepLine(ms));
  return inner_.SleepUnlessSignalled(event, ms);
}

bool RecordingTimers::TimeBeginPeriod(std::uint32_t ms) {
  context_.session.AddCall(trace::TimeBeginPeriodLine(ms));
  return inner_.TimeBeginPeriod(ms);
}

bool RecordingTimers::TimeEndPeriod(std::uint32_t ms) {
  context_.session.AddCall(trace::TimeEndPeriodLine(ms));
  return inner_.TimeEndPeriod(ms);
}

// ---- Registry --------------------------------------------------------------

std::string RecordingRegistry::PathOf(platform::RegKey key) {
  if (auto root = trace::RegistryRootName(key); !root.empty()) return std::string(root);
  std::lock_guard lock(mutex_);
  auto found = paths_.find(platform::ValueOf(key));
  return found == paths_.end() ? std::string() : found->second;
}

void RecordingRegistry::Opened(platform::RegKey key, std::string path) {
  if (!platform::IsSet(key)) return;
  std::lock_guard lock(mutex_);
  paths_[platform::ValueOf(key)] = std::move(path);
}

platform::RegKey RecordingRegistry::OpenKey(platform::RegKey root, std::string_view subkey,
                                            std::uint32_t access) {
  const platform::RegKey key = inner_.OpenKey(root, subkey, access);
  Opened(key, Joined(PathOf(root), subkey));
  return key;
}

platform::RegKey RecordingRegistry::CreateKey(platform::RegKey root, std::string_view subkey) {
  const std::string path = Joined(PathOf(root), subkey);
  context_.session.AddCall(trace::RegCreateKeyLine(path));
  const platform::RegKey key = inner_.CreateKey(root, subkey);
  Opened(key, path);
  if (!platform::IsSet(key) && path.starts_with(kCurrentUser)) {
    // A key the user may not write: the replay locks it too.
    context_.session.AddSetUp("registry-locked " + path.substr(kCurrentUser.size()));
  }
  return key;
}

bool RecordingRegistry::QueryValue(platform::RegKey key, std::string_view name,
                                   std::span<char> buffer, std::uint32_t* type,
                                   std::uint32_t* size) {
  std::uint32_t valueType = platform::kRegSz;
  std::uint32_t valueSize = 0;
  const bool read = inner_.QueryValue(key, name, buffer, &valueType, &valueSize);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  const std::string path = PathOf(key);
  // The replay holds string values under HKEY_CURRENT_USER; a name with '=' or '\' cannot be spelt.
  if (!read || buffer.data() == nullptr || valueType != platform::kRegSz ||
      !path.starts_with(kCurrentUser) || name.find_first_of("=\\") != std::string_view::npos) {
    return read;
  }
  const std::string_view data(buffer.data(), std::min<std::size_t>(valueSize, buffer.size()));
  const std::string value(data.substr(0, data.find('\0')));
  const std::string where = path.substr(kCurrentUser.size()) + "\\" + std::string(name);
  {
    std::lock_guard lock(mutex_);
    auto [known, added] = values_.try_emplace(where, value);
    if (!added && known->second == value) return read;
    known->second = value;
  }
  context_.session.AddSetUp("registry " + where + "=" + value);
  return read;
}

bool RecordingRegistry::SetValue(platform::RegKey key, std::string_view name, std::uint32_t type,
                                 std::span<const char> data) {
  const std::string path = PathOf(key);
  context_.session.AddCall(trace::RegSetValueLine(path, name, type, data));
  const bool written = inner_.SetValue(key, name, type, data);
  if (written && type == platform::kRegSz && path.starts_with(kCurrentUser)) {
    const std::string_view text(data.data(), data.size());
    std::lock_guard lock(mutex_);
    values_[path.substr(kCurrentUser.size()) + "\\" + std::string(name)] =
        std::string(text.substr(0, text.find('\0')));
  }
  return written;
}

bool RecordingRegistry::CloseKey(platform::RegKey key) {
  {
    std::lock_guard lock(mutex_);
    paths_.erase(platform::ValueOf(key));
  }
  return inner_.CloseKey(key);
}

// ---- Profile files ---------------------------------------------------------

bool RecordingProfileFiles::WritePrivateProfileString(std::string_view section,
                                                      std::string_view key, std::string_view value,
                                                      std::string_view path) {
  context_.session.AddCall(
      trace::WritePrivateProfileStringLine(section, key, value, context_.ReplayPath(path)));
  return inner_.WritePrivateProfileString(section, key, value, path);
}

// ---- Kernel ----------------------------------------------------------------

void OpenDevices::Add(platform::Handle handle, std::string name) {
  std::lock_guard lock(mutex_);
  names_[platform::ValueOf(handle)] = std::move(name);
}

std::optional<std::string> OpenDevices::Remove(platform::Handle handle) {
  std::lock_guard lock(mutex_);
  auto found = names_.find(platform::ValueOf(handle));
  if (found == names_.end()) return std::nullopt;
  std::string name = std::move(found->second);
  names_.erase(found);
  return name;
}

bool RecordingKernel::SetProcessInformation(const platform::PowerThrottlingState& state) {
  context_.session.AddCall(trace::SetProcessInformationLine(state));
  return inner_.SetProcessInformation(state);
}

platform::CreatedMutex RecordingKernel::CreateMutex(std::string_view name) {
  const platform::CreatedMutex created = inner_.CreateMutex(name);
  if (created.accessDenied) {
    context_.session.AddCall(trace::CreateMutexDeniedLine(name));
    context_.session.AddSetUp("mutex " + std::string(name) + " denied");
    return created;
  }
  context_.session.AddCall(trace::CreateMutexLine(name, created.alreadyExisted));
  if (name.empty()) return created;
  bool another = false;
  {
    std::lock_guard lock(mutex_);
    // A mutex this host made itself is no sign of another process.
    another = created.alreadyExisted && !ownMutexes_.contains(std::string(name));
    if (!created.alreadyExisted && platform::IsSet(created.handle)) {
      ownMutexes_.insert(std::string(name));
    }
  }
  if (another) context_.session.AddSetUp("mutex " + std::string(name));
  return created;
}

platform::Handle RecordingKernel::CreateSemaphore(std::int32_t initial, std::int32_t maximum) {
  const platform::Handle semaphore = inner_.CreateSemaphore(initial, maximum);
  if (platform::IsSet(semaphore)) {
    std::lock_guard lock(mutex_);
    semaphores_.insert(platform::ValueOf(semaphore));
  }
  return semaphore;
}

bool RecordingKernel::IsSemaphore(platform::Handle handle) {
  std::lock_guard lock(mutex_);
  return semaphores_.contains(platform::ValueOf(handle));
}

platform::WaitResult RecordingKernel::WaitForSingleObject(platform::Handle object,
                                                          std::uint32_t timeoutMs) {
  // The event thread waits for the driver's next event: the last one is handled.
  if (!context_.OnWindowThread() && IsSemaphore(object)) context_.session.EndHandling();
  return inner_.WaitForSingleObject(object, timeoutMs);
}

platform::WaitAnyResult RecordingKernel::WaitForMultipleObjects(
    std::span<const platform::Handle> objects, std::uint32_t timeoutMs) {
  if (!context_.OnWindowThread()) {
    for (const platform::Handle object : objects) {
      if (!IsSemaphore(object)) continue;
      context_.session.EndHandling();
      break;
    }
  }
  return inner_.WaitForMultipleObjects(objects, timeoutMs);
}

bool RecordingKernel::CloseHandle(platform::Handle object) {
  if (auto device = devices_.Remove(object)) {
    context_.session.AddCall(trace::CloseDeviceLine(*device));
  }
  {
    std::lock_guard lock(mutex_);
    semaphores_.erase(platform::ValueOf(object));
  }
  return inner_.CloseHandle(object);
}

platform::Handle RecordingKernel::CreateFileMapping(std::string_view name, std::uint32_t size) {
  context_.session.AddCall(trace::CreateFileMappingLine(name, size));
  return inner_.CreateFileMapping(name, size);
}

void* RecordingKernel::MapViewOfFile(platform::Handle mapping, std::uint32_t size) {
  void* view = inner_.MapViewOfFile(mapping, size);
  if (view != nullptr) context_.SetSharedView(view, size);
  return view;
}

bool RecordingKernel::UnmapViewOfFile(void* view) {
  context_.ForgetSharedView(view);
  return inner_.UnmapViewOfFile(view);
}

// ---- Shell -----------------------------------------------------------------

void RecordingShell::ShellFindFiles(platform::ComObject shell) {
  if (platform::IsSet(shell)) context_.session.AddCall(std::string(trace::kShellFindFilesLine));
  inner_.ShellFindFiles(shell);
}

void RecordingShell::ShellFileRun(platform::ComObject shell) {
  if (platform::IsSet(shell)) context_.session.AddCall(std::string(trace::kShellFileRunLine));
  inner_.ShellFileRun(shell);
}

bool RecordingShell::ShellExecute(platform::Hwnd owner, std::string_view verb,
                                  std::string_view file, std::int32_t show) {
  context_.session.AddCall(trace::ShellExecuteLine(verb, context_.ReplayPath(file), show));
  return inner_.ShellExecute(owner, verb, file, show);
}

bool RecordingShell::OpenSpecialFolder(std::int32_t csidl, std::int32_t show) {
  context_.session.AddCall(trace::OpenSpecialFolderLine(csidl, true, show));
  return inner_.OpenSpecialFolder(csidl, show);
}

bool RecordingShell::NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) {
  context_.session.AddCall(trace::NotifyIconLine(message, data));
  return inner_.NotifyIcon(message, data);
}

bool RecordingShell::AppendMenu(platform::Menu menu, std::uint32_t flags, std::uintptr_t id,
                                const char* text) {
  context_.session.AddCall(trace::AppendMenuLine(flags, id, text));
  return inner_.AppendMenu(menu, flags, id, text);
}

bool RecordingShell::SetMenuDefaultItem(platform::Menu menu, std::uint32_t item, bool byPosition) {
  context_.session.AddCall(trace::SetMenuDefaultItemLine(item));
  return inner_.SetMenuDefaultItem(menu, item, byPosition);
}

bool RecordingShell::TrackPopupMenu(platform::Menu menu, std::uint32_t flags, std::int32_t x,
                                    std::int32_t y, platform::Hwnd owner) {
  context_.session.AddMenu(x, y);
  return inner_.TrackPopupMenu(menu, flags, x, y, owner);
}

// ---- Driver ----------------------------------------------------------------

platform::Handle RecordingDriverDevice::Open(std::string_view name, std::uint32_t access,
                                             std::uint32_t share, std::uint32_t disposition) {
  const platform::Handle device = inner_.Open(name, access, share, disposition);
  const bool opened = platform::IsSet(device);
  context_.session.AddCall(trace::OpenDeviceLine(name, access, share, disposition, opened));
  if (opened) devices_.Add(device, std::string(name));
  const std::string mode = opened ? "driver present" : "driver absent";
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    changed = mode != declaredMode_;
    declaredMode_ = mode;
  }
  if (changed) context_.session.ReplaceSetUp("driver ", mode);
  return device;
}

bool RecordingDriverDevice::IoControl(platform::Handle device, std::uint32_t code, const void* in,
                                      std::uint32_t inSize, void* out, std::uint32_t outSize) {
  if (code == trace::kEventReadCode) {
    context_.session.EndHandling();
    const bool read = inner_.IoControl(device, code, in, inSize, out, outSize);
    if (read && out != nullptr && outSize >= 4) {
      std::uint32_t word = 0;
      std::memcpy(&word, out, sizeof word);
      context_.session.Begin("event " + trace::Hex(word), Keep::Always, From::EventThread);
    }
    return read;
  }
  const std::string request = trace::HexBytes(in, inSize);
  const bool ok = inner_.IoControl(device, code, in, inSize, out, outSize);
  context_.session.AddCall(trace::DeviceIoControlLine(code, request, outSize, ok));
  if (code == contracts::kIoctlRegisterSemaphore && !ok) {
    // It opens but will not take the host's semaphore.
    {
      std::lock_guard lock(mutex_);
      declaredMode_ = "driver refuses";
    }
    context_.session.ReplaceSetUp("driver ", "driver refuses");
  }
  return ok;
}

bool RecordingDriverDevice::Close(platform::Handle device) {
  if (auto name = devices_.Remove(device)) context_.session.AddCall(trace::CloseDeviceLine(*name));
  return inner_.Close(device);
}

}  // namespace hidhost::record
