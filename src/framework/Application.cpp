#include "framework/Application.h"

#include "platform/Constants.h"

namespace hidhost::framework {

int RunApplication(Application& app, platform::Windows& windows) {
  if (app.InitInstance() == 0) return app.ExitInstance(0);
  if (!platform::IsSet(app.MainWindow())) windows.PostQuitMessage(0);
  const int quitCode = windows.RunMessageLoop();
  return app.ExitInstance(quitCode);
}

LResult RoutedWindow::OnMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
  if (!platform::IsSet(hwnd_)) hwnd_ = hwnd;
  LResult result = 0;
  if (Route(message, wParam, lParam, result)) return result;
  result = windows_.DefWindowProc(hwnd, message, wParam, lParam);
  if (message == platform::kWmNcDestroy) {
    if (app_.MainWindow() == hwnd) {
      windows_.PostQuitMessage(0);
      app_.SetMainWindow(Hwnd::None);
    }
    hwnd_ = Hwnd::None;
  }
  return result;
}

LResult RoutedWindow::Default(std::uint32_t message, WParam wParam, LParam lParam) {
  return windows_.DefWindowProc(hwnd_, message, wParam, lParam);
}

}  // namespace hidhost::framework
