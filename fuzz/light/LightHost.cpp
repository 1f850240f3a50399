#include "light/LightHost.h"

#include <array>
#include <cstring>
#include <map>
#include <vector>

#include "FuzzCheck.h"
#include "actions/ActionCatalogue.h"
#include "actions/ActionDispatcher.h"
#include "app/ConfigurationProgram.h"
#include "app/HostWindow.h"
#include "app/TrayIcon.h"
#include "device/EventDecoder.h"
#include "framework/Application.h"
#include "platform/Constants.h"
#include "support/BusyDesktop.h"

namespace hidhost::fuzzing {

using settings::MouseSettings;

namespace {

struct NativeFunction {
  std::size_t index;
  std::uint8_t code;
};
constexpr std::array<NativeFunction, 5> kNativeFunctions = {
    {{0, 1}, {1, 2}, {2, 3}, {3, 12}, {4, 11}}};

std::uint8_t DeviceStateOf(std::uint32_t word) {
  return static_cast<std::uint8_t>(word >> 8);
}

// The system step clears SpeedPreset when acceleration is off; no other field
// of the record the host took may differ from the block's.
bool TakenWhole(MouseSettings held, MouseSettings sent) {
  if (held.SpeedPreset != sent.SpeedPreset && held.SpeedPreset != 0) return false;
  held.SpeedPreset = sent.SpeedPreset;
  return held == sent;
}

bool IsReloadOnly(std::uint32_t notice) {
  return notice == app::kSettingsReload1 || notice == app::kSettingsReload2;
}

}  // namespace

std::uint32_t ExpectedPassThroughMask(const MouseSettings& record) {
  std::uint32_t mask = 0xFFFF;
  for (const NativeFunction& native : kNativeFunctions) {
    if (record.ButtonInfo[native.index].actionCode == native.code) mask &= ~(1u << native.index);
  }
  return mask;
}

std::uint8_t ActionCodeFrom(std::uint8_t byte) {
  static const std::vector<std::uint8_t> known = [] {
    std::vector<std::uint8_t> codes;
    for (int code = 0; code < 256; ++code) {
      if (actions::FindAction(static_cast<std::uint8_t>(code)) != nullptr) {
        codes.push_back(static_cast<std::uint8_t>(code));
      }
    }
    return codes;
  }();
  constexpr std::uint8_t kRawFrom = 0xE0;
  if (byte >= kRawFrom || known.empty()) return byte;
  return known[byte % known.size()];
}

void FurnishWindows(LightWindows& windows) {
  // Built once: a host's life costs microseconds, the tree's building would not.
  static const bench::NullWindowTree kScenes = [] {
    bench::NullWindowTree tree;
    std::map<std::uintptr_t, platform::Hwnd> handles;
    for (const testing::WindowScene& scene : testing::WindowScenes()) {
      for (const sim::WindowSpec& declared : scene.windows) {
        const auto parent = handles.find(declared.parent);
        handles[declared.id] =
            tree.Add(declared.className, parent == handles.end() ? tree.Desktop() : parent->second,
                     declared.rect, declared.style);
      }
    }
    return tree;
  }();
  windows.Tree() = kScenes;
}

void PointAtScene(LightDesktop& desktop, std::uint8_t scene) {
  const auto& scenes = testing::WindowScenes();
  desktop.Input().SetCursor(scenes[scene % scenes.size()].cursor);
}

void FurnishRegistry(FuzzedRegistry& registry) {
  FuzzedRegistry::KeyState& mouse = registry.Key("Control Panel\\Mouse");
  mouse.exists = true;
  mouse.values["MouseSpeed"] = {platform::kRegSz, "1"};
  mouse.values["MouseThreshold1"] = {platform::kRegSz, "6"};
  mouse.values["MouseThreshold2"] = {platform::kRegSz, "10"};
}

void FurnishDesktop(LightDesktop& desktop, std::uint8_t flags) {
  desktop.Windows().SetCompanions((flags & 0x01) != 0, (flags & 0x02) != 0, (flags & 0x04) != 0);
  desktop.Kernel().SetStringLibrary((flags & 0x08) != 0);
  desktop.Timers().SetResolutionRefused((flags & 0x10) != 0);
  FurnishWindows(desktop.Windows());
  FurnishRegistry(desktop.Registry());
  PointAtScene(desktop, static_cast<std::uint8_t>(flags >> 5));
}

int LightHost::RunApplication() {
  desktop_.Windows().SetSession(
      [](void* context) {
        auto& self = *static_cast<LightHost*>(context);
        self.Begin();
        self.session_(self.sessionContext_, self);
      },
      this);
  app::HostApp app(desktop_.Platform());
  app_ = &app;
  const int exitCode = framework::RunApplication(app, desktop_.Windows());
  app_ = nullptr;
  CheckEnd(exitCode);
  return exitCode;
}

MouseSettings LightHost::Record() const {
  return app_->Window()->Settings().Snapshot();
}

void LightHost::Begin() {
  ExpectMaskOfRecord();
  AfterStep();
}

void LightHost::ExpectMaskOfRecord() {
  if (desktop_.Driver().Open()) expectedMask_ = ExpectedPassThroughMask(Record());
}

void LightHost::CheckNothingHeld() const {
  FUZZ_CHECK(desktop_.Input().Held().NothingDown());
  // Nothing keeps pacing: the repeat timers stopped, every raise of the
  // system timer's resolution matched by its lower.
  for (std::uintptr_t id : {actions::kRepeatClickTimer, actions::kAutoFireTimer}) {
    FUZZ_CHECK(!desktop_.Timers().Running(id));
  }
  FUZZ_CHECK(desktop_.Timers().RaisedResolution() == 0);
}

void LightHost::AfterStep() {
  desktop_.Windows().Pump();
  FUZZ_CHECK(desktop_.Input().Held().StrayUps() == 0);
  FUZZ_CHECK(desktop_.Timers().StrayLowers() == 0);
  // A post to no window is a thread message that nobody reads.
  FUZZ_CHECK(desktop_.Windows().PostsToNoWindow() == 0);
  if (desktop_.Driver().Open()) {
    FUZZ_CHECK(desktop_.Driver().LastMask() == expectedMask_);
  } else {
    FUZZ_CHECK(desktop_.Driver().LastMask().value_or(0) == 0);
  }
  if (written_) {
    FUZZ_CHECK(std::memcmp(desktop_.Kernel().Block().data(), &*written_,
                           settings::kMouseSettingsSize) == 0);
  }
}

void LightHost::Word(std::uint32_t word) {
  if (!Alive()) return;
  desktop_.Event(word);
  if (!Alive()) return;
  const std::uint8_t state = DeviceStateOf(word);
  if (state == device::kDeviceArrived) ExpectMaskOfRecord();
  // The release of a held button will never come: the host let go of it.
  if (state == device::kDeviceRemoved && desktop_.Driver().Registered()) {
    CheckNothingHeld();
    FUZZ_CHECK(!desktop_.Shell().IconShown());
  }
  AfterStep();
}

void LightHost::Update(std::uint32_t notice, const MouseSettings* record, bool torn) {
  if (!Alive()) return;
  const MouseSettings before = Record();
  if (record != nullptr) {
    std::memcpy(desktop_.Kernel().Block().data(), record, settings::kMouseSettingsSize);
    written_ = *record;
  }
  if (torn) desktop_.Kernel().AbandonSharedMutexOnce();
  desktop_.Windows().SendToHost(notice);
  if (!Alive()) return;
  const MouseSettings after = Record();
  if (torn) {
    // A block whose writer died holding its mutex is not taken.
    FUZZ_CHECK(TakenWhole(after, before));
  } else if (written_) {
    FUZZ_CHECK(IsReloadOnly(notice) ? after == *written_ : TakenWhole(after, *written_));
  }
  if (!IsReloadOnly(notice)) ExpectMaskOfRecord();
  FUZZ_CHECK(desktop_.Kernel().HeldMutexes() == 0);
  AfterStep();
}

void LightHost::TickTimers() {
  if (!Alive()) return;
  // A tick may stop a timer: tick the ones running now.
  const std::span<const std::uintptr_t> running = desktop_.Timers().RunningIds();
  const std::vector<std::uintptr_t> ids(running.begin(), running.end());
  for (std::uintptr_t id : ids) {
    if (desktop_.Timers().Running(id)) desktop_.Windows().SendToHost(platform::kWmTimer, id);
  }
  AfterStep();
}

void LightHost::ConsoleSession(bool connect) {
  if (!Alive()) return;
  desktop_.Windows().SendToHost(
      platform::kWmWtsSessionChange,
      connect ? platform::kWtsConsoleConnect : platform::kWtsConsoleDisconnect);
  if (connect) {
    ExpectMaskOfRecord();
  } else {
    FUZZ_CHECK(!desktop_.Driver().Open());
    CheckNothingHeld();
  }
  AfterStep();
}

void LightHost::DeviceChange() {
  if (!Alive()) return;
  // Only a closed channel is opened again, and only an opening sends the mask.
  const bool wasOpen = desktop_.Driver().Open();
  desktop_.Windows().SendToHost(platform::kWmDeviceChange);
  if (!wasOpen) ExpectMaskOfRecord();
  AfterStep();
}

void LightHost::TaskbarCreated() {
  if (!Alive()) return;
  const bool shown = desktop_.Shell().IconShown();
  // The system gives every caller the same number for a name.
  desktop_.Windows().SendToHost(desktop_.Windows().RegisteredMessage("TaskbarCreated"));
  FUZZ_CHECK(desktop_.Shell().IconShown() == shown);
  AfterStep();
}

void LightHost::TrayClick(platform::LParam mouseMessage) {
  if (!Alive()) return;
  desktop_.Windows().SendToHost(app::kTrayCallbackMessage, 0, mouseMessage);
  AfterStep();
}

void LightHost::CheckEnd(int exitCode) const {
  FUZZ_CHECK(exitCode == 0);
  FUZZ_CHECK(desktop_.OpenObjects() == 0);
  FUZZ_CHECK(desktop_.Kernel().MappedViews() == 0);
  FUZZ_CHECK(desktop_.Kernel().HeldMutexes() == 0);
  FUZZ_CHECK(desktop_.Kernel().EventThreadEnded());
  FUZZ_CHECK(!desktop_.Driver().Open() && !desktop_.Driver().Registered());
  FUZZ_CHECK(desktop_.Driver().LastMask().value_or(0) == 0);
  FUZZ_CHECK(!desktop_.Shell().IconShown());
  FUZZ_CHECK(desktop_.Shell().ComInitialisations() == 0);
  FUZZ_CHECK(!desktop_.Windows().SessionRegistered());
  FUZZ_CHECK(desktop_.Input().Held().StrayUps() == 0);
  CheckNothingHeld();
}

}  // namespace hidhost::fuzzing
