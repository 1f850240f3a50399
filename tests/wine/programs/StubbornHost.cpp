// wine-stubborn-host: a window of the host's class and title that ignores
// WM_CLOSE, as a hung host would. The installer must give up on it after its
// time limit and leave the installed files alone.
//
//   wine-stubborn-host.exe --log FILE     logs "ready", then "ignored WM_CLOSE"
//                                         for each close request; ends when the
//                                         runner signals HidHostWineStubbornStop
#include "Support.h"

namespace hidhost::wine_tests {
namespace {

// The host's hidden window, as the installer looks for it.
constexpr const char* kHostClass = "HidHostFrameworkWindow";
constexpr const char* kHostTitle = "QUILL48HidHost";
constexpr const char* kStopEvent = "HidHostWineStubbornStop";

LRESULT CALLBACK StubbornProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  if (message == WM_CLOSE) {
    reinterpret_cast<LineLog*>(GetWindowLongPtrA(window, GWLP_USERDATA))->Write("ignored WM_CLOSE");
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int Run(int argc, char** argv) {
  LineLog log(OptionValue(argc, argv, "--log"));
  if (!log.IsOpen()) return 1;
  OwnedHandle stop(CreateEventA(nullptr, TRUE, FALSE, kStopEvent));
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StubbornProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kHostClass;
  if (!stop || RegisterClassA(&windowClass) == 0) return 1;
  HWND window = CreateWindowExA(0, kHostClass, kHostTitle, WS_POPUP, 100, 100, 100, 100, nullptr,
                                nullptr, windowClass.hInstance, &log);
  if (window == nullptr) return 1;
  log.Write("ready");
  PumpUntil(stop.get());
  DestroyWindow(window);
  log.Write("stopped");
  return 0;
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  return hidhost::wine_tests::Run(argc, argv);
}
