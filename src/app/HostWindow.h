// The hidden host window: it owns the host's run-time state, runs the whole
// start-up when it is created and undoes it when it is destroyed, and
// receives every window message of the system.
//
// Threads: the window thread runs every handler; the event thread runs the
// DeviceEventSink half (through the decoder). Fields touched by both say how.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "actions/ActionDispatcher.h"
#include "actions/HeldFunctionFlags.h"
#include "app/TrayIcon.h"
#include "contracts/ConfigurationProtocol.h"
#include "device/DriverChannel.h"
#include "device/EventDecoder.h"
#include "device/EventThread.h"
#include "framework/Application.h"
#include "platform/Platform.h"
#include "platform/UniqueResource.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SharedSettingsBlock.h"

namespace hidhost::app {

using contracts::kHostWindowTitle;

class HostWindow final : public framework::RoutedWindow, private device::DeviceEventSink {
 public:
  HostWindow(platform::Platform& platform, framework::Application& app);
  ~HostWindow() override;

  // Creates the hidden window; None when the start-up refused it.
  platform::Hwnd Create();

  // Observation for tests and tools.
  const settings::LiveSettings& Settings() const { return settings_; }
  bool ChannelOpen() const { return channel_.IsOpen(); }
  const std::string& ConfigPath() const { return configPath_; }

  // False while an event thread that was started has not ended. Until it
  // has, this object, the channel and the thread's kernel objects must stay:
  // the thread may still use them.
  bool EventThreadEnded() const;

  // Any thread, once the process has crashed: lets go of every button and key
  // the host holds, hands the buttons' own input back to the driver and takes
  // the icon away. Takes no lock; `direct` must take none either.
  void LetGoAfterCrash(platform::Platform& direct) noexcept;

 private:
  friend struct HostWindowRoutes;

  bool Route(std::uint32_t message, platform::WParam wParam, platform::LParam lParam,
             platform::LResult& result) override;

  // Routing table handlers.
  platform::LResult OnCreate(platform::WParam, platform::LParam);
  platform::LResult OnDestroy(platform::WParam, platform::LParam);
  platform::LResult OnTimer(platform::WParam, platform::LParam);
  platform::LResult OnDeviceChange(platform::WParam, platform::LParam);
  platform::LResult OnSessionChange(platform::WParam, platform::LParam);
  platform::LResult OnTrayNotification(platform::WParam, platform::LParam);
  platform::LResult OnApplyAll(platform::WParam, platform::LParam);
  platform::LResult OnReloadOnly(platform::WParam, platform::LParam);
  platform::LResult OnApplyMaskFirst(platform::WParam, platform::LParam);
  platform::LResult OnOpenSettingsCommand(platform::WParam, platform::LParam);
  platform::LResult OnExitCommand(platform::WParam, platform::LParam);
  platform::LResult OnShellRequest(platform::WParam, platform::LParam);

  // Start-up steps.
  void CreateShellObject();
  void ComputePaths();
  void RegisterForSessionChanges();
  void LoadStringLibrary();
  void LoadSettingsRecord();
  void StartEventThread();
  void ConnectDevice();

  // Tear-down steps.
  void StopEventThread();
  void ReleaseSessionLibrary();

  // Opens the channel when the host can use one; then the device-ready steps.
  void OpenChannelAndAnnounce();
  void DeviceReadySequence();
  void WriteDeviceFlag(std::int32_t value);
  void ReloadFromSharedBlock();
  void ApplySystemSettings();

  // DeviceEventSink, on the event thread.
  void OnButtonPress(int index) override;
  void OnButtonRelease(int index) override;
  void RunSingleShot(int index) override;
  void OnDeviceArrived() override;
  void OnDeviceRemoved() override;

  platform::Platform& platform_;

  // Written once during start-up, before the event thread starts; read-only after.
  platform::Hwnd self_ = platform::Hwnd::None;
  std::string hostDirectory_;
  std::string configPath_;
  std::uint32_t taskbarCreatedMessage_ = 0;

  // Window thread only.
  bool comInitialized_ = false;
  platform::UniqueComObject shellDispatch_;
  platform::UniqueModule sessionLibrary_;
  platform::UniqueModule stringLibrary_;
  settings::RegistryKey mouseKey_;
  settings::SharedSettingsBlock sharedBlock_;
  platform::UniqueHandle semaphore_;
  platform::UniqueHandle quitEvent_;
  platform::UniqueHandle eventThread_;

  // Replaced by the window thread, read by the event thread word by word (atomics).
  settings::LiveSettings settings_;
  // Set by the event thread, replayed by the window thread's timer (atomics).
  actions::HeldFunctionFlags heldFlags_;
  // Set once by the window thread at tear-down; read by the event thread.
  std::atomic<bool> quit_{false};
  // Used from both threads; it guards itself.
  device::DriverChannel channel_;
  TrayIcon trayIcon_;
  actions::ActionDispatcher dispatcher_;
  // Event thread only.
  device::EventDecoder decoder_;
  // Read by the event thread; built before it starts. Its `left` flag is the
  // one field the thread writes (an atomic).
  device::EventThreadContext threadContext_;
};

}  // namespace hidhost::app
