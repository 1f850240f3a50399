// The double-click test area: it answers a double click made within the
// double-click time chosen on the page, whatever the system's time still is.
#include "Win32Ui.h"
#include "WindowState.h"

namespace hidhost::option {

namespace {

constexpr const wchar_t* kClass = L"HidHostDoubleClickTest";

struct TestArea {
  UINT timeMs = 500;
  LONG lastDown = 0;
  bool hasDown = false;
  bool recognised = false;
};

TestArea* AreaOf(HWND window) {
  return reinterpret_cast<TestArea*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Paint(HWND window, const TestArea& area) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(area.recognised ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(area.recognised ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const wchar_t* text = area.recognised ? L"Double click recognised" : L"Double-click here to test";
  DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  EndPaint(window, &ps);
}

LRESULT CALLBACK TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TestArea* area = AreaOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TestArea));
      break;
    case WM_NCDESTROY:
      delete area;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_PAINT:
      if (area != nullptr) Paint(window, *area);
      return 0;
    case WM_LBUTTONDOWN: {
      if (area == nullptr) break;
      const LONG now = GetMessageTime();
      if (area->hasDown && static_cast<ULONG>(now - area->lastDown) <= area->timeMs) {
        area->recognised = !area->recognised;
        area->hasDown = false;
        InvalidateRect(window, nullptr, TRUE);
      } else {
        area->hasDown = true;
        area->lastDown = now;
      }
      return 0;
    }
    case kDoubleClickTime:
      if (area != nullptr) area->timeMs = static_cast<UINT>(wParam);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterDoubleClickTest(HINSTANCE instance) {
  WNDCLASSW wc{};  // no CS_DBLCLKS: the area times the clicks itself
  wc.lpfnWndProc = TestProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kClass;
  return RegisterClassW(&wc) != 0;
}

}  // namespace hidhost::option
