// The mouse drawn with GDI, each button numbered as its row: pointing at a
// button highlights its row, and the row being edited is marked here.
#include <array>

#include "Win32Ui.h"
#include "WindowState.h"

namespace hidhost::option {

namespace {

constexpr const wchar_t* kClass = L"HidHostMousePicture";
// Drawn in a 100 x 180 design box, scaled to the control.
constexpr int kDesignWidth = 100;
constexpr int kDesignHeight = 180;

enum class Shape { Box, Left, Right };

struct Part {
  int row;
  RECT box;  // design units
  Shape shape;
  const wchar_t* number;
  POINT label;
};

// Hit-tested in this order: the small parts lie on top of the large ones.
// clang-format off
constexpr std::array<Part, 7> kParts = {{
  {5, {30, 30, 42, 44},  Shape::Left,  L"6", {24, 37}},   // tilt left
  {6, {58, 30, 70, 44},  Shape::Right, L"7", {76, 37}},   // tilt right
  {2, {44, 22, 56, 52},  Shape::Box,   L"3", {50, 39}},   // wheel
  {3, {8, 84, 18, 104},  Shape::Box,   L"4", {25, 94}},   // back
  {4, {8, 110, 18, 130}, Shape::Box,   L"5", {25, 120}},  // forward
  {0, {18, 12, 49, 76},  Shape::Box,   L"1", {26, 64}},   // left
  {1, {51, 12, 82, 76},  Shape::Box,   L"2", {74, 64}},   // right
}};
// clang-format on

struct Picture {
  int hover = -1;
  int marked = -1;
  bool tracking = false;
};

struct Scale {
  double factor;
  int x0, y0;
  int X(int x) const { return x0 + static_cast<int>(x * factor); }
  int Y(int y) const { return y0 + static_cast<int>(y * factor); }
  RECT Of(const RECT& r) const { return {X(r.left), Y(r.top), X(r.right), Y(r.bottom)}; }
};

Scale ScaleOf(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  const double fx = static_cast<double>(client.right) / kDesignWidth;
  const double fy = static_cast<double>(client.bottom) / kDesignHeight;
  const double f = fx < fy ? fx : fy;
  return {f, static_cast<int>((client.right - kDesignWidth * f) / 2),
          static_cast<int>((client.bottom - kDesignHeight * f) / 2)};
}

int HitTest(HWND window, POINT at) {
  const Scale scale = ScaleOf(window);
  for (const Part& part : kParts) {
    const RECT box = scale.Of(part.box);
    if (PtInRect(&box, at)) return part.row;
  }
  return -1;
}

void DrawPart(HDC dc, const Scale& scale, const Part& part, bool lit) {
  const HBRUSH fill = GetSysColorBrush(lit ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  const HGDIOBJ oldBrush = SelectObject(dc, fill);
  const RECT r = scale.Of(part.box);
  if (part.shape == Shape::Box) {
    const int round = static_cast<int>(6 * scale.factor);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, round, round);
  } else {
    const int middle = (r.top + r.bottom) / 2;
    const POINT left[] = {{r.left, middle}, {r.right, r.top}, {r.right, r.bottom}};
    const POINT right[] = {{r.right, middle}, {r.left, r.top}, {r.left, r.bottom}};
    Polygon(dc, part.shape == Shape::Left ? left : right, 3);
  }
  SelectObject(dc, oldBrush);
}

void Paint(HWND window, const Picture& picture) {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  // The page's own background (a tab's texture, when themed) shows around the mouse.
  DrawThemeParentBackground(window, dc, &client);
  const Scale scale = ScaleOf(window);
  const HPEN pen =
      CreatePen(PS_SOLID, static_cast<int>(scale.factor) + 1, GetSysColor(COLOR_WINDOWTEXT));
  const HGDIOBJ oldPen = SelectObject(dc, pen);
  const HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_WINDOW));
  const int round = static_cast<int>(70 * scale.factor);
  RoundRect(dc, scale.X(12), scale.Y(8), scale.X(88), scale.Y(172), round, round);
  for (auto it = kParts.rbegin(); it != kParts.rend(); ++it) {
    DrawPart(dc, scale, *it, it->row == picture.hover || it->row == picture.marked);
  }
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
  const HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  for (const Part& part : kParts) {
    const bool lit = part.row == picture.hover || part.row == picture.marked;
    const bool inside = part.row <= 2;  // left, right and the wheel carry their numbers
    SetTextColor(dc, GetSysColor(lit && inside ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    TextOutW(dc, scale.X(part.label.x), scale.Y(part.label.y) + static_cast<int>(4 * scale.factor),
             part.number, 1);
  }
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  EndPaint(window, &ps);
}

Picture* PictureOf(HWND window) {
  return reinterpret_cast<Picture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void SetHover(HWND window, Picture& picture, int row) {
  if (picture.hover == row) return;
  picture.hover = row;
  InvalidateRect(window, nullptr, TRUE);
  SendMessageW(GetParent(window), kPictureHover, static_cast<WPARAM>(row), 0);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Picture* picture = PictureOf(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Picture));
      break;
    case WM_NCDESTROY:
      delete picture;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_PAINT:
      if (picture != nullptr) Paint(window, *picture);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE: {
      if (picture == nullptr) break;
      if (!picture->tracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
        picture->tracking = TrackMouseEvent(&track) != 0;
      }
      SetHover(window, *picture, HitTest(window, {LOWORD(lParam), HIWORD(lParam)}));
      return 0;
    }
    case WM_MOUSELEAVE:
      if (picture != nullptr) {
        picture->tracking = false;
        SetHover(window, *picture, -1);
      }
      return 0;
    case WM_LBUTTONDOWN: {
      const int row = HitTest(window, {LOWORD(lParam), HIWORD(lParam)});
      if (row >= 0) SendMessageW(GetParent(window), kPictureClick, static_cast<WPARAM>(row), 0);
      return 0;
    }
    case kPictureMark:
      if (picture != nullptr) {
        picture->marked = static_cast<int>(wParam);
        InvalidateRect(window, nullptr, TRUE);
      }
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMousePicture(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PictureProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kClass;
  return RegisterClassW(&wc) != 0;
}

}  // namespace hidhost::option
