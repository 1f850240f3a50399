// wine-targets: the windows that sideways scrolling aims at, each writing
// down the messages it receives.
//
//   wine-targets.exe --log FILE [--osd] [--hold-mutex NAME]
//
// Windows (screen position, class, what it is):
//   "Target WwG"     _WwG with a horizontal "ScrollBar" child along its bottom
//   "Target Plain"   a window of its own class with WS_HSCROLL
//   "Target Mozilla" MozillaWindowClass with a MozillaWindowClass child over all of it
//   "Target Still"   nothing that scrolls
//   "Target Excel"   EXCEL7 with a horizontal "ScrollBar" child along its bottom
//   "Target Vertical" a window of its own class with WS_VSCROLL only
//   "MOSSE_ARC OSD"  with --osd: the on-screen display, closes on WM_CLOSE
// Lines (after the tick): "ready", then "<role> hscroll code=C lparam=scrollbar|0|HEX",
// "<role> keydown|keyup vk=VV lparam=HEX", "<role> marker N", "<role> close".
// With --hold-mutex, the named mutex exists for as long as the program runs.
// Ends when the event HidHostWineTargetsStop is signalled.
#include <array>
#include <string>

#include "Support.h"

namespace hidhost::wine_tests {
namespace {

struct TargetSpec {
  const char* role;
  const char* className;
  const char* title;
  DWORD style;
  RECT place;  // screen rectangle for top-level windows, client rectangle for children
  int parent;  // index of the parent row, -1 for a top-level window
  bool onlyWithOsd;
};

constexpr DWORD kTopLevel = WS_POPUP | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

constexpr std::array<TargetSpec, 10> kTargets{{
    {"wwg", "_WwG", "Target WwG", kTopLevel, {40, 40, 340, 240}, -1, false},
    {"wwg-scrollbar", "ScrollBar", "", kChild | SBS_HORZ, {0, 170, 300, 200}, 0, false},
    {"plain",
     "HidHostPlainScroll",
     "Target Plain",
     kTopLevel | WS_HSCROLL,
     {380, 40, 680, 240},
     -1,
     false},
    {"mozilla", "MozillaWindowClass", "Target Mozilla", kTopLevel, {40, 300, 340, 500}, -1, false},
    {"mozilla-child",
     "MozillaWindowClass",
     "Target Mozilla Child",
     kChild,
     {0, 0, 300, 200},
     3,
     false},
    {"still", "HidHostStill", "Target Still", kTopLevel, {380, 300, 680, 500}, -1, false},
    {"excel", "EXCEL7", "Target Excel", kTopLevel, {40, 540, 340, 700}, -1, false},
    {"excel-scrollbar", "ScrollBar", "", kChild | SBS_HORZ, {0, 130, 300, 160}, 6, false},
    {"vertical",
     "HidHostVertical",
     "Target Vertical",
     kTopLevel | WS_VSCROLL,
     {380, 540, 680, 700},
     -1,
     false},
    {"osd", "HidHostOsd", "MOSSE_ARC OSD", kTopLevel, {720, 40, 920, 140}, -1, true},
}};

// A child's row names its parent by index: the parent comes first and is a
// top-level window.
constexpr bool ParentsComeFirst() {
  for (std::size_t i = 0; i < kTargets.size(); ++i) {
    const int parent = kTargets[i].parent;
    if (parent >= static_cast<int>(i) || (parent >= 0 && kTargets[parent].parent != -1)) {
      return false;
    }
  }
  return true;
}
static_assert(ParentsComeFirst());

struct Targets {
  LineLog& log;
  std::array<HWND, kTargets.size()> windows{};

  std::string NameOf(LPARAM handle) const {
    if (handle == 0) return "0";
    for (std::size_t i = 0; i < kTargets.size(); ++i) {
      if (reinterpret_cast<LPARAM>(windows[i]) == handle) {
        return std::string_view(kTargets[i].className) == "ScrollBar" ? "scrollbar"
                                                                      : kTargets[i].role;
      }
    }
    return Format("%llX", static_cast<unsigned long long>(handle));
  }
};

const TargetSpec* SpecOf(HWND window) {
  return reinterpret_cast<const TargetSpec*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

Targets* TargetsOf(HWND window) {
  return reinterpret_cast<Targets*>(GetPropA(window, "HidHostTargets"));
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const TargetSpec* shape = SpecOf(window);
  Targets* targets = TargetsOf(window);
  if (shape == nullptr || targets == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_HSCROLL:
      targets->log.Write(Format("%s hscroll code=%u lparam=%s", shape->role, LOWORD(wParam),
                                targets->NameOf(lParam).c_str()));
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      targets->log.Write(Format("%s %s vk=%02X lparam=%08lX", shape->role,
                                message == WM_KEYDOWN ? "keydown" : "keyup",
                                static_cast<unsigned>(wParam), static_cast<unsigned long>(lParam)));
      return 0;
    case kMarkerMessage:
      targets->log.Write(
          Format("%s marker %llu", shape->role, static_cast<unsigned long long>(wParam)));
      return 0;
    case WM_CLOSE:
      targets->log.Write(Format("%s close", shape->role));
      DestroyWindow(window);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool RegisterClasses(HINSTANCE self) {
  for (std::size_t i = 0; i < kTargets.size(); ++i) {
    WNDCLASSA wc{};
    if (GetClassInfoA(self, kTargets[i].className, &wc) ||
        GetClassInfoA(nullptr, kTargets[i].className, &wc)) {
      continue;  // already registered, or a system class (ScrollBar)
    }
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = self;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kTargets[i].className;
    if (!RegisterClassA(&wc)) return false;
  }
  return true;
}

bool CreateTargets(Targets& targets, HINSTANCE self, bool withOsd) {
  for (std::size_t i = 0; i < kTargets.size(); ++i) {
    const TargetSpec& shape = kTargets[i];
    if (shape.onlyWithOsd && !withOsd) continue;
    const HWND parent = shape.parent >= 0 ? targets.windows[shape.parent] : nullptr;
    const RECT& r = shape.place;
    const HWND window =
        CreateWindowExA(0, shape.className, shape.title, shape.style, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, parent, nullptr, self, nullptr);
    if (window == nullptr) {
      targets.log.Write(Format("error cannot create %s: %lu", shape.role, GetLastError()));
      return false;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&shape));
    SetPropA(window, "HidHostTargets", &targets);
    targets.windows[i] = window;
  }
  return true;
}

int Run(int argc, char** argv) {
  LineLog log(OptionValue(argc, argv, "--log"));
  if (!log.IsOpen()) return 2;
  const OwnedHandle stop(CreateEventA(nullptr, TRUE, FALSE, kTargetsStopEvent));
  const HINSTANCE self = GetModuleHandleA(nullptr);
  const std::string mutexName = OptionValue(argc, argv, "--hold-mutex");
  const OwnedHandle held(mutexName.empty() ? nullptr
                                           : CreateMutexA(nullptr, FALSE, mutexName.c_str()));
  if (!mutexName.empty() && !held) return 1;
  Targets targets{log};
  if (!stop || !RegisterClasses(self) ||
      !CreateTargets(targets, self, HasFlag(argc, argv, "--osd"))) {
    return 1;
  }
  for (HWND window : targets.windows) {
    if (window != nullptr) UpdateWindow(window);
  }
  log.Write("ready");
  PumpUntil(stop.get());
  log.Write("stopped");
  return 0;
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  return hidhost::wine_tests::Run(argc, argv);
}
