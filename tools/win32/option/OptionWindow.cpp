#include "OptionWindow.h"

#include <windows.h>

#include <cstdio>

namespace hidhost::option {
namespace {

constexpr const char* kClassName = "HidHostOptionStandIn";

class NoticeLog {
 public:
  // Appends: the host may start the program again after a previous run.
  explicit NoticeLog(const std::string& path) : file_(std::fopen(path.c_str(), "ab")) {}
  ~NoticeLog() {
    if (file_ != nullptr) std::fclose(file_);
  }
  NoticeLog(const NoticeLog&) = delete;
  NoticeLog& operator=(const NoticeLog&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(const char* text, WPARAM wParam = 0, LPARAM lParam = 0) {
    std::fprintf(file_, "%llu %s wParam=%llX lParam=%llX\n",
                 static_cast<unsigned long long>(GetTickCount64()), text,
                 static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
};

LRESULT CALLBACK OptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* log = reinterpret_cast<NoticeLog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (log != nullptr) {
    if (message == contracts::kDeviceReadyNotice) {
      log->Write("notice 0x4E6", wParam, lParam);
      return 0;
    }
    if (message == WM_CLOSE) log->Write("close", wParam, lParam);
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int RunOptionWindow(const std::string& logPath) {
  NoticeLog log(logPath);
  if (!log.IsOpen()) return 2;
  const HINSTANCE self = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = OptionProc;
  wc.hInstance = self;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 2;
  const HWND window =
      CreateWindowExA(0, kClassName, contracts::kConfigurationWindowTitle, WS_OVERLAPPEDWINDOW, 720,
                      300, 260, 160, nullptr, nullptr, self, nullptr);
  if (window == nullptr) return 2;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
  ShowWindow(window, SW_SHOW);
  log.Write("started", GetCurrentProcessId());
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace hidhost::option
