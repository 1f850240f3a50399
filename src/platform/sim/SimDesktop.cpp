#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "platform/Constants.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/sim/World.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::sim {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";
constexpr std::string_view kButtonOrder[] = {"left", "right", "middle", "x1", "x2"};

fs::path FreshDriveC() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  for (;;) {
    fs::path candidate = base / ("hidhost-sim-" + std::to_string(random()));
    if (fs::create_directory(candidate, error)) {
      fs::create_directories(candidate / "HidHost", error);
      fs::create_directories(candidate / "Windows" / "System32", error);
      return candidate;
    }
  }
}

std::string UnderCurrentUser(std::string_view key) {
  return *RegistryStore::Join(kCurrentUser,
                              key.empty() || key.front() != '\\' ? key : key.substr(1));
}

std::optional<std::string> ReadWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::shared_ptr<KernelObject> SharedBlock(const World& world) {
  auto mapping = world.FindNamed(kSharedBlockName);
  return mapping != nullptr && mapping->kind == ObjectKind::Mapping ? mapping : nullptr;
}

}  // namespace

SimDesktop::SimDesktop() : world_(std::make_shared<World>(FreshDriveC())) {}

SimDesktop::~SimDesktop() {
  ThreadsToRelease threads;
  {
    Lock lock(world_->mutex);
    threads = world_->threads.TakeThreads();
    for (auto& process : world_->processes) {
      bool ended = false;
      std::thread main = process->TakeMainThread(ended);
      if (main.joinable()) (ended ? threads.ended : threads.stuck).push_back(std::move(main));
    }
  }
  for (auto& thread : threads.ended) thread.join();
  for (auto& thread : threads.stuck) thread.detach();
  std::error_code error;
  fs::remove_all(world_->files.DriveC(), error);
}

bool SimDesktop::AddWindow(const WindowSpec& shape) {
  Lock lock(world_->mutex);
  WindowRecord record;
  record.id = shape.id;
  record.className = shape.className;
  record.parent = shape.parent;
  record.rect = shape.rect;
  record.style = shape.style;
  record.title = shape.title;
  return world_->windows.AddScenarioWindow(std::move(record));
}

void SimDesktop::SetCursor(platform::Point point) {
  Lock lock(world_->mutex);
  world_->input.cursor = point;
}

void SimDesktop::SetDriver(DriverMode mode) {
  Lock lock(world_->mutex);
  world_->driver.SetMode(mode);
}

void SimDesktop::HoldMutex(std::string_view name, bool denied) {
  Lock lock(world_->mutex);
  auto mutex = world_->FindNamed(std::string(name));
  if (mutex == nullptr) {
    mutex = std::make_shared<KernelObject>(ObjectKind::Mutex);
    mutex->name = std::string(name);
    world_->AddNamed(mutex);
  }
  mutex->ownedOutside = true;
  mutex->deniedOutside = mutex->deniedOutside || denied;
  world_->heldElsewhere.push_back(std::move(mutex));
}

const CallCounts& SimDesktop::Calls() const {
  return world_->calls;
}

bool SimDesktop::FailCall(std::string_view win32Name, int times) {
  const auto call = CallNamed(win32Name);
  if (!call) return false;
  Lock lock(world_->mutex);
  world_->faults.Arm(*call, times);
  return true;
}

void SimDesktop::SetNotifyIconDelay(std::uint32_t ms) {
  Lock lock(world_->mutex);
  world_->slowNotifyIconMs = ms;
}

void SimDesktop::PauseAfter(std::uint32_t calls) {
  Lock lock(world_->mutex);
  world_->callsBeforePause = calls;
}

void SimDesktop::Resume(std::optional<std::uint32_t> pauseAfter) {
  Lock lock(world_->mutex);
  world_->callsBeforePause = pauseAfter;
  world_->pausing = false;
  // Running again from here, before it wakes: a wait for idle must wait for it.
  world_->threads.Unpause();
  world_->Notify();
}

void SimDesktop::SetSwapButtons(bool swapped) {
  Lock lock(world_->mutex);
  world_->input.swapped = swapped;
}

void SimDesktop::SetRegistryString(std::string_view keyUnderCurrentUser, std::string_view name,
                                   std::string_view value) {
  std::vector<char> data(value.begin(), value.end());
  data.push_back('\0');
  SetRegistryValue(keyUnderCurrentUser, name, platform::kRegSz, data);
}

