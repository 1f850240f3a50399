// wine-agent: looks at and pokes the desktop for the test runner, several
// commands per process (each Wine process costs time to start).
//
//   wine-agent.exe "COMMAND ARG..." ...
//
// Each argument is one command; its words are separated by '|' so that
// titles may hold spaces ("find|QUILL48HidHost", "post|Target WwG|0x10").
// Commands run in order; the first that fails ends the run with exit code 1
// after printing "FAIL <command>: <why>". Numbers are decimal or 0x-hex.
//
//   find|TITLE                 window "TITLE" visible=V iconic=I style=S exstyle=E class=C | absent
//   count|TITLE                count "TITLE" N  (top-level windows with that title)
//   wait-window|TITLE[|MS]     until a top-level window with the title exists
//   wait-gone|TITLE[|MS]       until none exists
//   post|TITLE|MSG[|WP[|LP]]   PostMessage
//   send|TITLE|MSG[|WP[|LP]]   SendMessageTimeout; prints "result N"
//   watch|TITLE                keep a handle on the window's process
//   wait-exit[|MS]             wait for the watched process; "exit code=N after=MS"
//   crash|TITLE                a thread in the window's process that jumps to address 0
//   spi                        the system mouse settings as read back
//   cursor-to|TITLE|DX|DY      cursor to the window's top-left + (DX,DY); checks what is under it
//   cursor                     cursor X,Y
//   mark|TITLE|N               post the marker message N (see Support.h)
//   tray                       the notification-area icons: "tray icons=N"
//   tray-click|INDEX|BUTTON    post BUTTON (ldown lup ldbl rdown rup) to icon INDEX
//   menu-wait[|MS]             until a pop-up menu is visible
//   menu-key|VK...             post key presses to the visible pop-up menu
//   menu-gone[|MS]             until no pop-up menu is visible
//   signal|EVENT               set a named event
//   mutex|NAME                 mutex NAME present|absent
#include <string>
#include <vector>

#include "Support.h"

namespace hidhost::wine_tests {
namespace {

constexpr DWORD kDefaultWaitMs = 10000;
constexpr DWORD kPollMs = 20;
constexpr const char* kTrayClass = "__winex11_standalone_tray";
constexpr const char* kMenuClass = "#32768";

struct Agent {
  OwnedHandle watched;  // the process that wait-exit waits for
  std::string why;      // what the failing command reports
};

bool Fail(Agent& agent, std::string why) {
  agent.why = std::move(why);
  return false;
}

void Print(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::int64_t NumberOr(const Words& w, std::size_t index, std::int64_t fallback) {
  if (w.size() <= index) return fallback;
  return ParseNumber(w[index]).value_or(fallback);
}

std::string ClassOf(HWND window) {
  char name[260] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TitleOf(HWND window) {
  char title[260] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

struct TitleCount {
  const std::string* title;
  int count;
};

BOOL CALLBACK CountTitle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleCount*>(context);
  if (TitleOf(window) == *search->title) ++search->count;
  return TRUE;
}

int CountWindows(const std::string& title) {
  TitleCount search{&title, 0};
  EnumWindows(CountTitle, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

template <typename Done>
bool PollUntil(DWORD timeoutMs, Done done) {
  const ULONGLONG until = GetTickCount64() + timeoutMs;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= until) return false;
    Sleep(kPollMs);
  }
}

HWND FindTitled(Agent& agent, const std::string& title) {
  const HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) Fail(agent, "no window titled \"" + title + "\"");
  return window;
}

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray = FindWindowExA(nullptr, nullptr, kTrayClass, nullptr); tray != nullptr;
       tray = FindWindowExA(nullptr, tray, kTrayClass, nullptr)) {
    for (HWND icon = GetWindow(tray, GW_CHILD); icon != nullptr;
         icon = GetWindow(icon, GW_HWNDNEXT)) {
      icons.push_back(icon);
    }
  }
  return icons;
}

HWND VisibleMenu() {
  for (HWND menu = FindWindowExA(nullptr, nullptr, kMenuClass, nullptr); menu != nullptr;
       menu = FindWindowExA(nullptr, menu, kMenuClass, nullptr)) {
    if (IsWindowVisible(menu)) return menu;
  }
  return nullptr;
}

bool Find(Agent&, const Words& w) {
  const HWND window = FindWindowA(nullptr, w[1].c_str());
  if (window == nullptr) {
    Print("window \"" + w[1] + "\" absent");
    return true;
  }
  Print(Format("window \"%s\" visible=%d iconic=%d style=%08lX exstyle=%08lX class=%s",
               w[1].c_str(), IsWindowVisible(window) ? 1 : 0, IsIconic(window) ? 1 : 0,
               static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
               static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)),
               ClassOf(window).c_str()));
  return true;
}

bool Count(Agent&, const Words& w) {
  Print(Format("count \"%s\" %d", w[1].c_str(), CountWindows(w[1])));
  return true;
}

