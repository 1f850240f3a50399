// The simulated desktop's windows: a tree under the desktop window, each
// level kept in z-order (first is on top), with the attributes the host
// inspects. Holds no lock; the world's lock guards it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace hidhost::sim {

class SimProcessImpl;

struct WindowTimer {
  std::uint32_t periodMs = 0;
  std::uint64_t sinceUs = 0;  // when it was set or last fired
};

struct WindowRecord;

// True on the thread that created the window.
bool OnWindowThread(const WindowRecord& window);
// The system's own timer calls. As on Windows, only the window's thread may
// start or stop its timers: from any other thread both fail and change nothing.
bool StartWindowTimer(WindowRecord& window, std::uintptr_t id, std::uint32_t periodMs,
                      std::uint64_t nowUs);
bool StopWindowTimer(WindowRecord& window, std::uintptr_t id);

struct WindowRecord {
  std::uintptr_t id = 0;
  std::string className;
  std::uintptr_t parent = 0;  // 0 only for the desktop itself
  platform::Rect rect;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::string title;
  bool visible = true;
  std::vector<std::uintptr_t> children;  // z-order, top first

  // Windows of a simulated process; scenario windows have neither.
  SimProcessImpl* owner = nullptr;
  platform::WindowProcedure* procedure = nullptr;
  std::thread::id thread;
  std::map<std::uintptr_t, WindowTimer> timers;
  bool destroying = false;
};

class WindowTree {
 public:
  WindowTree();

  // A scenario window; false when the id is taken or the parent unknown.
  bool AddScenarioWindow(WindowRecord record);
  // A process's top-level window under the lowest free handle from 0x10001.
  // Process windows sit below every scenario window in z-order.
  std::uintptr_t AddProcessWindow(WindowRecord record);
  void Remove(std::uintptr_t id);

  WindowRecord* Find(std::uintptr_t id);
  const WindowRecord* Find(std::uintptr_t id) const;
  bool Exists(std::uintptr_t id) const { return Find(id) != nullptr; }

  std::uintptr_t WindowFromPoint(platform::Point screen) const;
  // 0 when the point is outside the parent.
  std::uintptr_t ChildWindowFromPoint(std::uintptr_t parent, platform::Point screen) const;
  std::uintptr_t FindTopLevelByTitle(std::string_view title) const;
  std::uintptr_t Relative(std::uintptr_t id, std::uint32_t relation) const;
  std::vector<std::uintptr_t> Descendants(std::uintptr_t id) const;  // depth-first, z-order
  std::vector<std::uintptr_t> WindowsOf(const SimProcessImpl* owner) const;

 private:
  void CollectDescendants(std::uintptr_t id, std::vector<std::uintptr_t>& out) const;
  std::map<std::uintptr_t, WindowRecord> windows_;
};

bool Contains(const platform::Rect& rect, platform::Point point);

}  // namespace hidhost::sim
