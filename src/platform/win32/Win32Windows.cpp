#include <memory>
#include <string>

#include "platform/win32/FrameworkWindowClass.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// Windows, messages and the framework's message loop.
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
namespace {

struct EnumForwarding {
  Windows::EnumCallback callback;
  void* context;
};

// A plain function with the system's calling convention: a lambda would not
// have it on 32-bit x86.
BOOL CALLBACK ForwardChild(HWND child, LPARAM forwarding) {
  const auto* target = reinterpret_cast<const EnumForwarding*>(forwarding);
  return target->callback(FromHwnd(child), target->context) ? TRUE : FALSE;
}

// An entry point of a library loaded at run time, with its real signature.
// The detour through void (*)() is the conversion that the compiler accepts
// between unrelated function types.
template <typename Function>
Function LookUp(Module module, const char* name) {
  if (!IsSet(module)) return nullptr;
  const FARPROC address = ::GetProcAddress(ToModule(module), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

using RegisterSessionFunction = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionFunction = BOOL(WINAPI*)(HWND);

}  // namespace

Hwnd Win32Windows::CreateFrameworkWindow(const WindowAttributes& attributes,
                                         WindowProcedure& procedure) {
  return windowClass_.Create(attributes, procedure);
}

LResult Win32Windows::DefWindowProc(Hwnd hwnd, std::uint32_t message, WParam wParam,
                                    LParam lParam) {
  return ::DefWindowProcA(ToHwnd(hwnd), message, wParam, lParam);
}

void Win32Windows::PostQuitMessage(std::int32_t exitCode) {
  ::PostQuitMessage(exitCode);
}

std::int32_t Win32Windows::RunMessageLoop() {
  MSG message{};
  for (;;) {
    const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<std::int32_t>(message.wParam);
    // -1 only comes with an invalid window filter, which this loop never passes.
    if (got == -1) return -1;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

std::uint32_t Win32Windows::RegisterWindowMessage(std::string_view name) {
  return ::RegisterWindowMessageA(std::string(name).c_str());
}

Hwnd Win32Windows::FindWindowByTitle(std::string_view title) {
  return FromHwnd(::FindWindowA(nullptr, std::string(title).c_str()));
}

bool Win32Windows::PostMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::PostMessageA(ToHwnd(hwnd), message, wParam, lParam);
}

LResult Win32Windows::SendMessage(Hwnd hwnd, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::SendMessageA(ToHwnd(hwnd), message, wParam, lParam);
}

Hwnd Win32Windows::WindowFromPoint(Point screen) {
  return FromHwnd(::WindowFromPoint(ToPoint(screen)));
}

Hwnd Win32Windows::ChildWindowFromPoint(Hwnd parent, Point client) {
  return FromHwnd(::ChildWindowFromPoint(ToHwnd(parent), ToPoint(client)));
}

Hwnd Win32Windows::GetDesktopWindow() {
  return FromHwnd(::GetDesktopWindow());
}

bool Win32Windows::GetClassName(Hwnd hwnd, ClassName& out) {
  out.text[0] = '\0';
  return ::GetClassNameA(ToHwnd(hwnd), out.text.data(), static_cast<int>(out.text.size())) > 0;
}

Hwnd Win32Windows::GetParent(Hwnd hwnd) {
  return FromHwnd(::GetParent(ToHwnd(hwnd)));
}

Hwnd Win32Windows::GetWindow(Hwnd hwnd, std::uint32_t relation) {
  return FromHwnd(::GetWindow(ToHwnd(hwnd), relation));
}

std::int32_t Win32Windows::GetWindowLong(Hwnd hwnd, std::int32_t index) {
  return ::GetWindowLongA(ToHwnd(hwnd), index);
}

std::int32_t Win32Windows::SetWindowLong(Hwnd hwnd, std::int32_t index, std::int32_t value) {
  return ::SetWindowLongA(ToHwnd(hwnd), index, value);
}

bool Win32Windows::GetWindowRect(Hwnd hwnd, Rect& out) {
  RECT rect{};
  if (!::GetWindowRect(ToHwnd(hwnd), &rect)) return false;
  out = Rect{rect.left, rect.top, rect.right, rect.bottom};
  return true;
}

bool Win32Windows::ScreenToClient(Hwnd hwnd, Point& point) {
  POINT converted = ToPoint(point);
  if (!::ScreenToClient(ToHwnd(hwnd), &converted)) return false;
  point = FromPoint(converted);
  return true;
}

bool Win32Windows::EnumChildWindows(Hwnd parent, EnumCallback callback, void* context) {
  EnumForwarding forwarding{callback, context};
  return ::EnumChildWindows(ToHwnd(parent), ForwardChild, reinterpret_cast<LPARAM>(&forwarding));
}

bool Win32Windows::IsIconic(Hwnd hwnd) {
  return ::IsIconic(ToHwnd(hwnd));
}

bool Win32Windows::ShowWindow(Hwnd hwnd, std::int32_t command) {
  return ::ShowWindow(ToHwnd(hwnd), command);
}

bool Win32Windows::SetForegroundWindow(Hwnd hwnd) {
  return ::SetForegroundWindow(ToHwnd(hwnd));
}

Hwnd Win32Windows::SetActiveWindow(Hwnd hwnd) {
  return FromHwnd(::SetActiveWindow(ToHwnd(hwnd)));
}

Hwnd Win32Windows::GetLastActivePopup(Hwnd hwnd) {
  return FromHwnd(::GetLastActivePopup(ToHwnd(hwnd)));
}

bool Win32Windows::RegisterSessionNotification(Module wtsapi, Hwnd hwnd, std::uint32_t flags) {
  const auto entry = LookUp<RegisterSessionFunction>(wtsapi, "WTSRegisterSessionNotification");
  return entry != nullptr && entry(ToHwnd(hwnd), flags);
}

bool Win32Windows::UnregisterSessionNotification(Module wtsapi, Hwnd hwnd) {
  const auto entry = LookUp<UnregisterSessionFunction>(wtsapi, "WTSUnRegisterSessionNotification");
  return entry != nullptr && entry(ToHwnd(hwnd));
}

std::unique_ptr<Windows> MakeWindows(const FrameworkWindowClass& windowClass) {
  return std::make_unique<Win32Windows>(windowClass);
}

}  // namespace hidhost::platform::win32
