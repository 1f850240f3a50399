// The application framework's portable half: the application object with its
// start and exit hooks, the main-window rule, and routing of window messages
// through a table. The backends supply the window class, the message loop
// and window creation (platform::Windows).
#pragma once

#include <cstdint>
#include <span>

#include "platform/Platform.h"

namespace hidhost::framework {

using platform::Hwnd;
using platform::LParam;
using platform::LResult;
using platform::WParam;

class Application {
 public:
  virtual ~Application() = default;
  // Non-zero: go on into the message loop. Zero: leave at once through ExitInstance.
  virtual int InitInstance() = 0;
  // Gets the quit message's code; its result is the process exit code.
  virtual int ExitInstance(int quitCode) { return quitCode; }

  Hwnd MainWindow() const { return mainWindow_; }
  void SetMainWindow(Hwnd hwnd) { mainWindow_ = hwnd; }

 private:
  Hwnd mainWindow_ = Hwnd::None;  // window thread only
};

// The whole life of an application on a backend whose message loop blocks:
// start hook, message loop, exit hook. A run with no main window ends at once.
int RunApplication(Application& app, platform::Windows& windows);

// One row of a window's routing table. A row for WM_COMMAND names the
// command id it takes; other rows leave commandId at 0.
template <typename Owner>
struct MessageRoute {
  std::uint32_t message;
  std::uint32_t commandId;
  LResult (Owner::*handler)(WParam wParam, LParam lParam);
};

// Finds the row for a message and calls it; false when no row matches.
template <typename Owner>
bool RouteMessage(std::span<const MessageRoute<Owner>> table, Owner& owner, std::uint32_t message,
                  WParam wParam, LParam lParam, LResult& result) {
  constexpr std::uint32_t kWmCommand = 0x0111;
  for (const auto& row : table) {
    if (row.message != message) continue;
    if (message == kWmCommand && row.commandId != (wParam & 0xFFFFu)) continue;
    result = (owner.*row.handler)(wParam, lParam);
    return true;
  }
  return false;
}

// A window whose messages go through a routing table, falling back to the
// system's default processing. When the application's main window receives
// WM_NCDESTROY, the framework posts the quit message and forgets the window.
class RoutedWindow : public platform::WindowProcedure {
 public:
  RoutedWindow(platform::Windows& windows, Application& app) : windows_(windows), app_(app) {}

  Hwnd GetHwnd() const { return hwnd_; }
  LResult OnMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) final;

 protected:
  // The derived window's table lookup; false to fall back to default processing.
  virtual bool Route(std::uint32_t message, WParam wParam, LParam lParam, LResult& result) = 0;
  LResult Default(std::uint32_t message, WParam wParam, LParam lParam);

  platform::Windows& windows_;
  Application& app_;

 private:
  Hwnd hwnd_ = Hwnd::None;
};

}  // namespace hidhost::framework