bool WaitWindow(Agent& agent, const Words& w) {
  const auto ms = static_cast<DWORD>(NumberOr(w, 2, kDefaultWaitMs));
  if (!PollUntil(ms, [&] { return FindWindowA(nullptr, w[1].c_str()) != nullptr; })) {
    return Fail(agent, "no window titled \"" + w[1] + "\" within " + std::to_string(ms) + " ms");
  }
  return true;
}

bool WaitGone(Agent& agent, const Words& w) {
  const auto ms = static_cast<DWORD>(NumberOr(w, 2, kDefaultWaitMs));
  if (!PollUntil(ms, [&] { return FindWindowA(nullptr, w[1].c_str()) == nullptr; })) {
    return Fail(agent, "window \"" + w[1] + "\" still there after " + std::to_string(ms) + " ms");
  }
  return true;
}

bool Post(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  if (!PostMessageA(window, static_cast<UINT>(NumberOr(w, 2, 0)),
                    static_cast<WPARAM>(NumberOr(w, 3, 0)),
                    static_cast<LPARAM>(NumberOr(w, 4, 0)))) {
    return Fail(agent, Format("PostMessage failed: %lu", GetLastError()));
  }
  return true;
}

bool Send(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(
          window, static_cast<UINT>(NumberOr(w, 2, 0)), static_cast<WPARAM>(NumberOr(w, 3, 0)),
          static_cast<LPARAM>(NumberOr(w, 4, 0)), SMTO_NORMAL, kDefaultWaitMs, &result)) {
    return Fail(agent, Format("SendMessageTimeout failed: %lu", GetLastError()));
  }
  Print(Format("result %lld", static_cast<long long>(result)));
  return true;
}

bool Watch(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  agent.watched.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!agent.watched) return Fail(agent, Format("cannot open process %lu", pid));
  return true;
}

// A thread in the window's process that starts at address 0: the access
// violation a bug in the process would raise, on a thread of its own.
bool Crash(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const OwnedHandle process(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                            PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                            PROCESS_VM_READ,
                                        FALSE, pid));
  if (!process) return Fail(agent, Format("cannot open process %lu", pid));
  const OwnedHandle thread(
      CreateRemoteThread(process.get(), nullptr, 0, nullptr, nullptr, 0, nullptr));
  if (!thread) return Fail(agent, Format("CreateRemoteThread failed: %lu", GetLastError()));
  return true;
}

bool WaitExit(Agent& agent, const Words& w) {
  if (!agent.watched) return Fail(agent, "nothing watched");
  const auto ms = static_cast<DWORD>(NumberOr(w, 1, kDefaultWaitMs));
  const ULONGLONG start = GetTickCount64();
  if (WaitForSingleObject(agent.watched.get(), ms) != WAIT_OBJECT_0) {
    return Fail(agent, "process still running after " + std::to_string(ms) + " ms");
  }
  DWORD code = 0;
  GetExitCodeProcess(agent.watched.get(), &code);
  Print(Format("exit code=%lu after=%llu", code,
               static_cast<unsigned long long>(GetTickCount64() - start)));
  return true;
}

bool Spi(Agent&, const Words&) {
  int mouse[3] = {-1, -1, -1};
  UINT wheel = 0;
  int speed = -1;
  SystemParametersInfoA(SPI_GETMOUSE, 0, mouse, 0);
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &wheel, 0);
  SystemParametersInfoA(SPI_GETMOUSESPEED, 0, &speed, 0);
  Print(Format("double-click=%u swap=%d mouse=%d,%d,%d wheel=%d speed=%d", GetDoubleClickTime(),
               GetSystemMetrics(SM_SWAPBUTTON), mouse[0], mouse[1], mouse[2],
               static_cast<int>(wheel), speed));
  return true;
}

bool CursorTo(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  RECT r;
  GetWindowRect(window, &r);
  const POINT target{static_cast<LONG>(r.left + NumberOr(w, 2, 0)),
                     static_cast<LONG>(r.top + NumberOr(w, 3, 0))};
  SetCursorPos(target.x, target.y);
  POINT at{};
  GetCursorPos(&at);
  const HWND under = WindowFromPoint(at);
  const HWND root = under != nullptr ? GetAncestor(under, GA_ROOT) : nullptr;
  Print(Format("cursor %ld,%ld over class=%s root=\"%s\"", at.x, at.y, ClassOf(under).c_str(),
               TitleOf(root).c_str()));
  if (at.x != target.x || at.y != target.y) return Fail(agent, "the cursor did not move there");
  if (root != window) return Fail(agent, "another window is under the cursor");
  return true;
}

bool Cursor(Agent&, const Words&) {
  POINT at{};
  GetCursorPos(&at);
  Print(Format("cursor %ld,%ld", at.x, at.y));
  return true;
}

