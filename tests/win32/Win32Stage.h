// The conformance cases' stage on the real system.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Stage.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"

#ifdef HIDHOST_EMULATED_DRIVER
#include "DriverState.h"
#include "EventLog.h"
#include "PipeServer.h"
#endif

namespace hidhost::conformance {

// The emulator's driver, listening from the first case that wants a driver
// until the process ends (its pipe threads block in the system, so the
// program ends with ExitProcess).
class DriverEmulator {
#ifdef HIDHOST_EMULATED_DRIVER
 public:
  bool Start();
  bool Started() const {
    return started_;
  }
  driver_emu::DriverState& State() {
    return state_;
  }

 private:
  driver_emu::EventLog log_{"NUL"};
  driver_emu::DriverState state_{log_};
  driver_emu::PipeServer server_{state_, log_};
  bool started_ = false;
#endif
};

class Win32Stage : public Stage {
 public:
  explicit Win32Stage(DriverEmulator* emulator);
  ~Win32Stage() override;

  platform::Platform& Seam() override { return platform_; }
  platform::Hwnd AddWindow(const ForeignWindow& window) override;
  std::optional<std::uint32_t> ClassStyle(platform::Hwnd hwnd) override;
  bool DeliverUntil(const std::function<bool()>& done) override;
  bool AwaitTick(platform::Hwnd hwnd, std::uintptr_t id,
                 const std::function<bool()>& done) override;
  void LetOtherThreadsRun() override;
  std::uint64_t NowUs() override;
  std::string WriteFile(std::string_view name, std::string_view text) override;
  std::string PathOf(std::string_view name) override;
  int HoldFile(const std::string& path, std::uint32_t share) override;
  void ReleaseFile(int hold) override;
  std::string ExecutableName() override;
  std::string StringLibraryPath() override;
  void PlantValue(std::string_view key, std::string_view name, std::uint32_t type,
                  std::span<const char> data) override;
  std::optional<std::string> ReadValue(std::string_view key, std::string_view name) override;
  std::string_view ScratchKey() override;
  MouseSettings ReadMouseSettings() override;
  void RestoreMouseSettings(const MouseSettings& settings) override;
  std::optional<bool> OpenToEveryone(platform::Handle mapping) override;
  bool SetDriver(DriverMode mode) override;
  void QueueDriverWord(std::uint32_t word) override;
  std::optional<std::uint32_t> LastDriverMask() override;

 private:
  platform::win32::Win32Platform platform_;
  [[maybe_unused]] DriverEmulator* emulator_;
  std::vector<HWND> windows_;
  std::map<HWND, HWND> lastChild_;  // by parent, the last window made
  std::vector<HANDLE> holds_;
  std::vector<std::string> files_;
};

}  // namespace hidhost::conformance
