#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

bool SimTimers::SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetTimerLine(id, periodMs));
  if (world_.Fails(Call::SetTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  window->timers[id] = periodMs;
  return true;
}

bool SimTimers::KillTimer(platform::Hwnd hwnd, std::uintptr_t id) {
  Lock lock(world_.mutex);
  world_.Trace(trace::KillTimerLine(id));
  if (world_.Fails(Call::KillTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  return window->timers.erase(id) > 0;
}

void SimTimers::Sleep(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SleepLine(ms));
  world_.clockMs += ms;
}

bool SimTimers::SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SleepLine(ms));
  auto object = process_.Object(event, ObjectKind::Event);
  if (object != nullptr && CanTake(*object, std::this_thread::get_id())) {
    Take(*object, std::this_thread::get_id());
    return true;
  }
  world_.clockMs += ms;
  return false;
}

}  // namespace hidhost::sim
