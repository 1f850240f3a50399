#include <memory>

#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimTimers final : public platform::Timers, FacetBase {
 public:
  using FacetBase::FacetBase;
  bool SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) override;
  bool KillTimer(platform::Hwnd hwnd, std::uintptr_t id) override;
  std::uint32_t MaximumTimerPeriod() override { return 0x7FFFFFFF; }
  void Sleep(std::uint32_t ms) override;
  bool SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) override;
  bool TimeBeginPeriod(std::uint32_t ms) override;
  bool TimeEndPeriod(std::uint32_t ms) override;
};

namespace {

// timeGetDevCaps' range on Windows.
constexpr std::uint32_t kFinestPeriodMs = 1;
constexpr std::uint32_t kCoarsestPeriodMs = 1000000;

}  // namespace

// The system refuses a timer call for another thread's window. Like the Win32
// backend, the facet then posts the request to the window's thread, which
// makes the call when it next takes a message; the caller learns only that
// the request was queued. The trace line is the caller's, where it made the call.
bool SimTimers::SetTimer(platform::Hwnd hwnd, std::uintptr_t id, std::uint32_t periodMs) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetTimerLine(id, periodMs));
  if (world_.Fails(Call::SetTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  if (!OnWindowThread(*window)) {
    process_.Enqueue({window->id, 0, id, periodMs, TimerRequest::Set});
    return true;
  }
  return StartWindowTimer(*window, id, periodMs, world_.clock.NowUs());
}

bool SimTimers::KillTimer(platform::Hwnd hwnd, std::uintptr_t id) {
  Lock lock(world_.mutex);
  world_.Trace(trace::KillTimerLine(id));
  if (world_.Fails(Call::KillTimer)) return false;
  WindowRecord* window = world_.windows.Find(platform::ValueOf(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  if (!OnWindowThread(*window)) {
    process_.Enqueue({window->id, 0, id, 0, TimerRequest::Kill});
    return true;
  }
  return StopWindowTimer(*window, id);
}

void SimTimers::Sleep(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SleepLine(ms));
  // Sleep cannot fail on Windows; failed here, it returns at once.
  if (world_.Fails(Call::Sleep)) return;
  world_.clock.Sleep(ms);
}

bool SimTimers::SleepUnlessSignalled(platform::Handle event, std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SleepLine(ms));
  auto object = process_.Object(event, ObjectKind::Event);
  if (object != nullptr && CanTake(*object, std::this_thread::get_id())) {
    Take(*object, std::this_thread::get_id());
    return true;
  }
  world_.clock.Sleep(ms);
  return false;
}

bool SimTimers::TimeBeginPeriod(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::TimeBeginPeriodLine(ms));
  if (world_.Fails(Call::TimeBeginPeriod)) return false;
  if (ms < kFinestPeriodMs || ms > kCoarsestPeriodMs) return false;
  ++process_.heldTimerPeriods[ms];
  ++process_.timerPeriodBalance;
  world_.clock.HoldResolution(ms);
  return true;
}

bool SimTimers::TimeEndPeriod(std::uint32_t ms) {
  Lock lock(world_.mutex);
  world_.Trace(trace::TimeEndPeriodLine(ms));
  --process_.timerPeriodBalance;
  if (world_.Fails(Call::TimeEndPeriod)) return false;
  auto it = process_.heldTimerPeriods.find(ms);
  if (it == process_.heldTimerPeriods.end()) return false;
  if (--it->second == 0) process_.heldTimerPeriods.erase(it);
  world_.clock.ReleaseResolution(ms);
  return true;
}

std::unique_ptr<platform::Timers> MakeSimTimers(World& world, SimProcessImpl& process) {
  return std::make_unique<SimTimers>(world, process);
}

}  // namespace hidhost::sim