void SimDesktop::SetRegistryValue(std::string_view keyUnderCurrentUser, std::string_view name,
                                  std::uint32_t type, std::span<const char> data) {
  Lock lock(world_->mutex);
  const std::string path = UnderCurrentUser(keyUnderCurrentUser);
  auto& registry = world_->registry;
  // Set-up is not bound by the locks it sets up.
  if (!registry.Create(path, /*ignoreLocks=*/true)) return;
  registry.SetValue(path, name, {type, std::vector<char>(data.begin(), data.end())});
}

void SimDesktop::LockRegistryKey(std::string_view keyUnderCurrentUser) {
  Lock lock(world_->mutex);
  world_->registry.Lock(UnderCurrentUser(keyUnderCurrentUser));
}

void SimDesktop::AppendConfigLine(std::string_view line) {
  Lock lock(world_->mutex);
  const auto file = world_->Resolve(kConfigPath, "");
  std::ofstream out(*file, std::ios::binary | std::ios::app);
  out << line << "\r\n";
}

int SimDesktop::HoldFileOpen(std::string_view windowsPath, std::uint32_t share) {
  Lock lock(world_->mutex);
  const auto file = world_->Resolve(windowsPath, kHostDirectory);
  if (!file) return 0;
  const int openId =
      world_->files.Open(*file, platform::kGenericRead | platform::kGenericWrite, share);
  const int hold = static_cast<int>(world_->fileHolds.size()) + 1;
  world_->fileHolds[hold] = openId;
  return hold;
}

void SimDesktop::ReleaseFile(int hold) {
  Lock lock(world_->mutex);
  auto it = world_->fileHolds.find(hold);
  if (it == world_->fileHolds.end()) return;
  world_->files.Close(it->second);
  it->second = 0;
}

void SimDesktop::SetLibraryPresent(std::string_view path, bool present) {
  Lock lock(world_->mutex);
  const bool bare = path.find('\\') == std::string_view::npos;
  world_->libraries.Named(bare ? "C:\\Windows\\System32\\" + std::string(path) : std::string(path))
      .present = present;
}

void SimDesktop::SetLibraryString(std::string_view path, std::uint32_t id, std::string_view text) {
  Lock lock(world_->mutex);
  const bool bare = path.find('\\') == std::string_view::npos;
  world_->libraries.Named(bare ? "C:\\Windows\\System32\\" + std::string(path) : std::string(path))
      .strings[id] = std::string(text);
}

void SimDesktop::ChooseMenuItem(std::uint32_t id) {
  Lock lock(world_->mutex);
  world_->shell.pendingChoice = id;
}

std::optional<std::string> SimDesktop::ConfigFileText() const {
  Lock lock(world_->mutex);
  return ReadWholeFile(*world_->Resolve(kConfigPath, ""));
}

std::filesystem::path SimDesktop::HostDirectoryOnDisk() const {
  Lock lock(world_->mutex);
  return *world_->Resolve(kHostDirectory, "");
}

std::optional<std::string> SimDesktop::RegistryString(std::string_view keyUnderCurrentUser,
                                                      std::string_view name) const {
  auto value = RegistryValue(keyUnderCurrentUser, name);
  if (!value) return std::nullopt;
  const auto end = std::find(value->data.begin(), value->data.end(), '\0');
  return std::string(value->data.begin(), end);
}

std::optional<RegistryData> SimDesktop::RegistryValue(std::string_view keyUnderCurrentUser,
                                                      std::string_view name) const {
  Lock lock(world_->mutex);
  const auto* value = world_->registry.Value(UnderCurrentUser(keyUnderCurrentUser), name);
  if (value == nullptr) return std::nullopt;
  return RegistryData{value->type, value->data};
}

bool SimDesktop::TrayIconPresent() const {
  Lock lock(world_->mutex);
  return !world_->shell.trayIcons.empty();
}

std::vector<MenuItemRecord> SimDesktop::LastMenu() const {
  Lock lock(world_->mutex);
  return world_->shell.lastMenu;
}

std::optional<SystemParameterRecord> SimDesktop::LastSystemParameter(std::uint32_t action) const {
  Lock lock(world_->mutex);
  auto it = world_->input.systemParameters.find(action);
  if (it == world_->input.systemParameters.end()) return std::nullopt;
  return it->second;
}

