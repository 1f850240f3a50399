// Windows, messages and the framework's message loop.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/FrameworkWindowClass.h"

namespace hidhost::platform::win32 {

class Win32Windows final : public Windows {
 public:
  explicit Win32Windows(const FrameworkWindowClass& windowClass) : windowClass_(windowClass) {}

  Hwnd CreateFrameworkWindow(const WindowAttributes& attributes,
                             WindowProcedure& procedure) override;
  LResult DefWindowProc(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override;
  void PostQuitMessage(std::int32_t exitCode) override;
  std::int32_t RunMessageLoop() override;
  std::uint32_t RegisterWindowMessage(std::string_view name) override;

  Hwnd FindWindowByTitle(std::string_view title) override;
  bool PostMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override;
  LResult SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) override;

  Hwnd WindowFromPoint(Point screen) override;
  Hwnd ChildWindowFromPoint(Hwnd parent, Point client) override;
  Hwnd GetDesktopWindow() override;
  bool GetClassName(Hwnd hwnd, ClassName& out) override;
  Hwnd GetParent(Hwnd hwnd) override;
  Hwnd GetWindow(Hwnd hwnd, std::uint32_t relation) override;
  std::int32_t GetWindowLong(Hwnd hwnd, std::int32_t index) override;
  std::int32_t SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) override;
  bool GetWindowRect(Hwnd hwnd, Rect& out) override;
  bool ScreenToClient(Hwnd hwnd, Point& point) override;
  bool EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) override;

  bool IsIconic(Hwnd hwnd) override;
  bool ShowWindow(Hwnd hwnd, std::int32_t command) override;
  bool SetForegroundWindow(Hwnd hwnd) override;
  Hwnd SetActiveWindow(Hwnd hwnd) override;
  Hwnd GetLastActivePopup(Hwnd hwnd) override;

  bool RegisterSessionNotification(Module wtsapi, Hwnd hwnd, std::uint32_t flags) override;
  bool UnregisterSessionNotification(Module wtsapi, Hwnd hwnd) override;

 private:
  const FrameworkWindowClass& windowClass_;
};

}  // namespace hidhost::platform::win32
