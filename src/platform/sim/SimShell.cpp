#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/Constants.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

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

namespace {

constexpr std::uint32_t kNimModify = 1;

bool IsChoosable(const std::vector<MenuItemRecord>& items, std::uint32_t id) {
  return std::any_of(items.begin(), items.end(), [id](const MenuItemRecord& item) {
    return item.text.has_value() && item.id == id;
  });
}

}  // namespace

bool SimShell::CoInitialize() {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CoInitialize)) return false;
  ++process_.comInitialized;
  return true;
}

void SimShell::CoUninitialize() {
  Lock lock(world_.mutex);
  if (process_.comInitialized > 0) --process_.comInitialized;
}

platform::ComObject SimShell::CreateShellDispatch() {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CoCreateInstance)) return platform::ComObject::None;
  if (process_.comInitialized == 0) return platform::ComObject::None;  // CO_E_NOTINITIALIZED
  const std::uintptr_t object = process_.NextComObject();
  process_.comObjects.insert(object);
  return static_cast<platform::ComObject>(object);
}

void SimShell::TraceShellMethod(platform::ComObject shell, std::string_view method) {
  Lock lock(world_.mutex);
  if (process_.comObjects.contains(platform::ValueOf(shell))) world_.Trace(std::string(method));
}

void SimShell::ShellFindFiles(platform::ComObject shell) {
  TraceShellMethod(shell, trace::kShellFindFilesLine);
}

void SimShell::ShellFileRun(platform::ComObject shell) {
  TraceShellMethod(shell, trace::kShellFileRunLine);
}

void SimShell::Release(platform::ComObject object) {
  Lock lock(world_.mutex);
  process_.comObjects.erase(platform::ValueOf(object));
}

bool SimShell::ShellExecute(platform::Hwnd /*owner*/, std::string_view verb, std::string_view file,
                            std::int32_t show) {
  Lock lock(world_.mutex);
  world_.Trace(trace::ShellExecuteLine(verb, file, show));
  if (world_.Fails(Call::ShellExecute)) return false;
  world_.shell.launched.emplace_back(file);
  return true;
}

bool SimShell::OpenSpecialFolder(std::int32_t csidl, std::int32_t show) {
  Lock lock(world_.mutex);
  const bool located = !world_.Fails(Call::SHGetSpecialFolderLocation);
  world_.Trace(trace::OpenSpecialFolderLine(csidl, located, show));
  return !world_.Fails(Call::ShellExecuteEx) && located;
}

bool SimShell::NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) {
  const bool done = ChangeIcon(message, data);
  std::uint32_t delayMs = 0;
  {
    Lock lock(world_.mutex);
    const WindowRecord* window = world_.windows.Find(platform::ValueOf(data.hwnd));
    if (window != nullptr && !OnWindowThread(*window)) delayMs = world_.slowNotifyIconMs;
  }
  if (delayMs > 0) process_.RunWindowTimersFor(data.hwnd, delayMs);
  return done;
}

bool SimShell::ChangeIcon(std::uint32_t message, const platform::NotifyIconData& data) {
  Lock lock(world_.mutex);
  world_.Trace(trace::NotifyIconLine(message, data));
  if (world_.Fails(Call::ShellNotifyIcon)) return false;
  const auto icon = std::make_pair(platform::ValueOf(data.hwnd), data.id);
  auto& icons = world_.shell.trayIcons;
  switch (message) {
    case platform::kNimAdd:
      return world_.windows.Exists(icon.first) && icons.insert(icon).second;
    case kNimModify:
      return icons.contains(icon);
    case platform::kNimDelete:
      return icons.erase(icon) > 0;
    default:
      return false;
  }
}

std::int32_t SimShell::LoadString(platform::Module module, std::uint32_t id,
                                  std::span<char> buffer) {
  Lock lock(world_.mutex);
  if (buffer.empty()) return 0;
  buffer[0] = '\0';
  if (world_.Fails(Call::LoadString)) return 0;
  if (!process_.modules.contains(platform::ValueOf(module))) return 0;
  const LibraryInfo* library = world_.libraries.AtBase(platform::ValueOf(module));
  if (library == nullptr) return 0;
  auto text = library->strings.find(id);
  if (text == library->strings.end()) return 0;
  const std::size_t length = std::min(text->second.size(), buffer.size() - 1);
  std::memcpy(buffer.data(), text->second.data(), length);
  buffer[length] = '\0';
  return static_cast<std::int32_t>(length);
}

platform::Menu SimShell::CreatePopupMenu() {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreatePopupMenu)) return platform::Menu::None;
  const std::uintptr_t menu = process_.NextMenu();
  process_.menus.emplace(menu, std::vector<MenuItemRecord>{});
  return static_cast<platform::Menu>(menu);
}

bool SimShell::AppendMenu(platform::Menu menu, std::uint32_t flags, std::uintptr_t id,
                          const char* text) {
  Lock lock(world_.mutex);
  world_.Trace(trace::AppendMenuLine(flags, id, text));
  if (world_.Fails(Call::AppendMenu)) return false;
  auto items = process_.menus.find(platform::ValueOf(menu));
  if (items == process_.menus.end()) return false;
  MenuItemRecord item;
  item.flags = flags;
  item.id = id;
  if (text != nullptr) item.text = std::string(text);
  items->second.push_back(std::move(item));
  return true;
}

bool SimShell::SetMenuDefaultItem(platform::Menu menu, std::uint32_t item, bool byPosition) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetMenuDefaultItemLine(item));
  if (world_.Fails(Call::SetMenuDefaultItem)) return false;
  auto items = process_.menus.find(platform::ValueOf(menu));
  if (items == process_.menus.end()) return false;
  auto& entries = items->second;
  const auto chosen =
      byPosition ? (item < entries.size() ? entries.begin() + item : entries.end())
                 : std::find_if(entries.begin(), entries.end(),
                                [item](const MenuItemRecord& entry) { return entry.id == item; });
  if (chosen == entries.end()) return false;
  for (auto& entry : entries) entry.isDefault = false;
  chosen->isDefault = true;
  return true;
}

bool SimShell::TrackPopupMenu(platform::Menu menu, std::uint32_t /*flags*/, std::int32_t x,
                              std::int32_t y, platform::Hwnd owner) {
  Lock lock(world_.mutex);
  auto items = process_.menus.find(platform::ValueOf(menu));
  const bool fails = world_.Fails(Call::TrackPopupMenu) || items == process_.menus.end();
  std::uint32_t chosen = 0;
  if (!fails) {
    chosen = world_.shell.pendingChoice.value_or(0);
    world_.shell.pendingChoice.reset();
    if (!IsChoosable(items->second, chosen)) chosen = 0;
    world_.shell.lastMenu = items->second;
  }
  world_.Trace(trace::TrackPopupMenuLine(x, y, chosen));
  if (fails) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(owner));
  if (chosen != 0 && window != nullptr && window->owner != nullptr) {
    // The menu's command reaches the owner after the menu has closed.
    window->owner->Enqueue({window->id, platform::kWmCommand, chosen, 0});
  }
  return true;
}

bool SimShell::DestroyMenu(platform::Menu menu) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::DestroyMenu)) return false;
  return process_.menus.erase(platform::ValueOf(menu)) > 0;
}

std::unique_ptr<platform::Shell> MakeSimShell(World& world, SimProcessImpl& process) {
  return std::make_unique<SimShell>(world, process);
}

}  // namespace hidhost::sim
