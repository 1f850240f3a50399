#include <memory>

#include "contracts/HostIdentity.h"
#include "platform/Constants.h"
#include "platform/sim/SimFacets.h"
#include "platform/sim/SimProcessImpl.h"
#include "platform/trace/CallLines.h"

namespace hidhost::sim {

class SimWindows final : public platform::Windows, FacetBase {
 public:
  using FacetBase::FacetBase;
  platform::Hwnd CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                       platform::WindowProcedure& procedure) override;
  // WM_CLOSE's default processing; the host itself never destroys a window.
  bool DestroyWindow(platform::Hwnd hwnd);
  platform::LResult DefWindowProc(platform::Hwnd hwnd, std::uint32_t message,
                                  platform::WParam wParam, platform::LParam lParam) override;
  void PostQuitMessage(std::int32_t exitCode) override;
  std::int32_t RunMessageLoop() override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;

  platform::Hwnd FindWindowByTitle(std::string_view title) override;
  bool PostMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                   platform::LParam lParam) override;
  platform::LResult SendMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override;

  platform::Hwnd WindowFromPoint(platform::Point screen) override;
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) override;
  platform::Hwnd GetDesktopWindow() override;
  bool GetClassName(platform::Hwnd hwnd, platform::ClassName& out) override;
  platform::Hwnd GetParent(platform::Hwnd hwnd) override;
  platform::Hwnd GetWindow(platform::Hwnd hwnd, std::uint32_t relation) override;
  std::int32_t GetWindowLong(platform::Hwnd hwnd, std::int32_t index) override;
  std::int32_t SetWindowLong(platform::Hwnd hwnd, std::int32_t index, std::int32_t value) override;
  bool GetWindowRect(platform::Hwnd hwnd, platform::Rect& out) override;
  bool ScreenToClient(platform::Hwnd hwnd, platform::Point& point) override;
  bool EnumChildWindows(platform::Hwnd parent, EnumCallback callback, void* context) override;

  bool IsIconic(platform::Hwnd hwnd) override;
  bool ShowWindow(platform::Hwnd hwnd, std::int32_t command) override;
  bool SetForegroundWindow(platform::Hwnd hwnd) override;
  platform::Hwnd SetActiveWindow(platform::Hwnd hwnd) override;
  platform::Hwnd GetLastActivePopup(platform::Hwnd hwnd) override;

  bool RegisterSessionNotification(platform::Module wtsapi, platform::Hwnd hwnd,
                                   std::uint32_t flags) override;
  bool UnregisterSessionNotification(platform::Module wtsapi, platform::Hwnd hwnd) override;
};

namespace {

using platform::Hwnd;

// The class that the framework registers for its windows.
constexpr const char* kFrameworkClass = contracts::kFrameworkWindowClass;
constexpr std::uint32_t kWsVisible = 0x10000000u;
constexpr std::uint32_t kWsMinimize = 0x20000000u;
constexpr std::uint32_t kWsMaximize = 0x01000000u;
constexpr std::uintptr_t kHwndBroadcast = 0xFFFF;

std::uintptr_t Id(Hwnd hwnd) {
  return platform::ValueOf(hwnd);
}
Hwnd ToHwnd(std::uintptr_t id) {
  return static_cast<Hwnd>(id);
}

// What ShowWindow does to a window's state, by command.
void ApplyShowCommand(WindowRecord& window, std::int32_t command) {
  switch (command) {
    case 0:  // SW_HIDE
      window.visible = false;
      return;
    case 2:   // SW_SHOWMINIMIZED
    case 6:   // SW_MINIMIZE
    case 7:   // SW_SHOWMINNOACTIVE
    case 11:  // SW_FORCEMINIMIZE
      window.style = (window.style | kWsMinimize) & ~kWsMaximize;
      window.visible = command != 11;
      return;
    case 3:  // SW_MAXIMIZE
      window.style = (window.style | kWsMaximize) & ~kWsMinimize;
      window.visible = true;
      return;
    case 1:  // SW_SHOWNORMAL
    case 9:  // SW_RESTORE
      window.style &= ~(kWsMinimize | kWsMaximize);
      window.visible = true;
      return;
    default:
      window.visible = true;
      return;
  }
}

}  // namespace

