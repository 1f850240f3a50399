// The conformance cases on the simulated desktop: a fresh desktop with one
// process for each case.
#include <fstream>
#include <memory>
#include <string>

#include "Cases.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"

namespace hidhost::conformance {
namespace {

constexpr int kPatienceRounds = 100;

class SimStage : public Stage {
 public:
  platform::Platform& Seam() override { return process_.Platform(); }

  platform::Hwnd AddWindow(const ForeignWindow& window) override {
    const std::uintptr_t id = nextWindow_++;
    desktop_.AddWindow({id, std::string(window.className), platform::ValueOf(window.parent),
                        window.rect, window.style, std::string(window.title)});
    return static_cast<platform::Hwnd>(id);
  }
  std::optional<std::uint32_t> ClassStyle(platform::Hwnd) override { return std::nullopt; }

  bool DeliverUntil(const std::function<bool()>& done) override {
    for (int round = 0; round < kPatienceRounds; ++round) {
      process_.PumpMessages();
      if (done()) return true;
      desktop_.WaitUntilIdle();
    }
    return false;
  }
  bool AwaitTick(platform::Hwnd hwnd, std::uintptr_t id,
                 const std::function<bool()>& done) override {
    process_.PumpMessages();
    if (!process_.AdvanceToTimerTick(hwnd, id)) return false;
    process_.SendToWindow(hwnd, platform::kWmTimer, id, 0);
    return done();
  }
  void LetOtherThreadsRun() override { desktop_.WaitUntilIdle(); }
  std::uint64_t NowUs() override { return desktop_.NowUs(); }

  std::string WriteFile(std::string_view name, std::string_view text) override {
    std::ofstream(desktop_.HostDirectoryOnDisk() / std::string(name),
                  std::ios::binary | std::ios::trunc)
        << text;
    return PathOf(name);
  }
  std::string PathOf(std::string_view name) override {
    return sim::kHostDirectory + std::string(name);
  }
  int HoldFile(const std::string& path, std::uint32_t share) override {
    return desktop_.HoldFileOpen(path, share);
  }
  void ReleaseFile(int hold) override { desktop_.ReleaseFile(hold); }
  std::string ExecutableName() override { return "HidHost.exe"; }
  std::string StringLibraryPath() override { return sim::kStringLibraryPath; }

  void PlantValue(std::string_view key, std::string_view name, std::uint32_t type,
                  std::span<const char> data) override {
    desktop_.SetRegistryValue(key, name, type, data);
  }
  std::optional<std::string> ReadValue(std::string_view key, std::string_view name) override {
    return desktop_.RegistryString(key, name);
  }
  std::string_view ScratchKey() override { return "Software\\HidHostConformance"; }

  MouseSettings ReadMouseSettings() override {
    MouseSettings settings;
    if (const auto mouse = desktop_.LastSystemParameter(platform::kSpiSetMouse)) {
      std::copy(std::begin(mouse->pvParam.values), std::end(mouse->pvParam.values), settings.mouse);
    }
    if (const auto lines = desktop_.LastSystemParameter(platform::kSpiSetWheelScrollLines)) {
      settings.wheelLines = lines->uiParam;
    }
    if (const auto speed = desktop_.LastSystemParameter(platform::kSpiSetMouseSpeed)) {
      settings.speed = speed->pvParam.values[0];
    }
    settings.doubleClickMs = desktop_.DoubleClickTime().value_or(500);
    return settings;
  }
  void RestoreMouseSettings(const MouseSettings&) override {}  // each case has a desktop of its own
  std::optional<bool> OpenToEveryone(platform::Handle) override { return std::nullopt; }

  bool SetDriver(DriverMode mode) override {
    desktop_.SetDriver(mode == DriverMode::Absent    ? sim::DriverMode::Absent
                       : mode == DriverMode::Present ? sim::DriverMode::Present
                                                     : sim::DriverMode::Refuses);
    return true;
  }
  void QueueDriverWord(std::uint32_t word) override { desktop_.QueueEvent(word); }
  std::optional<std::uint32_t> LastDriverMask() override { return desktop_.LastMask(); }

 private:
  sim::SimDesktop desktop_;
  sim::SimProcess& process_ = desktop_.StartProcess();
  std::uintptr_t nextWindow_ = 0x100;
};

}  // namespace

std::unique_ptr<Stage> MakeSimStage() {
  return std::make_unique<SimStage>();
}

}  // namespace hidhost::conformance
