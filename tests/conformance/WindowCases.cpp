// Windows: the tree of other programs' windows, lookups by point, z-order
// walks, classes and styles, the framework window's life, and how posted and
// sent messages reach a window's thread.
#include <atomic>
#include <thread>
#include <vector>

#include "Cases.h"
#include "RecordingProcedure.h"
#include "platform/Constants.h"

namespace hidhost::conformance {
namespace {

using platform::Hwnd;
using platform::Point;
using platform::Rect;

constexpr std::int32_t kSwHide = 0;
constexpr Hwnd kNoSuchWindow = static_cast<Hwnd>(0x7FF0);

// Two top-level windows over each other, the first with two children, the
// second of those with one of its own.
struct Scene {
  Hwnd front, scrollBar, pane, grid, behind;
};

Scene AddScene(Stage& stage) {
  Scene scene{};
  scene.front = stage.AddWindow({"HidHostConfFront", Hwnd::None, {100, 100, 700, 500}, 0, "Front"});
  scene.scrollBar = stage.AddWindow({"ScrollBar", scene.front, {100, 480, 680, 500}, 0, ""});
  scene.pane = stage.AddWindow(
      {"HidHostConfPane", scene.front, {100, 100, 400, 480}, platform::kWsHScroll, ""});
  scene.grid = stage.AddWindow({"HidHostConfGrid", scene.pane, {120, 120, 200, 200}, 0, ""});
  scene.behind =
      stage.AddWindow({"HidHostConfBehind", Hwnd::None, {50, 50, 800, 600}, 0, "Behind"});
  return scene;
}

platform::WindowAttributes HostAttributes(std::string_view title, Rect rect) {
  return {0,
          title,
          platform::kWsPopup,
          rect.left,
          rect.top,
          rect.right - rect.left,
          rect.bottom - rect.top};
}

struct Collected {
  std::vector<Hwnd> children;
  std::size_t stopAfter = 99;
};

bool Collect(Hwnd child, void* context) {
  auto* collected = static_cast<Collected*>(context);
  collected->children.push_back(child);
  return collected->children.size() < collected->stopAfter;
}

}  // namespace

void WindowTree(Checks& check, Stage& stage) {
  auto& windows = stage.Seam().windows;
  const Scene s = AddScene(stage);
  // A hidden window of the host's own over the empty corner of the screen.
  RecordingProcedure procedure(windows);
  const Hwnd host = windows.CreateFrameworkWindow(
      HostAttributes("HidHost conformance", {900, 700, 1100, 900}), procedure);
  const struct {
    Point point;
    Hwnd expected;
  } points[] = {
      {{150, 150}, s.grid},       // 1 through the front window and its pane
      {{300, 490}, s.scrollBar},  // 2
      {{500, 300}, s.front},      // 3 no child there
      {{750, 550}, s.behind},     // 4 only the window behind
      {{700, 300}, s.behind},     // 5 the right edge is outside
  };
  int row = 1;
  for (const auto& entry : points) {
    check.Equal(row++, "WindowFromPoint", platform::ValueOf(windows.WindowFromPoint(entry.point)),
                platform::ValueOf(entry.expected));
  }
  const Hwnd uncovered = windows.WindowFromPoint({1000, 800});
  check.True(6, "WindowFromPoint passes over the hidden host window", uncovered != host);
  check.KnownOnWine("no window of Wine's desktop takes a point outside every window")
      .Equal(7, "and finds the desktop", platform::ValueOf(uncovered),
             platform::ValueOf(windows.GetDesktopWindow()));
  check.Equal(10, "ChildWindowFromPoint: the first child there in z-order",
              platform::ValueOf(windows.ChildWindowFromPoint(s.front, {50, 50})),
              platform::ValueOf(s.pane));
  check.Equal(11, "ChildWindowFromPoint: no child there, the parent",
              platform::ValueOf(windows.ChildWindowFromPoint(s.front, {550, 50})),
              platform::ValueOf(s.front));
  check.True(12, "ChildWindowFromPoint: outside the parent, none",
             !platform::IsSet(windows.ChildWindowFromPoint(s.front, {600, 50})));
  Point point{150, 150};
  check.True(13, "ScreenToClient", windows.ScreenToClient(s.pane, point) && point == Point{50, 50});

  check.Equal(20, "GetWindow child: the first in z-order",
              platform::ValueOf(windows.GetWindow(s.front, platform::kGwChild)),
              platform::ValueOf(s.scrollBar));
  check.Equal(21, "GetWindow next",
              platform::ValueOf(windows.GetWindow(s.scrollBar, platform::kGwHwndNext)),
              platform::ValueOf(s.pane));
  check.True(22, "GetWindow next of the last",
             !platform::IsSet(windows.GetWindow(s.pane, platform::kGwHwndNext)));
  check.Equal(23, "GetWindow previous",
              platform::ValueOf(windows.GetWindow(s.pane, platform::kGwHwndPrev)),
              platform::ValueOf(s.scrollBar));
  check.True(24, "GetWindow previous of the first",
             !platform::IsSet(windows.GetWindow(s.scrollBar, platform::kGwHwndPrev)));
  check.Equal(25, "GetWindow next of a top-level window",
              platform::ValueOf(windows.GetWindow(s.front, platform::kGwHwndNext)),
              platform::ValueOf(s.behind));
  check.Equal(26, "GetParent", platform::ValueOf(windows.GetParent(s.grid)),
              platform::ValueOf(s.pane));
  check.True(27, "GetParent of a top-level window", !platform::IsSet(windows.GetParent(s.front)));

  Collected all;
  windows.EnumChildWindows(s.front, Collect, &all);
  check.True(30, "EnumChildWindows: every descendant, depth first in z-order",
             all.children == std::vector<Hwnd>{s.scrollBar, s.pane, s.grid});
  Collected two{{}, 2};
  windows.EnumChildWindows(s.front, Collect, &two);
  check.Equal(31, "a callback answering false stops it", two.children.size(), 2u);

  windows.ShowWindow(s.pane, kSwHide);
  check.Equal(40, "WindowFromPoint passes over a hidden window and its children",
              platform::ValueOf(windows.WindowFromPoint({150, 150})), platform::ValueOf(s.front));
  check.Equal(41, "ChildWindowFromPoint does not",
              platform::ValueOf(windows.ChildWindowFromPoint(s.front, {50, 50})),
              platform::ValueOf(s.pane));
  windows.SendMessage(host, platform::kWmClose, 0, 0);
}

void WindowClassesAndStyles(Checks& check, Stage& stage) {
  auto& windows = stage.Seam().windows;
  const Scene s = AddScene(stage);
  platform::ClassName name;
  check.True(1, "a system class's name",
             windows.GetClassName(s.scrollBar, name) && name.Is("ScrollBar"));
  check.True(2, "a program's class's name",
             windows.GetClassName(s.grid, name) && name.Is("HidHostConfGrid"));
  check.True(3, "no window, no class name", !windows.GetClassName(kNoSuchWindow, name));
  const std::int32_t style = windows.GetWindowLong(s.pane, platform::kGwlStyle);
  check.True(4, "the style's scroll bars as made",
             (style & platform::kWsHScroll) != 0 && (style & platform::kWsVScroll) == 0);
  check.Equal(5, "FindWindow by title", platform::ValueOf(windows.FindWindowByTitle("Behind")),
              platform::ValueOf(s.behind));
  check.True(6, "FindWindow of a title nobody has",
             !platform::IsSet(windows.FindWindowByTitle("Nobody")));

  const Hwnd minimised = stage.AddWindow({"HidHostConfOptions",
                                          Hwnd::None,
                                          {200, 200, 400, 300},
                                          0x20000000u /* WS_MINIMIZE */,
                                          "Options"});
  check.True(10, "made minimised: iconic", windows.IsIconic(minimised));
  windows.ShowWindow(minimised, platform::kSwShowNormal);
  check.True(11, "shown normally: restored", !windows.IsIconic(minimised));
  check.True(12, "SetForegroundWindow", windows.SetForegroundWindow(minimised));

  RecordingProcedure procedure(windows);
  const Hwnd host = windows.CreateFrameworkWindow(
      HostAttributes("HidHost conformance", {100, 100, 200, 200}), procedure);
  check.True(20, "the framework's class",
             windows.GetClassName(host, name) && name.Is("HidHostFrameworkWindow"));
  if (const auto classStyle = stage.ClassStyle(host)) {
    check.Equal(21, "the framework class's style, and no cursor, brush or icon", *classStyle, 0u);
  }
  Rect rect;
  check.True(22, "GetWindowRect: position and size as made",
             windows.GetWindowRect(host, rect) && rect == Rect{100, 100, 200, 200});
  check.Equal(23, "found by its title",
              platform::ValueOf(windows.FindWindowByTitle("HidHost conformance")),
              platform::ValueOf(host));
  check.Equal(24, "extended style as made", windows.GetWindowLong(host, platform::kGwlExStyle), 0);
  check.Equal(25, "SetWindowLong answers the old extended style",
              windows.SetWindowLong(host, platform::kGwlExStyle, platform::kWsExToolWindow), 0);
  check.Equal(26, "extended style replaced", windows.GetWindowLong(host, platform::kGwlExStyle),
              static_cast<std::int32_t>(platform::kWsExToolWindow));
  check.True(27, "never shown: hiding answers it was hidden", !windows.ShowWindow(host, kSwHide));
  windows.SendMessage(host, platform::kWmClose, 0, 0);
}

void WindowLife(Checks& check, Stage& stage) {
  auto& windows = stage.Seam().windows;
  const std::vector<std::uint32_t> life = {platform::kWmNcCreate, platform::kWmCreate,
                                           platform::kWmDestroy, platform::kWmNcDestroy};
  RecordingProcedure procedure(windows);
  const Hwnd hwnd =
      windows.CreateFrameworkWindow(HostAttributes("HidHost life", {0, 0, 10, 10}), procedure);
  check.True(1, "created", platform::IsSet(hwnd));
  check.Equal(2, "the first message is WM_NCCREATE", procedure.Messages().front().message,
              platform::kWmNcCreate);
  check.Equal(3, "WM_CLOSE to the default procedure destroys it",
              windows.SendMessage(hwnd, platform::kWmClose, 0, 0), platform::LResult{0});
  check.True(4, "the window is gone", !windows.PostMessage(hwnd, platform::kWmNull, 0, 0));
  check.True(5, "life messages in order", procedure.Only(life) == life);
  check.Equal(6, "the last message is WM_NCDESTROY", procedure.Messages().back().message,
              platform::kWmNcDestroy);
  bool sameWindow = true;
  for (const auto& seen : procedure.Messages()) sameWindow = sameWindow && seen.hwnd == hwnd;
  check.True(7, "every message names the window", sameWindow);
  check.True(8, "no registered message reached the procedure", !procedure.SawRegisteredMessage());

  RecordingProcedure refusing(windows, /*refuseCreation=*/true);
  check.True(10, "a creation the procedure refuses gives no window",
             !platform::IsSet(windows.CreateFrameworkWindow(
                 HostAttributes("HidHost refused", {0, 0, 10, 10}), refusing)));
  check.True(11, "and the refused window still gets WM_DESTROY and WM_NCDESTROY",
             refusing.Only(life) == life);
  check.True(12, "nor is it found", !platform::IsSet(windows.FindWindowByTitle("HidHost refused")));
}

namespace {

struct Sender {
  platform::Windows* windows;
  Hwnd target;
  bool post;
  std::atomic<bool> returned{false};
  platform::LResult result = 0;
  std::thread::id thread{};