Hwnd SimWindows::CreateFrameworkWindow(const platform::WindowAttributes& attributes,
                                       platform::WindowProcedure& procedure) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::CreateWindowEx)) return Hwnd::None;
  WindowRecord record;
  record.className = kFrameworkClass;
  record.title = std::string(attributes.title);
  record.style = attributes.style;
  record.exStyle = attributes.exStyle;
  record.rect = {attributes.x, attributes.y, attributes.x + attributes.width,
                 attributes.y + attributes.height};
  record.visible = (attributes.style & kWsVisible) != 0;
  record.owner = &process_;
  record.procedure = &procedure;
  record.thread = std::this_thread::get_id();
  const std::uintptr_t id = world_.windows.AddProcessWindow(std::move(record));
  lock.unlock();
  // As the system does, WM_NCCREATE comes first; the framework's procedures
  // leave it to the default, which lets the creation go on.
  procedure.OnMessage(ToHwnd(id), platform::kWmNcCreate, 0, 0);
  const platform::LResult created = procedure.OnMessage(ToHwnd(id), platform::kWmCreate, 0, 0);
  lock.lock();
  if (created == -1) {
    process_.DestroyWindowTree(lock, id);
    return Hwnd::None;
  }
  return world_.windows.Exists(id) ? ToHwnd(id) : Hwnd::None;
}

bool SimWindows::DestroyWindow(Hwnd hwnd) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::DestroyWindow)) return false;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr || window->owner != &process_) return false;
  return process_.DestroyWindowTree(lock, Id(hwnd));
}

platform::LResult SimWindows::DefWindowProc(Hwnd hwnd, std::uint32_t message, platform::WParam,
                                            platform::LParam) {
  if (message == platform::kWmClose) DestroyWindow(hwnd);
  return 0;
}

void SimWindows::PostQuitMessage(std::int32_t exitCode) {
  Lock lock(world_.mutex);
  process_.quitCode = exitCode;
  world_.Notify();
}

std::int32_t SimWindows::RunMessageLoop() {
  return process_.RunMessageLoop();
}

std::uint32_t SimWindows::RegisterWindowMessage(std::string_view name) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::RegisterWindowMessage) || name.empty()) return 0;
  auto [it, added] = world_.shell.atoms.try_emplace(Lowercase(name), world_.shell.nextAtom);
  if (added) ++world_.shell.nextAtom;
  return it->second;
}

Hwnd SimWindows::FindWindowByTitle(std::string_view title) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::FindWindow)) return Hwnd::None;
  return ToHwnd(world_.windows.FindTopLevelByTitle(title));
}

bool SimWindows::PostMessage(Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                             platform::LParam lParam) {
  Lock lock(world_.mutex);
  world_.Trace(trace::PostMessageLine(Id(hwnd), message, wParam, lParam));
  if (world_.Fails(Call::PostMessage)) return false;
  if (Id(hwnd) == kHwndBroadcast) return true;
  WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return false;
  // A window no simulated process owns (a scenario's) takes the message and does nothing.
  if (window->owner != nullptr) window->owner->Enqueue({Id(hwnd), message, wParam, lParam});
  return true;
}

platform::LResult SimWindows::SendMessage(Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                                          platform::LParam lParam) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SendMessageLine(Id(hwnd), message, wParam, lParam));
  if (world_.Fails(Call::SendMessage)) return 0;
  return process_.Deliver(lock, Id(hwnd), message, wParam, lParam);
}

Hwnd SimWindows::WindowFromPoint(platform::Point screen) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::WindowFromPoint)) return Hwnd::None;
  return ToHwnd(world_.windows.WindowFromPoint(screen));
}

Hwnd SimWindows::ChildWindowFromPoint(Hwnd parent, platform::Point client) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::ChildWindowFromPoint)) return Hwnd::None;
  const WindowRecord* window = world_.windows.Find(Id(parent));
  if (window == nullptr) return Hwnd::None;
  const platform::Point screen{client.x + window->rect.left, client.y + window->rect.top};
  return ToHwnd(world_.windows.ChildWindowFromPoint(Id(parent), screen));
}

Hwnd SimWindows::GetDesktopWindow() {
  return ToHwnd(kDesktopWindow);
}

bool SimWindows::GetClassName(Hwnd hwnd, platform::ClassName& out) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetClassName)) return false;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return false;
  out.Assign(window->className);
  return true;
}

Hwnd SimWindows::GetParent(Hwnd hwnd) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetParent)) return Hwnd::None;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr || window->parent == kDesktopWindow) return Hwnd::None;
  return ToHwnd(window->parent);
}

Hwnd SimWindows::GetWindow(Hwnd hwnd, std::uint32_t relation) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetWindow)) return Hwnd::None;
  return ToHwnd(world_.windows.Relative(Id(hwnd), relation));
}