bool Mark(Agent& agent, const Words& w) {
  const HWND window = FindTitled(agent, w[1]);
  if (window == nullptr) return false;
  PostMessageA(window, kMarkerMessage, static_cast<WPARAM>(NumberOr(w, 2, 0)), 0);
  return true;
}

bool Tray(Agent&, const Words&) {
  const std::vector<HWND> icons = TrayIcons();
  Print(Format("tray icons=%u", static_cast<unsigned>(icons.size())));
  return true;
}

struct MouseButtonMessage {
  const char* name;
  UINT message;
};
constexpr MouseButtonMessage kTrayButtons[] = {{"ldown", WM_LBUTTONDOWN},
                                               {"lup", WM_LBUTTONUP},
                                               {"ldbl", WM_LBUTTONDBLCLK},
                                               {"rdown", WM_RBUTTONDOWN},
                                               {"rup", WM_RBUTTONUP}};

bool TrayClick(Agent& agent, const Words& w) {
  const std::vector<HWND> icons = TrayIcons();
  const auto index = static_cast<std::size_t>(NumberOr(w, 1, 0));
  if (index >= icons.size())
    return Fail(agent, Format("no tray icon %u", static_cast<unsigned>(index)));
  for (const auto& button : kTrayButtons) {
    if (w[2] != button.name) continue;
    PostMessageA(icons[index], button.message, button.message == WM_RBUTTONDOWN ? MK_RBUTTON : 0,
                 MAKELPARAM(8, 8));
    return true;
  }
  return Fail(agent, "unknown button " + w[2]);
}

bool MenuWait(Agent& agent, const Words& w) {
  const auto ms = static_cast<DWORD>(NumberOr(w, 1, kDefaultWaitMs));
  if (!PollUntil(ms, [] { return VisibleMenu() != nullptr; })) {
    return Fail(agent, "no pop-up menu within " + std::to_string(ms) + " ms");
  }
  Print("menu shown");
  return true;
}

bool MenuGone(Agent& agent, const Words& w) {
  const auto ms = static_cast<DWORD>(NumberOr(w, 1, kDefaultWaitMs));
  if (!PollUntil(ms, [] { return VisibleMenu() == nullptr; })) {
    return Fail(agent, "the pop-up menu is still open after " + std::to_string(ms) + " ms");
  }
  return true;
}

bool MenuKey(Agent& agent, const Words& w) {
  const HWND menu = VisibleMenu();
  if (menu == nullptr) return Fail(agent, "no pop-up menu");
  for (std::size_t i = 1; i < w.size(); ++i) {
    const auto vk = static_cast<WPARAM>(NumberOr(w, i, 0));
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0)) << 16;
    PostMessageA(menu, WM_KEYDOWN, vk, scan | 1);
    PostMessageA(menu, WM_KEYUP, vk, scan | 0xC0000001);
  }
  return true;
}

bool Signal(Agent& agent, const Words& w) {
  const OwnedHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, w[1].c_str()));
  if (!event || !SetEvent(event.get())) return Fail(agent, "cannot set event " + w[1]);
  return true;
}

bool Mutex(Agent&, const Words& w) {
  const OwnedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, w[1].c_str()));
  Print("mutex " + w[1] + (mutex ? " present" : " absent"));
  return true;
}

struct Command {
  const char* name;
  std::size_t minArguments;
  bool (*run)(Agent&, const Words&);
};

constexpr Command kCommands[] = {
    {"find", 1, Find},
    {"count", 1, Count},
    {"wait-window", 1, WaitWindow},
    {"wait-gone", 1, WaitGone},
    {"post", 2, Post},
    {"send", 2, Send},
    {"watch", 1, Watch},
    {"wait-exit", 0, WaitExit},
    {"crash", 1, Crash},
    {"spi", 0, Spi},
    {"cursor-to", 3, CursorTo},
    {"cursor", 0, Cursor},
    {"mark", 2, Mark},
    {"tray", 0, Tray},
    {"tray-click", 2, TrayClick},
    {"menu-wait", 0, MenuWait},
    {"menu-key", 1, MenuKey},
    {"menu-gone", 0, MenuGone},
    {"signal", 1, Signal},
    {"mutex", 1, Mutex},
};

bool RunCommand(Agent& agent, const std::string& text) {
  const Words words = Split(text);
  for (const Command& command : kCommands) {
    if (words[0] != command.name) continue;
    if (words.size() - 1 < command.minArguments) return Fail(agent, "missing arguments");
    return command.run(agent, words);
  }
  return Fail(agent, "unknown command");
}

int Run(int argc, char** argv) {
  Agent agent;
  for (int i = 1; i < argc; ++i) {
    if (!RunCommand(agent, argv[i])) {
      Print(Format("FAIL %s: %s", argv[i], agent.why.c_str()));
      return 1;
    }
  }
  return 0;
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  return hidhost::wine_tests::Run(argc, argv);
}
