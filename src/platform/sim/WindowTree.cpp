#include "platform/sim/WindowTree.h"

#include <algorithm>

#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::sim {

namespace {
constexpr std::uint32_t kGwHwndFirst = 0;
constexpr std::uint32_t kGwHwndLast = 1;
}  // namespace

bool Contains(const platform::Rect& rect, platform::Point point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

bool OnWindowThread(const WindowRecord& window) {
  return window.thread == std::this_thread::get_id();
}

bool StartWindowTimer(WindowRecord& window, std::uintptr_t id, std::uint32_t periodMs,
                      std::uint64_t nowUs) {
  if (!OnWindowThread(window)) return false;
  window.timers[id] = {periodMs, nowUs};
  return true;
}

bool StopWindowTimer(WindowRecord& window, std::uintptr_t id) {
  if (!OnWindowThread(window)) return false;
  return window.timers.erase(id) > 0;
}

WindowTree::WindowTree() {
  WindowRecord desktop;
  desktop.id = kDesktopWindow;
  desktop.className = "#32769";
  desktop.rect = {0, 0, 1920, 1080};
  windows_.emplace(kDesktopWindow, std::move(desktop));
}

bool WindowTree::AddScenarioWindow(WindowRecord record) {
  if (record.id == 0 || Exists(record.id)) return false;
  if (record.parent == 0) record.parent = kDesktopWindow;
  WindowRecord* parent = Find(record.parent);
  if (parent == nullptr) return false;
  auto& siblings = parent->children;
  // Scenario windows keep their declared order above any process window.
  auto firstProcessWindow = std::find_if(siblings.begin(), siblings.end(),
                                         [this](auto id) { return Find(id)->owner != nullptr; });
  siblings.insert(firstProcessWindow, record.id);
  windows_.emplace(record.id, std::move(record));
  return true;
}

std::uintptr_t WindowTree::AddProcessWindow(WindowRecord record) {
  std::uintptr_t id = kFirstProcessWindow;
  while (Exists(id)) ++id;
  record.id = id;
  record.parent = kDesktopWindow;
  Find(kDesktopWindow)->children.push_back(id);
  windows_.emplace(id, std::move(record));
  return id;
}

void WindowTree::Remove(std::uintptr_t id) {
  WindowRecord* record = Find(id);
  if (record == nullptr || id == kDesktopWindow) return;
  for (auto child : std::vector<std::uintptr_t>(record->children)) Remove(child);
  if (WindowRecord* parent = Find(record->parent)) {
    std::erase(parent->children, id);
  }
  windows_.erase(id);
}

WindowRecord* WindowTree::Find(std::uintptr_t id) {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

const WindowRecord* WindowTree::Find(std::uintptr_t id) const {
  auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : &it->second;
}

std::uintptr_t WindowTree::WindowFromPoint(platform::Point screen) const {
  std::uintptr_t found = kDesktopWindow;
  for (;;) {
    const WindowRecord* level = Find(found);
    auto hit = std::find_if(level->children.begin(), level->children.end(), [&](auto id) {
      const WindowRecord* child = Find(id);
      return child->visible && Contains(child->rect, screen);
    });
    if (hit == level->children.end()) return found;
    found = *hit;
  }
}

std::uintptr_t WindowTree::ChildWindowFromPoint(std::uintptr_t parent,
                                                platform::Point screen) const {
  const WindowRecord* record = Find(parent);
  if (record == nullptr || !Contains(record->rect, screen)) return 0;
  for (auto id : record->children) {
    if (Contains(Find(id)->rect, screen)) return id;
  }
  return parent;
}

std::uintptr_t WindowTree::FindTopLevelByTitle(std::string_view title) const {
  for (auto id : Find(kDesktopWindow)->children) {
    if (Find(id)->title == title) return id;
  }
  return 0;
}

std::uintptr_t WindowTree::Relative(std::uintptr_t id, std::uint32_t relation) const {
  const WindowRecord* record = Find(id);
  if (record == nullptr) return 0;
  if (relation == platform::kGwChild) {
    return record->children.empty() ? 0 : record->children.front();
  }
  const WindowRecord* parent = Find(record->parent);
  if (parent == nullptr) return 0;
  const auto& siblings = parent->children;
  auto at = std::find(siblings.begin(), siblings.end(), id);
  switch (relation) {
    case kGwHwndFirst:
      return siblings.front();
    case kGwHwndLast:
      return siblings.back();
    case platform::kGwHwndNext:
      return std::next(at) == siblings.end() ? 0 : *std::next(at);
    case platform::kGwHwndPrev:
      return at == siblings.begin() ? 0 : *std::prev(at);
    default:
      return 0;
  }
}

std::vector<std::uintptr_t> WindowTree::Descendants(std::uintptr_t id) const {
  std::vector<std::uintptr_t> out;
  CollectDescendants(id, out);
  return out;
}

void WindowTree::CollectDescendants(std::uintptr_t id, std::vector<std::uintptr_t>& out) const {
  const WindowRecord* record = Find(id);
  if (record == nullptr) return;
  for (auto child : record->children) {
    out.push_back(child);
    CollectDescendants(child, out);
  }
}

std::vector<std::uintptr_t> WindowTree::WindowsOf(const SimProcessImpl* owner) const {
  std::vector<std::uintptr_t> out;
  for (const auto& [id, record] : windows_) {
    if (record.owner == owner) out.push_back(id);
  }
  return out;
}

}  // namespace hidhost::sim