std::int32_t SimWindows::GetWindowLong(Hwnd hwnd, std::int32_t index) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetWindowLong)) return 0;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return 0;
  if (index == platform::kGwlStyle) return static_cast<std::int32_t>(window->style);
  if (index == platform::kGwlExStyle) return static_cast<std::int32_t>(window->exStyle);
  return 0;
}

std::int32_t SimWindows::SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::SetWindowLong)) return 0;
  WindowRecord* window = world_.windows.Find(Id(hwnd));
  // The system refuses changes to another process's windows.
  if (window == nullptr || window->owner != &process_) return 0;
  std::uint32_t* field = index == platform::kGwlStyle     ? &window->style
                         : index == platform::kGwlExStyle ? &window->exStyle
                                                          : nullptr;
  if (field == nullptr) return 0;
  return static_cast<std::int32_t>(std::exchange(*field, static_cast<std::uint32_t>(value)));
}

bool SimWindows::GetWindowRect(Hwnd hwnd, platform::Rect& out) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetWindowRect)) return false;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return false;
  out = window->rect;
  return true;
}

bool SimWindows::ScreenToClient(Hwnd hwnd, platform::Point& point) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::ScreenToClient)) return false;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return false;
  point.x -= window->rect.left;
  point.y -= window->rect.top;
  return true;
}

bool SimWindows::EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::EnumChildWindows) || !world_.windows.Exists(Id(parent))) return false;
  for (auto id : world_.windows.Descendants(Id(parent))) {
    if (!world_.windows.Exists(id)) continue;  // gone while the callback ran
    lock.unlock();
    const bool goOn = callback(ToHwnd(id), context);
    lock.lock();
    if (!goOn) break;
  }
  return true;
}

bool SimWindows::IsIconic(Hwnd hwnd) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::IsIconic)) return false;
  const WindowRecord* window = world_.windows.Find(Id(hwnd));
  return window != nullptr && (window->style & kWsMinimize) != 0;
}

bool SimWindows::ShowWindow(Hwnd hwnd, std::int32_t command) {
  Lock lock(world_.mutex);
  world_.Trace(trace::ShowWindowLine(Id(hwnd), command));
  if (world_.Fails(Call::ShowWindow)) return false;
  WindowRecord* window = world_.windows.Find(Id(hwnd));
  if (window == nullptr) return false;
  const bool wasVisible = window->visible;
  ApplyShowCommand(*window, command);
  return wasVisible;
}

bool SimWindows::SetForegroundWindow(Hwnd hwnd) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetForegroundWindowLine(Id(hwnd)));
  if (world_.Fails(Call::SetForegroundWindow) || !world_.windows.Exists(Id(hwnd))) return false;
  world_.shell.active = Id(hwnd);
  return true;
}

Hwnd SimWindows::SetActiveWindow(Hwnd hwnd) {
  Lock lock(world_.mutex);
  world_.Trace(trace::SetActiveWindowLine(Id(hwnd)));
  if (world_.Fails(Call::SetActiveWindow) || !world_.windows.Exists(Id(hwnd))) return Hwnd::None;
  return ToHwnd(std::exchange(world_.shell.active, Id(hwnd)));
}

Hwnd SimWindows::GetLastActivePopup(Hwnd hwnd) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::GetLastActivePopup) || !world_.windows.Exists(Id(hwnd))) {
    return Hwnd::None;
  }
  return hwnd;  // no window of the simulation owns pop-ups
}

bool SimWindows::RegisterSessionNotification(platform::Module wtsapi, Hwnd hwnd,
                                             std::uint32_t /*flags*/) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::WtsRegisterSessionNotification)) return false;
  if (!process_.modules.contains(platform::ValueOf(wtsapi)) || !world_.windows.Exists(Id(hwnd))) {
    return false;
  }
  process_.sessionWindows.insert(Id(hwnd));
  return true;
}

bool SimWindows::UnregisterSessionNotification(platform::Module wtsapi, Hwnd hwnd) {
  Lock lock(world_.mutex);
  if (world_.Fails(Call::WtsUnRegisterSessionNotification)) return false;
  if (!process_.modules.contains(platform::ValueOf(wtsapi))) return false;
  return process_.sessionWindows.erase(Id(hwnd)) > 0;
}

std::unique_ptr<platform::Windows> MakeSimWindows(World& world, SimProcessImpl& process) {
  return std::make_unique<SimWindows>(world, process);
}

}  // namespace hidhost::sim