std::optional<std::uint32_t> SimDesktop::DoubleClickTime() const {
  Lock lock(world_->mutex);
  return world_->input.doubleClickTime;
}

bool SimDesktop::ButtonsSwapped() const {
  Lock lock(world_->mutex);
  return world_->input.swapped;
}

platform::Point SimDesktop::Cursor() const {
  Lock lock(world_->mutex);
  return world_->input.cursor;
}

std::vector<std::string> SimDesktop::LaunchedPrograms() const {
  Lock lock(world_->mutex);
  return world_->shell.launched;
}

int SimDesktop::LiveThreadCount() const {
  Lock lock(world_->mutex);
  return world_->threads.LiveCount();
}

void SimDesktop::QueueEvent(std::uint32_t word) {
  Lock lock(world_->mutex);
  world_->driver.Queue(word);
  world_->Notify();
}

void SimDesktop::HoldDriverReads(bool held) {
  Lock lock(world_->mutex);
  world_->driver.HoldReads(held);
  world_->Notify();
}

std::optional<std::uint32_t> SimDesktop::LastMask() const {
  Lock lock(world_->mutex);
  return world_->driver.LastMask();
}

bool SimDesktop::DriverOpen() const {
  Lock lock(world_->mutex);
  return world_->driver.IsOpen();
}

bool SimDesktop::DriverRegistered() const {
  Lock lock(world_->mutex);
  return world_->driver.IsRegistered();
}

SharedWrite SimDesktop::WriteSharedBlock(std::span<const std::uint8_t> bytes) {
  Lock lock(world_->mutex);
  auto mapping = SharedBlock(*world_);
  if (mapping == nullptr) return SharedWrite::NoBlock;
  // A mutex held outside is the configuration program's own.
  auto mutex = world_->FindNamed(kSharedMutexName);
  if (mutex != nullptr && mutex->kind == ObjectKind::Mutex) {
    const auto nothingRuns = [&] {
      return world_->threads.AllSettled() &&
             std::none_of(world_->processes.begin(), world_->processes.end(),
                          [](const auto& process) { return process->MainThreadRunning(); });
    };
    world_->changed.wait(lock, [&] { return !mutex->owner.has_value() || nothingRuns(); });
    if (mutex->owner.has_value()) return SharedWrite::MutexKept;
  }
  std::memcpy(mapping->bytes.get(), bytes.data(),
              std::min<std::size_t>(bytes.size(), mapping->size));
  world_->Notify();
  return SharedWrite::Written;
}

std::optional<std::array<std::uint8_t, kSharedBlockSize>> SimDesktop::ReadSharedBlock() const {
  Lock lock(world_->mutex);
  auto mapping = SharedBlock(*world_);
  if (mapping == nullptr) return std::nullopt;
  std::array<std::uint8_t, kSharedBlockSize> bytes{};
  std::memcpy(bytes.data(), mapping->bytes.get(),
              std::min<std::size_t>(bytes.size(), mapping->size));
  return bytes;
}

std::vector<std::string> SimDesktop::TakeTrace() {
  Lock lock(world_->mutex);
  return std::exchange(world_->trace, {});
}

void SimDesktop::AppendTrace(std::string line) {
  Lock lock(world_->mutex);
  world_->Trace(std::move(line));
}

void SimDesktop::WaitUntilIdle() {
  Lock lock(world_->mutex);
  world_->changed.wait(lock, [&] { return world_->threads.AllSettled(); });
}

std::vector<std::string> SimDesktop::HeldInput() const {
  Lock lock(world_->mutex);
  std::vector<std::string> held;
  for (auto vk : world_->input.keysDown) held.push_back("key " + trace::Hex(vk));
  for (auto button : kButtonOrder) {
    if (world_->input.buttonsDown.contains(std::string(button))) {
      held.push_back("button " + std::string(button));
    }
  }
  return held;
}

std::uint64_t SimDesktop::NowMs() const {
  Lock lock(world_->mutex);
  return world_->clock.NowMs();
}

std::uint64_t SimDesktop::NowUs() const {
  Lock lock(world_->mutex);
  return world_->clock.NowUs();
}

SimProcess& SimDesktop::StartProcess() {
  Lock lock(world_->mutex);
  world_->processes.push_back(std::make_unique<SimProcessImpl>(*world_));
  return *world_->processes.back();
}

}  // namespace hidhost::sim
