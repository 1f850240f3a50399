// The whole host, as WinMain runs it (framework::RunApplication), on a light
// desktop: its session is a sequence of steps run inside the message loop,
// and after every step the promises that hold between any two steps are
// checked; after the tear-down, the promises of an ended host.
//
// Between steps:
//   - no up is sent for input the host does not hold down, and nothing is
//     posted to no window;
//   - after a removal or a console disconnect nothing the host pressed is down,
//     the repeat timers are stopped and every raise of the system timer's
//     resolution is matched by its lower (and no lower is unmatched, ever);
//   - while the channel is open, the driver holds the mask of the record that
//     was in force at the last step that sends it (start-up, ApplyAll,
//     ApplyMaskFirst, arrival, reconnection), and a closed channel left
//     everything passing through;
//   - an update takes the block's record whole (but a pointer speed that the
//     system step cleared), a torn block changes nothing, and the host never
//     writes the block back.
// After the tear-down: exit code 0, every object closed, the driver released
// with everything passing through, no icon, no session registration, COM
// balanced, the event thread ended, nothing held down and the resolution
// lowered as often as it was raised.
#pragma once

#include <cstdint>
#include <optional>

#include "app/HostApp.h"
#include "light/LightDesktop.h"
#include "platform/Types.h"
#include "settings/MouseSettings.h"

namespace hidhost::fuzzing {

// The mask the driver must hold for a record: a button keeps its own input
// when it is assigned its own function (left 1, right 2, middle 3, X1 12, X2 11).
std::uint32_t ExpectedPassThroughMask(const settings::MouseSettings& record);

// The desktop of the host targets, from one input byte: bit 0 the
// configuration program runs (bit 2: minimised), bit 1 the on-screen display
// runs, bit 3 the string library is there, bit 4 the system refuses to raise
// its timer's resolution; bits 5 to 7 pick the scene under the cursor. The windows of every scene,
// and the registry of FurnishRegistry, are always there. There is no config.ini: the host starts
// with the defaults and takes every other record through updates (reading
// the file is fast_config_ini's, and costs more than the rest of a life).
void FurnishDesktop(LightDesktop& desktop, std::uint8_t flags);

// Windows for every scrolling strategy, as the scroll search meets them; the
// scene picks where the cursor is.
void FurnishWindows(LightWindows& windows);
void PointAtScene(LightDesktop& desktop, std::uint8_t scene);

// An action code from one input byte: mostly one the host performs, so that
// inputs reach actions rather than the codes that do nothing; else the byte.
std::uint8_t ActionCodeFrom(std::uint8_t byte);

// Control Panel\Mouse with the pointer speed values; Control Panel\Desktop
// missing, so that the host creates it.
void FurnishRegistry(FuzzedRegistry& registry);

class LightHost {
 public:
  explicit LightHost(LightDesktop& desktop) : desktop_(desktop) {}

  // The host's whole life: start-up, the session in its message loop (not run
  // when the start-up refused), tear-down; then the end checks. Gives the exit code.
  template <typename Session>
  int Run(Session& session) {
    session_ = [](void* context, LightHost& host) { (*static_cast<Session*>(context))(host); };
    sessionContext_ = &session;
    return RunApplication();
  }

  // Steps. Each runs what it sends to completion, delivers what was posted
  // and checks; a step after the host ended does nothing.
  void Word(std::uint32_t word);
  // The configuration program's update: the record into the block (null: the
  // block as it is), then the notice. A torn block is one whose writer died.
  void Update(std::uint32_t notice, const settings::MouseSettings* record, bool torn);
  void TickTimers();
  void ConsoleSession(bool connect);
  void DeviceChange();
  void TaskbarCreated();
  void TrayClick(platform::LParam mouseMessage);

  bool Alive() const { return desktop_.Windows().HostAlive(); }
  // The record the host holds.
  settings::MouseSettings Record() const;

 private:
  int RunApplication();
  void Begin();
  void AfterStep();
  void ExpectMaskOfRecord();
  void CheckNothingHeld() const;
  void CheckEnd(int exitCode) const;

  LightDesktop& desktop_;
  void (*session_)(void* context, LightHost& host) = nullptr;
  void* sessionContext_ = nullptr;
  app::HostApp* app_ = nullptr;
  std::uint32_t expectedMask_ = 0;
  std::optional<settings::MouseSettings> written_;  // the block as the program last wrote it
};

}  // namespace hidhost::fuzzing
