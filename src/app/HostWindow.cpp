#include "app/HostWindow.h"

#include <array>
#include <span>

#include "app/ConfigurationProgram.h"
#include "platform/Constants.h"
#include "settings/ConfigFile.h"
#include "settings/SettingsLoader.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::app {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::WParam;

namespace {

constexpr const char* kSessionLibrary = "wtsapi32.dll";
constexpr const char* kRegisterSessionEntry = "WTSRegisterSessionNotification";
constexpr const char* kUnregisterSessionEntry = "WTSUnRegisterSessionNotification";
constexpr int kSessionRegistrationAttempts = 10;
constexpr std::uint32_t kSessionRetryPauseMs = 1000;
constexpr const char* kStringLibrary = "lan.dll";
constexpr const char* kMouseKeyPath = "HKEY_CURRENT_USER\\Control Panel\\Mouse";
constexpr const char* kTaskbarCreated = "TaskbarCreated";
// One count per event the driver queues: a lower ceiling loses the counts of
// events queued while the thread is busy (an arrival's wait, a slow shell
// call), and every later event would then be read one signal late.
constexpr std::int32_t kSemaphoreMaximum = 0x7FFFFFFF;  // LONG_MAX
constexpr std::uint32_t kEventThreadStack = 4096;
// How long the tear-down lets the woken event thread take to leave its loop.
constexpr std::uint32_t kEventThreadExitMs = 1000;
// The driver reports an arrival before the mouse is ready to take requests.
constexpr std::uint32_t kArrivalSettleMs = 8000;

}  // namespace

// The routing table: every message the host handles, as data.
struct HostWindowRoutes {
  using Route = framework::MessageRoute<HostWindow>;
  static constexpr std::array<Route, 13> kTable = {{
      {platform::kWmCreate, 0, &HostWindow::OnCreate},
      {platform::kWmDestroy, 0, &HostWindow::OnDestroy},
      {platform::kWmTimer, 0, &HostWindow::OnTimer},
      {platform::kWmDeviceChange, 0, &HostWindow::OnDeviceChange},
      {platform::kWmWtsSessionChange, 0, &HostWindow::OnSessionChange},
      {kTrayCallbackMessage, 0, &HostWindow::OnTrayNotification},
      {kSettingsApplyAll, 0, &HostWindow::OnApplyAll},
      {kSettingsReload1, 0, &HostWindow::OnReloadOnly},
      {kSettingsReload2, 0, &HostWindow::OnReloadOnly},
      {kSettingsApplyMaskFirst, 0, &HostWindow::OnApplyMaskFirst},
      {platform::kWmCommand, kOpenSettingsCommand, &HostWindow::OnOpenSettingsCommand},
      {platform::kWmCommand, kExitCommand, &HostWindow::OnExitCommand},
      {actions::kShellRequestMessage, 0, &HostWindow::OnShellRequest},
  }};
};

HostWindow::HostWindow(platform::Platform& platform, framework::Application& app)
    : RoutedWindow(platform.windows, app),
      platform_(platform),
      mouseKey_(platform.registry),
      sharedBlock_(platform),
      channel_(platform, settings_),
      trayIcon_(platform),
      dispatcher_(platform, settings_, heldFlags_),
      decoder_(*this),
      threadContext_{platform.kernel,        channel_, decoder_, platform::Handle::None,
                     platform::Handle::None, quit_} {}

HostWindow::~HostWindow() = default;

Hwnd HostWindow::Create() {
  platform::WindowAttributes attributes;
  attributes.exStyle = 0;
  attributes.title = kHostWindowTitle;
  attributes.style = platform::kWsPopup;
  attributes.x = 100;
  attributes.y = 100;
  attributes.width = 100;
  attributes.height = 100;
  return platform_.windows.CreateFrameworkWindow(attributes, *this);
}

bool HostWindow::Route(std::uint32_t message, WParam wParam, LParam lParam, LResult& result) {
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    // Explorer restarted and lost every icon.
    trayIcon_.Restore(GetHwnd());
    result = 0;
    return true;
  }
  return framework::RouteMessage<HostWindow>(HostWindowRoutes::kTable, *this, message, wParam,
                                             lParam, result);
}

// ---- Start-up ------------------------------------------------------------

LResult HostWindow::OnCreate(WParam wParam, LParam lParam) {
  if (Default(platform::kWmCreate, wParam, lParam) == -1) return -1;
  self_ = GetHwnd();
  dispatcher_.AttachWindow(self_);
  CreateShellObject();
  ComputePaths();
  RegisterForSessionChanges();
  LoadStringLibrary();
  mouseKey_.Open(kMouseKeyPath, platform::kKeyAllAccess);
  LoadSettingsRecord();
  // A configuration program that made the mutex first keeps the host from starting.
  if (!sharedBlock_.CreateMutex()) return -1;
  if (sharedBlock_.Create()) sharedBlock_.Write(settings_.Snapshot());
  StartEventThread();
  platform_.windows.SetWindowLong(GetHwnd(), platform::kGwlExStyle,
                                  static_cast<std::int32_t>(platform::kWsExToolWindow));
  ConnectDevice();
  ApplySystemSettings();
  taskbarCreatedMessage_ = platform_.windows.RegisterWindowMessage(kTaskbarCreated);
  return 0;
}