  static std::uint32_t Run(void* raw) {
    auto* self = static_cast<Sender*>(raw);
    self->thread = std::this_thread::get_id();
    self->result = self->post
                       ? self->windows->PostMessage(self->target, platform::kWmUser + 2, 9, 0)
                       : self->windows->SendMessage(self->target, platform::kWmUser + 1, 7, 0);
    self->returned = true;
    return 0;
  }
};

}  // namespace

void PostedAndSentMessages(Checks& check, Stage& stage) {
  auto& windows = stage.Seam().windows;
  auto& kernel = stage.Seam().kernel;
  RecordingProcedure procedure(windows);
  procedure.answeredMessage = platform::kWmUser + 1;
  procedure.answer = 42;
  const Hwnd hwnd =
      windows.CreateFrameworkWindow(HostAttributes("HidHost messages", {0, 0, 10, 10}), procedure);
  const std::thread::id own = std::this_thread::get_id();

  check.True(1, "PostMessage", windows.PostMessage(hwnd, platform::kWmApp + 5, 11, 0));
  check.True(2, "a posted message is not handled inside PostMessage",
             !procedure.Find(platform::kWmApp + 5, 11));
  check.Equal(3, "SendMessage on the window's thread: handled at once, its answer returned",
              windows.SendMessage(hwnd, platform::kWmUser + 1, 3, 0), platform::LResult{42});
  check.True(4, "and before the earlier posted one", !procedure.Find(platform::kWmApp + 5, 11));
  check.True(
      5, "the posted message arrives when the thread takes messages",
      stage.DeliverUntil([&] { return procedure.Find(platform::kWmApp + 5, 11) != nullptr; }));
  check.True(6, "on the window's thread", procedure.Find(platform::kWmApp + 5, 11)->thread == own);

  Sender sender{&windows, hwnd, false};
  const platform::Handle sending = kernel.CreateThread(0, &Sender::Run, &sender);
  stage.LetOtherThreadsRun();
  check.True(10, "a send from another thread waits while the window's thread takes no message",
             !sender.returned.load() && !procedure.Find(platform::kWmUser + 1, 7));
  check.True(11, "it is handled once the window's thread takes messages",
             stage.DeliverUntil([&] { return sender.returned.load(); }));
  const auto* sent = procedure.Find(platform::kWmUser + 1, 7);
  check.True(12, "on the window's thread, not the sender's",
             sent != nullptr && sent->thread == own && sender.thread != own);
  check.Equal(13, "the sender gets the procedure's answer", sender.result, platform::LResult{42});
  kernel.WaitForSingleObject(sending, platform::kInfinite);
  kernel.CloseHandle(sending);

  Sender poster{&windows, hwnd, true};
  const platform::Handle posting = kernel.CreateThread(0, &Sender::Run, &poster);
  check.Equal(20, "a post from another thread returns without the window's thread",
              kernel.WaitForSingleObject(posting, 5000), platform::WaitResult::Signalled);
  kernel.CloseHandle(posting);
  check.True(21, "and is handled on the window's thread", stage.DeliverUntil([&] {
    return procedure.Find(platform::kWmUser + 2, 9) != nullptr;
  }) && procedure.Find(platform::kWmUser + 2, 9)->thread == own);

  windows.PostMessage(hwnd, platform::kWmApp + 6, 12, 0);
  windows.PostQuitMessage(7);
  check.Equal(30, "the message loop gives the quit message's code", windows.RunMessageLoop(), 7);
  check.True(31, "after dispatching what was posted before the quit",
             procedure.Find(platform::kWmApp + 6, 12) != nullptr);
  windows.SendMessage(hwnd, platform::kWmClose, 0, 0);
  check.True(32, "nothing can be posted to a destroyed window",
             !windows.PostMessage(hwnd, platform::kWmNull, 0, 0));
}

void SessionEntries(Checks& check, Stage& stage) {
  auto& seam = stage.Seam();
  check.True(1, "no session library, no registration",
             !seam.windows.RegisterSessionNotification(platform::Module::None, Hwnd::None, 0));
  const platform::Module strings = seam.kernel.LoadLibrary(stage.StringLibraryPath());
  check.True(2, "a library without the entry, no registration",
             platform::IsSet(strings) &&
                 !seam.windows.RegisterSessionNotification(strings, Hwnd::None, 0));
  check.True(3, "nor unregistration",
             !seam.windows.UnregisterSessionNotification(strings, Hwnd::None));
  seam.kernel.FreeLibrary(strings);
}

}  // namespace hidhost::conformance
