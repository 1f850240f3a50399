#include "platform/win32/FrameworkWindowClass.h"

#include <string>

#include "contracts/HostIdentity.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {
namespace {

constexpr const char* kClassName = contracts::kFrameworkWindowClass;
constexpr const char* kSetTimerMessageName = "HidHostFrameworkWindow.SetTimer";
constexpr const char* kKillTimerMessageName = "HidHostFrameworkWindow.KillTimer";

// The window's extra bytes: its procedure, the class object that knows the
// private messages, and whether WM_DESTROY has reached the procedure. Set at
// WM_NCCREATE and cleared after WM_NCDESTROY.
constexpr int kProcedureSlot = 0;
constexpr int kClassSlot = sizeof(LONG_PTR);
constexpr int kDestroyedSlot = 2 * sizeof(LONG_PTR);
constexpr int kExtraBytes = 3 * sizeof(LONG_PTR);

struct Creation {
  WindowProcedure* procedure;
  const FrameworkWindowClass* windowClass;
};

template <typename T>
T* Slot(HWND hwnd, int slot) {
  return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, slot));
}

void Attach(HWND hwnd, LPARAM createStruct) {
  const auto* creation =
      static_cast<const Creation*>(reinterpret_cast<CREATESTRUCTA*>(createStruct)->lpCreateParams);
  ::SetWindowLongPtrA(hwnd, kProcedureSlot, reinterpret_cast<LONG_PTR>(creation->procedure));
  ::SetWindowLongPtrA(hwnd, kClassSlot, reinterpret_cast<LONG_PTR>(creation->windowClass));
}

void Detach(HWND hwnd) {
  ::SetWindowLongPtrA(hwnd, kProcedureSlot, 0);
  ::SetWindowLongPtrA(hwnd, kClassSlot, 0);
  ::SetWindowLongPtrA(hwnd, kDestroyedSlot, 0);
}

// A window refused in WM_CREATE is destroyed again; Windows sends it
// WM_DESTROY and then WM_NCDESTROY, Wine only WM_NCDESTROY. The procedure
// does its tear-down in WM_DESTROY, so it gets one before WM_NCDESTROY
// whenever the system skipped it.
void DeliverSkippedDestroy(HWND hwnd, UINT message, WindowProcedure& procedure) {
  if (message == WM_DESTROY) ::SetWindowLongPtrA(hwnd, kDestroyedSlot, 1);
  if (message != WM_NCDESTROY || ::GetWindowLongPtrA(hwnd, kDestroyedSlot) != 0) return;
  ::SetWindowLongPtrA(hwnd, kDestroyedSlot, 1);
  procedure.OnMessage(FromHwnd(hwnd), WM_DESTROY, 0, 0);
}

// A timer request forwarded from another thread (see Win32Timers). Answered
// here, on the window's thread, and never shown to the window's procedure.
bool AnswerTimerRequest(const FrameworkWindowClass& windowClass, HWND hwnd, UINT message,
                        WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == 0) return false;
  if (message == windowClass.SetTimerMessage()) {
    result = ::SetTimer(hwnd, wParam, static_cast<UINT>(lParam), nullptr) != 0;
    return true;
  }
  if (message == windowClass.KillTimerMessage()) {
    result = ::KillTimer(hwnd, wParam) != 0;
    return true;
  }
  return false;
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) Attach(hwnd, lParam);
  auto* procedure = Slot<WindowProcedure>(hwnd, kProcedureSlot);
  const auto* windowClass = Slot<const FrameworkWindowClass>(hwnd, kClassSlot);
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) find no procedure yet.
  if (procedure == nullptr || windowClass == nullptr) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  if (AnswerTimerRequest(*windowClass, hwnd, message, wParam, lParam, result)) return result;
  DeliverSkippedDestroy(hwnd, message, *procedure);
  result = procedure->OnMessage(FromHwnd(hwnd), message, wParam, lParam);
  if (message == WM_NCDESTROY) Detach(hwnd);
  return result;
}

}  // namespace

FrameworkWindowClass::FrameworkWindowClass()
    : setTimerMessage_(::RegisterWindowMessageA(kSetTimerMessageName)),
      killTimerMessage_(::RegisterWindowMessageA(kKillTimerMessageName)) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = 0;
  windowClass.lpfnWndProc = FrameworkWindowProc;
  windowClass.cbWndExtra = kExtraBytes;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  // No cursor, brush or icon: the window is never shown. A failure
  // (ERROR_CLASS_ALREADY_EXISTS from an earlier platform object included)
  // shows when a window is created. The class stays registered until the
  // process ends, since windows of another platform object may use it.
  ::RegisterClassExA(&windowClass);
}

Hwnd FrameworkWindowClass::Create(const WindowAttributes& attributes,
                                  WindowProcedure& procedure) const {
  Creation creation{&procedure, this};
  const std::string title(attributes.title);
  return FromHwnd(::CreateWindowExA(attributes.exStyle, kClassName, title.c_str(), attributes.style,
                                    attributes.x, attributes.y, attributes.width, attributes.height,
                                    nullptr, nullptr, ::GetModuleHandleA(nullptr), &creation));
}

}  // namespace hidhost::platform::win32