void HostWindow::CreateShellObject() {
  comInitialized_ = platform_.shell.CoInitialize();
  platform_.shell.InitCommonControls();
  shellDispatch_.Reset(platform_.shell, platform_.shell.CreateShellDispatch());
}

void HostWindow::ComputePaths() {
  hostDirectory_ = settings::ModuleDirectory(platform_.profile);
  configPath_ = settings::ConfigPathFor(hostDirectory_);
}

void HostWindow::RegisterForSessionChanges() {
  sessionLibrary_.Reset(platform_.kernel, platform_.kernel.LoadLibrary(kSessionLibrary));
  if (!sessionLibrary_) return;
  if (!platform_.kernel.HasProcedure(sessionLibrary_.Get(), kRegisterSessionEntry)) return;
  for (int attempt = 0; attempt < kSessionRegistrationAttempts; ++attempt) {
    if (platform_.windows.RegisterSessionNotification(sessionLibrary_.Get(), GetHwnd(),
                                                      platform::kNotifyForThisSession)) {
      return;
    }
    // The session service may still be starting when the host starts with the desktop.
    platform_.timers.Sleep(kSessionRetryPauseMs);
  }
}

void HostWindow::LoadStringLibrary() {
  stringLibrary_.Reset(platform_.kernel,
                       platform_.kernel.LoadLibrary(hostDirectory_ + kStringLibrary));
}

void HostWindow::LoadSettingsRecord() {
  settings::MouseSettings record{};
  settings::LoadSettings(platform_, record);
  settings_.Replace(record);
}

void HostWindow::StartEventThread() {
  semaphore_.Reset(platform_.kernel, platform_.kernel.CreateSemaphore(0, kSemaphoreMaximum));
  quitEvent_.Reset(platform_.kernel, platform_.kernel.CreateEvent(true, false));
  if (!semaphore_ || !quitEvent_) return;
  channel_.SetSemaphore(semaphore_.Get());
  threadContext_.semaphore = semaphore_.Get();
  threadContext_.quitEvent = quitEvent_.Get();
  eventThread_.Reset(
      platform_.kernel,
      platform_.kernel.CreateThread(kEventThreadStack, device::EventThreadMain, &threadContext_));
}

void HostWindow::ConnectDevice() {
  if (eventThread_ && channel_.Open()) {
    DeviceReadySequence();
  } else {
    WriteDeviceFlag(0);
  }
}

void HostWindow::OpenChannelAndAnnounce() {
  // Without the event thread nobody would read the driver's events.
  if (!eventThread_) return;
  if (channel_.Open()) DeviceReadySequence();
}

void HostWindow::DeviceReadySequence() {
  channel_.SendPassThroughMask();
  NotifyDeviceReady(platform_.windows);
  trayIcon_.Add(self_);
  WriteDeviceFlag(1);
}

void HostWindow::WriteDeviceFlag(std::int32_t value) {
  settings::WriteDeviceFlag(platform_.profile, configPath_, value);
}

void HostWindow::ApplySystemSettings() {
  settings::ApplySystemMouseSettings(platform_, GetHwnd(), mouseKey_, settings_);
}

// ---- Tear-down -----------------------------------------------------------

LResult HostWindow::OnDestroy(WParam wParam, LParam lParam) {
  CloseCompanionWindows(platform_.windows);
  StopEventThread();
  // Nobody would ever release what the host still holds down.
  dispatcher_.ReleaseHeldInput();
  // A thread that has not left may be inside a read on the channel (holding
  // its lock) or about to wait on the semaphore: what it uses stays until the
  // process ends, and the process ends right after the tear-down.
  if (EventThreadEnded()) {
    channel_.Close();
    eventThread_.Reset();
    semaphore_.Reset();
    quitEvent_.Reset();
  }
  ReleaseSessionLibrary();
  shellDispatch_.Reset();
  if (comInitialized_) platform_.shell.CoUninitialize();
  comInitialized_ = false;
  sharedBlock_.Close();
  sharedBlock_.CloseMutex();
  trayIcon_.Remove(GetHwnd());
  stringLibrary_.Reset();
  // Here rather than in the destructor, which does not run while the event thread stays.
  mouseKey_.Close();
  return Default(platform::kWmDestroy, wParam, lParam);
}

