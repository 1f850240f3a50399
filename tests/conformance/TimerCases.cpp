// Window timers on the window's own thread and from another thread, the
// system timer's resolution and the sleeps it paces.
#include <thread>

#include "Cases.h"
#include "RecordingProcedure.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

using platform::Hwnd;

struct TimerRequest {
  platform::Timers* timers;
  Hwnd hwnd;
  std::uintptr_t id;
  bool start;  // false: stop
  bool result = false;
  std::thread::id thread{};

  static std::uint32_t Run(void* raw) {
    auto* request = static_cast<TimerRequest*>(raw);
    request->thread = std::this_thread::get_id();
    request->result = request->start ? request->timers->SetTimer(request->hwnd, request->id, 10)
                                     : request->timers->KillTimer(request->hwnd, request->id);
    return 0;
  }
};

// Runs the request on a new thread and waits for its end, the window's
// thread taking no message meanwhile: the host's tear-down waits so on its
// event thread, which must not wait for the window's thread in turn.
bool OnAnotherThread(platform::Kernel& kernel, TimerRequest& request) {
  const platform::Handle thread = kernel.CreateThread(0, &TimerRequest::Run, &request);
  const bool ended = kernel.WaitForSingleObject(thread, 5000) == platform::WaitResult::Signalled;
  kernel.CloseHandle(thread);
  return ended && request.thread != std::this_thread::get_id();
}

Hwnd TimerWindow(platform::Windows& windows, RecordingProcedure& procedure) {
  return windows.CreateFrameworkWindow({0, "HidHost timers", platform::kWsPopup, 0, 0, 10, 10},
                                       procedure);
}

}  // namespace

void TimersOnTheWindowThread(Checks& check, Stage& stage) {
  auto& timers = stage.Seam().timers;
  RecordingProcedure procedure(stage.Seam().windows);
  const Hwnd hwnd = TimerWindow(stage.Seam().windows, procedure);
  check.True(1, "SetTimer", timers.SetTimer(hwnd, 5, 10));
  check.True(2, "the timer ticks", stage.AwaitTick(hwnd, 5, [&] {
    return procedure.Find(platform::kWmTimer, 5) != nullptr;
  }));
  check.True(3, "KillTimer", timers.KillTimer(hwnd, 5));
  check.True(4, "KillTimer of a stopped timer fails", !timers.KillTimer(hwnd, 5));
  check.True(5, "a window that does not exist: SetTimer fails",
             !timers.SetTimer(static_cast<Hwnd>(0x7FF0), 1, 10));
  check.True(6, "USER_TIMER_MAXIMUM", timers.MaximumTimerPeriod() == 0x7FFFFFFFu);
  stage.Seam().windows.SendMessage(hwnd, platform::kWmClose, 0, 0);
}

void TimersFromAnotherThread(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  RecordingProcedure procedure(seam.windows);
  const Hwnd hwnd = TimerWindow(seam.windows, procedure);
  TimerRequest start{&seam.timers, hwnd, 7, true};
  check.True(1, "SetTimer from another thread returns while the window's thread takes no message",
             OnAnotherThread(seam.kernel, start));
  check.True(2, "and succeeds", start.result);
  const auto tick = [&] { return procedure.Find(platform::kWmTimer, 7); };
  check.True(3, "the timer starts once the window's thread takes messages",
             stage.AwaitTick(hwnd, 7, [&] { return tick() != nullptr; }));
  check.True(4, "its tick arrives on the window's thread",
             tick() && tick()->thread == std::this_thread::get_id());
  TimerRequest stop{&seam.timers, hwnd, 7, false};
  check.True(5, "KillTimer from another thread returns", OnAnotherThread(seam.kernel, stop));
  check.True(6, "and succeeds", stop.result);
  stage.DeliverUntil([] { return true; });
  check.True(7, "the timer is gone once the window's thread took the request",
             !seam.timers.KillTimer(hwnd, 7));
  check.True(8, "the forwarded requests never reach the procedure",
             !procedure.SawRegisteredMessage());
  seam.windows.SendMessage(hwnd, platform::kWmClose, 0, 0);
}

void ResolutionAndSleep(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  auto& timers = seam.timers;
  const auto slept = [&](std::uint32_t ms) {
    const std::uint64_t start = stage.NowUs();
    timers.Sleep(ms);
    return stage.NowUs() - start;
  };
  const std::uint64_t coarse = slept(1);
  check.KnownOnWine("Wine's timer ticks every millisecond, whatever the resolution")
      .True(1, "Sleep(1) at the default resolution lasts a tick of 15.625 ms", coarse >= 15000);
  check.True(2, "a period of 0 is refused (TIMERR_NOCANDO)", !timers.TimeBeginPeriod(0));
  check.True(3, "timeBeginPeriod(1) is granted", timers.TimeBeginPeriod(1));
  const std::uint64_t fine = slept(1);
  check.True(4, "Sleep(1) at 1 ms lasts at least 1 ms and less than a coarse tick",
             fine >= 1000 && fine < 15000);
  const std::uint64_t sixteen = slept(16);
  check.True(5, "Sleep(16) lasts at least 16 ms", sixteen >= 16000);
  check.True(6, "timeEndPeriod(1) ends it", timers.TimeEndPeriod(1));

  const platform::Handle event = seam.kernel.CreateEvent(true, false);
  const std::uint64_t start = stage.NowUs();
  check.True(10, "an unsignalled event: SleepUnlessSignalled answers false",
             !timers.SleepUnlessSignalled(event, 20));
  check.True(11, "after sleeping the whole time", stage.NowUs() - start >= 20000);
  seam.kernel.SetEvent(event);
  const std::uint64_t signalled = stage.NowUs();
  check.True(12, "a signalled event: SleepUnlessSignalled answers true",
             timers.SleepUnlessSignalled(event, 8000));
  check.True(13, "at once", stage.NowUs() - signalled < 1000000);
  seam.kernel.CloseHandle(event);
}

}  // namespace hidhost::conformance
