#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/sim/TraceLine.h"

namespace hidhost::sim {

namespace {

std::string SleepLine(std::uint32_t ms) {
  return TraceLine("Sleep").Field("ms", Decimal(static_cast<std::int32_t>(ms))).Take();
}

}  // namespace

bool SimTimers::SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) {
  Lock lock(world_.mutex);
  world_.Trace(TraceLine("SetTimer")
                   .Field("id", Decimal(static_cast<std::int64_t>(id)))
                   .Field("period", Decimal(static_cast<std::int32_t>(periodMs)))
                   .Take());
  if (world_.Fails(Call::SetTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  window->timers[id] = periodMs;
  return true;
}

bool SimTimers::KillTimer(platform::Hwnd hwnd, std::uintptr_t id) {
  Lock lock(world_.mutex);
  world_.Trace(TraceLine("KillTimer").Field("id", Decimal(static_cast<std::int64_t>(id))).Take());
  if (world_.Fails(Call::KillTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  return window->timers.erase(id) > 0;
}

void SimTimers::Sleep(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(SleepLine(ms));
  world_.clockMs += ms;
}

bool SimTimers::SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(SleepLine(ms));
  auto object = process_.Object(event, ObjectKind::Event);
  if (object != nullptr && CanTake(*object, std::this_thread::get_id())) {
    Take(*object, std::this_thread::get_id());
    return true;
  }
  world_.clockMs += ms;
  return false;
}

}  // namespace hidhost::sim