void HostWindow::StopEventThread() {
  quit_.store(true, std::memory_order_release);
  // The thread waits on both: either one that the system lets us signal wakes it.
  if (quitEvent_) platform_.kernel.SetEvent(quitEvent_.Get());
  if (semaphore_) platform_.kernel.ReleaseSemaphore(semaphore_.Get(), 1);
  // The wait gives the thread its time; whether it has let go is its own last word.
  if (eventThread_) platform_.kernel.WaitForSingleObject(eventThread_.Get(), kEventThreadExitMs);
}

bool HostWindow::EventThreadEnded() const {
  // A wait that failed or timed out proves nothing either way; the thread's flag does.
  return !eventThread_ || threadContext_.left.load(std::memory_order_acquire);
}

void HostWindow::LetGoAfterCrash(platform::Platform& direct) noexcept {
  dispatcher_.ReleaseHeldInputAfterCrash(direct);
  channel_.PassEverythingAfterCrash(direct.driver);
  trayIcon_.RemoveAfterCrash(direct.shell);
}

void HostWindow::ReleaseSessionLibrary() {
  if (!sessionLibrary_) return;
  if (platform_.kernel.HasProcedure(sessionLibrary_.Get(), kUnregisterSessionEntry)) {
    platform_.windows.UnregisterSessionNotification(sessionLibrary_.Get(), GetHwnd());
  }
  sessionLibrary_.Reset();
}

// ---- Messages ------------------------------------------------------------

LResult HostWindow::OnTimer(WParam wParam, LParam lParam) {
  dispatcher_.OnTimer(wParam);
  return Default(platform::kWmTimer, wParam, lParam);
}

LResult HostWindow::OnDeviceChange(WParam, LParam) {
  if (!channel_.IsOpen()) OpenChannelAndAnnounce();
  return 1;
}

LResult HostWindow::OnSessionChange(WParam wParam, LParam) {
  if (wParam == platform::kWtsConsoleConnect) {
    // A second open would leak the first handle: close before reopening.
    if (channel_.IsOpen()) channel_.Close();
    OpenChannelAndAnnounce();
  } else if (wParam == platform::kWtsConsoleDisconnect) {
    WriteDeviceFlag(0);
    channel_.Close();
    // The release of a held button will not be read: let go of what the host pressed.
    dispatcher_.ReleaseHeldInput();
  }
  return 0;
}

LResult HostWindow::OnTrayNotification(WParam, LParam lParam) {
  OnTrayCallback(platform_, GetHwnd(), stringLibrary_.Get(), lParam);
  return 0;
}

void HostWindow::ReloadFromSharedBlock() {
  // A failed copy leaves the record as it is; the notice's other steps still run.
  settings::MouseSettings record = settings_.Snapshot();
  if (sharedBlock_.Read(record)) settings_.Replace(record);
}

LResult HostWindow::OnApplyAll(WParam, LParam) {
  ReloadFromSharedBlock();
  ApplySystemSettings();
  if (channel_.IsOpen()) channel_.SendPassThroughMask();
  return 0;
}

LResult HostWindow::OnReloadOnly(WParam, LParam) {
  ReloadFromSharedBlock();
  return 0;
}

LResult HostWindow::OnApplyMaskFirst(WParam, LParam) {
  ReloadFromSharedBlock();
  channel_.SendPassThroughMask();
  ApplySystemSettings();
  return 0;
}

LResult HostWindow::OnOpenSettingsCommand(WParam, LParam) {
  OpenConfigurationProgram(platform_);
  return 0;
}

LResult HostWindow::OnExitCommand(WParam, LParam) {
  platform_.windows.PostMessage(GetHwnd(), platform::kWmClose, 0, 0);
  return 0;
}

LResult HostWindow::OnShellRequest(WParam wParam, LParam) {
  dispatcher_.OnShellRequest(wParam, shellDispatch_.Get());
  return 0;
}

// ---- Device events (event thread) -----------------------------------------

void HostWindow::OnButtonPress(int index) {
  dispatcher_.OnButtonPress(index);
}
void HostWindow::OnButtonRelease(int index) {
  dispatcher_.OnButtonRelease(index);
}
void HostWindow::RunSingleShot(int index) {
  dispatcher_.RunSingleShot(index);
}

void HostWindow::OnDeviceArrived() {
  // Cut short by the tear-down: nothing may run on a host that is going away.
  if (platform_.timers.SleepUnlessSignalled(quitEvent_.Get(), kArrivalSettleMs)) return;
  if (quit_.load(std::memory_order_acquire)) return;
  DeviceReadySequence();
}

void HostWindow::OnDeviceRemoved() {
  trayIcon_.Remove(self_);
  WriteDeviceFlag(0);
  // A button held as the mouse went away would stay down for good.
  dispatcher_.ReleaseHeldInput();
}

}  // namespace hidhost::app
