// Sideways scrolling on simulated window trees: the target search, the
// strategy by class, the repeat count and the places where nothing is sent.
#include <gtest/gtest.h>

#include <vector>

#include "ActionsWorld.h"
#include "actions/HorizontalScroll.h"
#include "actions/WindowClasses.h"

namespace hidhost::actions::testing {
namespace {

using sim::WindowSpec;

constexpr std::uint32_t kHScroll = platform::kWsHScroll;
constexpr std::uint32_t kVScroll = platform::kWsVScroll;
constexpr platform::Rect kScreenArea{0, 0, 800, 600};

struct ScrollRow {
  int row;
  std::vector<WindowSpec> windows;
  std::int32_t n;
  std::int32_t count;  // HScrollWheelSpeed
  Lines expected;
  bool swapped = false;
};

// One desktop per row: each row brings its own window tree.
Lines RunScroll(const ScrollRow& row) {
  sim::SimDesktop desktop;
  sim::SimProcess& process = desktop.StartProcess();
  for (const WindowSpec& window : row.windows) desktop.AddWindow(window);
  desktop.SetCursor({400, 300});
  desktop.SetSwapButtons(row.swapped);
  settings::LiveSettings settings{DefaultRecord()};
  settings.Set(settings::Field::HScrollWheelSpeed, row.count);
  desktop.TakeTrace();
  ScrollHorizontally(process.Platform(), settings, row.n);
  return desktop.TakeTrace();
}

void CheckRows(const std::vector<ScrollRow>& rows) {
  for (const ScrollRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    EXPECT_EQ(RunScroll(row), row.expected);
  }
}

Lines HScrollTo(std::uintptr_t hwnd, std::uintptr_t wParam, std::uintptr_t lParam, int times) {
  return Times(times, {PostLine(hwnd, platform::kWmHScroll, wParam, lParam)});
}
Lines Notch(int data) {
  return {MouseLine(0x8800, 0, 0, data)};
}

// A view of the given class with a horizontal scroll bar as its child.
std::vector<WindowSpec> ViewWithChildBar(const char* viewClass) {
  return {{0x20, viewClass, 0, kScreenArea, 0, ""},
          {0x21, "ScrollBar", 0x20, {0, 580, 780, 600}, 0, ""}};
}

TEST(HorizontalScroll, scrollBarMessageClasses_postToTheBarsParentNamingTheBar) {
  std::vector<ScrollRow> rows = {
      {1, ViewWithChildBar("_WwG"), +1, 3, HScrollTo(0x20, 0, 0x21, 3)},
      {2, ViewWithChildBar("_WwG"), -1, 3, HScrollTo(0x20, 1, 0x21, 3)},
  };
  int n = 3;
  for (const char* viewClass : {"paneClassDC", "VISIOG", "PSViewC", "EditControl",
                                "FrontPageEditorDocumentView", "AVL_AVView"}) {
    rows.push_back({n++, ViewWithChildBar(viewClass), +1, 1, HScrollTo(0x20, 0, 0x21, 1)});
  }
  CheckRows(rows);
}

TEST(HorizontalScroll, endClickClass_clicksTheBarsEndAndPutsTheCursorBack) {
  const std::vector<WindowSpec> sheet = {{0x30, "EXCEL7", 0, kScreenArea, 0, ""},
                                         {0x31, "ScrollBar", 0x30, {100, 560, 700, 580}, 0, ""}};
  const auto clicks = [](int x, int y, unsigned down, unsigned up, int times) {
    return Times(times, {MouseLine(down, x, y, 0), MouseLine(up, x, y, 0)});
  };
  CheckRows({
      {1, sheet, -1, 3,
       Lines{CursorLine(695, 565)} + clicks(695, 565, 0x8002, 0x8004, 3) +
           Lines{CursorLine(400, 300)}},
      {2, sheet, +1, 3,
       Lines{CursorLine(105, 565)} + clicks(105, 565, 0x8002, 0x8004, 3) +
           Lines{CursorLine(400, 300)}},
      {3, sheet, -1, 2,
       Lines{CursorLine(695, 565)} + clicks(695, 565, 0x8008, 0x8010, 2) +
           Lines{CursorLine(400, 300)},
       true},
      // Clicks do not multiply with the step.
      {4, sheet, +2, 2,
       Lines{CursorLine(105, 565)} + clicks(105, 565, 0x8002, 0x8004, 2) +
           Lines{CursorLine(400, 300)}},
      {5, sheet, -1, 0, {CursorLine(695, 565), CursorLine(400, 300)}},
      {6, sheet, -1, -4, {CursorLine(695, 565), CursorLine(400, 300)}},
  });
}

TEST(HorizontalScroll, browserContent_arrowKeysGoToItsParent) {
  const std::vector<WindowSpec> browser = {{0x41, "GeckoFrame", 0, kScreenArea, 0, ""},
                                           {0x40, "MozillaWindowClass", 0x41, kScreenArea, 0, ""}};
  const auto keys = [](unsigned vk, unsigned down, unsigned up, int times) {
    return Times(times, {PostLine(0x41, 0x100, vk, down), PostLine(0x41, 0x101, vk, up)});
  };
  CheckRows({
      {1, browser, +1, 2, keys(0x25, 0x014B0001, 0xC14B0001, 2)},
      {2, browser, -1, 2, keys(0x27, 0x014D0001, 0xC14D0001, 2)},
      {3, browser, -2, 1, keys(0x27, 0x014D0001, 0xC14D0001, 2)},
      // A top-level content window has no parent to scroll and nothing else does.
      {4, {{0x40, "MozillaWindowClass", 0, kScreenArea, 0, ""}}, +1, 2, Notch(120)},
  });
}

TEST(HorizontalScroll, otherClasses_plainMessageToTheWindowUnderTheCursor) {
  CheckRows({
      {1, {{0x50, "Notepad", 0, kScreenArea, kHScroll, ""}}, +1, 3, HScrollTo(0x50, 0, 0, 3)},
      {2, {{0x50, "Notepad", 0, kScreenArea, kHScroll, ""}}, -1, 2, HScrollTo(0x50, 1, 0, 2)},
      // The bar found is only proof that something scrolls; the message goes to the view.
      {3, ViewWithChildBar("SomeView"), +1, 2, HScrollTo(0x20, 0, 0, 2)},
      {4,
       {{0x70, "Internet Explorer_Server", 0, kScreenArea, 0, ""}},
       +1,
       3,
       HScrollTo(0x70, 0, 0, 3)},
      {5,
       {{0xB0, "CabinetWClass", 0, kScreenArea, 0, ""},
        {0xB1, "SysListView32", 0xB0, kScreenArea, kHScroll, ""}},
       +1,
       1,
       HScrollTo(0xB1, 0, 0, 1)},
      {6, {{0x50, "Notepad", 0, kScreenArea, kHScroll, ""}}, +3, 2, HScrollTo(0x50, 0, 0, 6)},
  });
}

TEST(HorizontalScroll, nothingScrollsSideways_wheelNotchOrNothing) {
  CheckRows({
      {1, {{0x80, "Pane", 0, kScreenArea, 0, ""}}, +1, 3, Notch(120)},
      {2, {{0x80, "Pane", 0, kScreenArea, 0, ""}}, -1, 3, Notch(-120)},
      {3, {{0x80, "Pane", 0, kScreenArea, 0, ""}}, +1, 0, Notch(120)},
      {4, {{0x80, "Pane", 0, kScreenArea, 0, ""}}, +5, 7, Notch(120)},
      // Scrolls vertically only: left alone.
      {5, {{0x90, "Pane", 0, kScreenArea, kVScroll, ""}}, +1, 3, {}},
      // The desktop and the desktop's icon list.
      {6, {}, +1, 3, {}},
      {7,
       {{0xA0, "Progman", 0, kScreenArea, 0, ""},
        {0xA1, "SHELLDLL_DefView", 0xA0, kScreenArea, 0, ""},
        {0xA2, "SysListView32", 0xA1, kScreenArea, kHScroll, ""}},
       -1,
       3,
       {}},
  });
}

TEST(HorizontalScroll, zeroStep_sendsNothingWhateverTheStrategy) {
  const std::vector<std::vector<WindowSpec>> trees = {
      ViewWithChildBar("_WwG"),
      ViewWithChildBar("EXCEL7"),
      {{0x41, "GeckoFrame", 0, kScreenArea, 0, ""},
       {0x40, "MozillaWindowClass", 0x41, kScreenArea, 0, ""}},
      {{0x50, "Notepad", 0, kScreenArea, kHScroll, ""}},
      {{0x80, "Pane", 0, kScreenArea, 0, ""}},
  };
  int row = 1;
  for (const auto& tree : trees) CheckRows({{row++, tree, 0, 3, {}}});
}

TEST(HorizontalScroll, repeatCount_zeroOrNegativeSendsNothing_aboveHundredStopsAtHundred) {
  CheckRows({
      {1, ViewWithChildBar("_WwG"), +1, 0, {}},
      {2, ViewWithChildBar("_WwG"), +1, -1, {}},
      {3, ViewWithChildBar("_WwG"), +1, INT32_MIN, {}},
      {4, ViewWithChildBar("_WwG"), +1, 100, HScrollTo(0x20, 0, 0x21, 100)},
      {5, ViewWithChildBar("_WwG"), +1, 101, HScrollTo(0x20, 0, 0x21, 100)},
      {6, ViewWithChildBar("_WwG"), -1, 1000, HScrollTo(0x20, 1, 0x21, 100)},
      {7, {{0x50, "Notepad", 0, kScreenArea, kHScroll, ""}}, +2, 150, HScrollTo(0x50, 0, 0, 200)},
  });
}

// A frame holding the view under the cursor (class _WwG, so that the message
// names the bar found) and the given siblings, in z-order.
std::vector<WindowSpec> Frame(std::vector<WindowSpec> above, std::vector<WindowSpec> below) {
  std::vector<WindowSpec> tree = {{0xC0, "Frame", 0, kScreenArea, 0, ""}};
  tree.insert(tree.end(), above.begin(), above.end());
  tree.push_back({0xC1, "_WwG", 0xC0, {0, 0, 780, 580}, 0, ""});
  tree.insert(tree.end(), below.begin(), below.end());
  return tree;
}

WindowSpec Bar(std::uintptr_t id, const char* barClass, platform::Rect rect,
               std::uintptr_t parent = 0xC0, std::uint32_t style = 0) {
  return {id, barClass, parent, rect, style, ""};
}
constexpr platform::Rect kBottom{0, 580, 780, 600};

TEST(HorizontalScroll, siblingWalks_forwardAndBackwardAcceptDifferentWindows) {
  const WindowSpec afx42 = {0xC3, "AfxWnd42", 0xC0, kBottom, 0, ""};
  const WindowSpec afx70 = {0xC3, "AfxWnd70", 0xC0, kBottom, 0, ""};
  const WindowSpec barInFrame = Bar(0xC4, "ScrollBar", kBottom, 0xC3);
  CheckRows({
      {1, Frame({}, {Bar(0xC2, "NUIScrollbar", kBottom)}), +1, 2, HScrollTo(0xC0, 0, 0xC2, 2)},
      {2, Frame({Bar(0xC2, "NUIScrollbar", kBottom)}, {}), +1, 2, Notch(120)},
      {3, Frame({Bar(0xC2, "ScrollBar", kBottom)}, {}), +1, 2, HScrollTo(0xC0, 0, 0xC2, 2)},
      {4, Frame({}, {Bar(0xC2, "ScrollBar", kBottom)}), -1, 2, HScrollTo(0xC0, 1, 0xC2, 2)},
      {5, Frame({}, {afx42, barInFrame}), +1, 2, Notch(120)},
      {6, Frame({afx42, barInFrame}, {}), +1, 2, HScrollTo(0xC3, 0, 0xC4, 2)},
      {7, Frame({afx70, barInFrame}, {}), +1, 2, HScrollTo(0xC3, 0, 0xC4, 2)},
      {8, Frame({}, {afx70, barInFrame}), +1, 2, Notch(120)},
      // Only the right edge is compared with the cursor (x 400).
      {9, Frame({}, {Bar(0xC2, "ScrollBar", {0, 580, 300, 600})}), +1, 1, Notch(120)},
      {10, Frame({}, {Bar(0xC2, "ScrollBar", {0, 580, 400, 600})}), +1, 1, Notch(120)},
      {11, Frame({}, {Bar(0xC2, "ScrollBar", {0, 580, 401, 600})}), +1, 1,
       HScrollTo(0xC0, 0, 0xC2, 1)},
      {12, Frame({}, {Bar(0xC2, "ScrollBar", {500, 580, 780, 600})}), +1, 1,
       HScrollTo(0xC0, 0, 0xC2, 1)},
      // A vertical bar beside the cursor (y 300) makes it a vertical-only place.
      {13, Frame({}, {Bar(0xC2, "ScrollBar", {780, 0, 800, 580})}), +1, 1, {}},
      {14, Frame({}, {Bar(0xC2, "ScrollBar", {780, 300, 800, 580})}), +1, 1, Notch(120)},
      {15, Frame({}, {Bar(0xC2, "ScrollBar", {780, 0, 800, 300})}), +1, 1, Notch(120)},
      // A scroll bar under the cursor ends the search with itself: a vertical bar there
      // makes a vertical-only place even with a horizontal bar beside it.
      {16,
       {{0xC0, "Frame", 0, kScreenArea, 0, ""},
        Bar(0xC7, "ScrollBar", {390, 0, 410, 580}),
        Bar(0xC2, "ScrollBar", kBottom)},
       +1,
       1,
       {}},
      // The first sibling that qualifies wins.
      {17, Frame({}, {Bar(0xC2, "ScrollBar", kBottom), Bar(0xC5, "ScrollBar", kBottom)}), +1, 1,
       HScrollTo(0xC0, 0, 0xC2, 1)},
  });
}

TEST(HorizontalScroll, scrollBarContainer_firstChildDecidesByItsStyle) {
  const auto container = [](std::uint32_t childStyle, const char* childClass = "ScrollBar") {
    // The bar's position does not matter: it lies left of the cursor here.
    return std::vector<WindowSpec>{{0xC5, "AVL_AVScrollBar", 0xC0, kBottom, 0, ""},
                                   Bar(0xC6, childClass, {0, 580, 100, 600}, 0xC5, childStyle)};
  };
  CheckRows({
      {1, Frame({}, container(0)), +1, 1, HScrollTo(0xC5, 0, 0xC6, 1)},
      {2, Frame(container(0), {}), -1, 1, HScrollTo(0xC5, 1, 0xC6, 1)},
      {3, Frame({}, container(platform::kSbsVert)), +1, 1, {}},
      {4, Frame({}, container(platform::kSbsSizeBox)), +1, 1, Notch(120)},
      {5, Frame({}, container(0, "Static")), +1, 1, Notch(120)},
  });
}

// The view under the cursor whose scroll bar sits in another window beside it.
std::vector<WindowSpec> SplitView(const char* viewClass, platform::Rect bar,
                                  const char* barClass = "ScrollBar") {
  return {{0xD0, "Frame", 0, kScreenArea, 0, ""},
          {0xD1, viewClass, 0xD0, {100, 0, 700, 500}, 0, ""},
          {0xD2, "Holder", 0xD0, {0, 500, 800, 600}, 0, ""},
          {0xD3, barClass, 0xD2, bar, 0, ""}};
}

TEST(HorizontalScroll, enumerationFallback_barWithin25PixelsOfTheViewsExtent) {
  CheckRows({
      {1, SplitView("paneClassDC", {80, 500, 720, 520}), +1, 2, HScrollTo(0xD2, 0, 0xD3, 2)},
      {2, SplitView("VISIOG", {80, 500, 720, 520}), -1, 2, HScrollTo(0xD2, 1, 0xD3, 2)},
      {3, SplitView("paneClassDC", {75, 500, 725, 520}), +1, 1, HScrollTo(0xD2, 0, 0xD3, 1)},
      {4, SplitView("paneClassDC", {74, 500, 720, 520}), +1, 1, Notch(120)},
      {5, SplitView("paneClassDC", {80, 500, 726, 520}), +1, 1, Notch(120)},
      {6, SplitView("paneClassDC", {80, 2000, 720, 2020}), +1, 1, HScrollTo(0xD2, 0, 0xD3, 1)},
      {7, SplitView("paneClassDC", {80, 500, 720, 520}, "NUIScrollbar"), +1, 1,
       HScrollTo(0xD2, 0, 0xD3, 1)},
      // Still has to be a bar the cursor is left of.
      {8, SplitView("paneClassDC", {80, 500, 390, 520}), +1, 1, Notch(120)},
      // Other views get no fallback.
      {9, SplitView("_WwG", {80, 500, 720, 520}), +1, 1, Notch(120)},
      {10, SplitView("paneClassDC", {80, 500, 720, 520}, "Static"), +1, 1, Notch(120)},
  });
}

}  // namespace
}  // namespace hidhost::actions::testing

namespace hidhost::actions::testing {
namespace {

TEST(HasProgmanAncestor, testsTheParentChainButNotTheWindowItself) {
  sim::SimDesktop desktop;
  sim::SimProcess& process = desktop.StartProcess();
  desktop.AddWindow({0xA0, "Progman", 0, {0, 0, 800, 600}, 0, ""});
  desktop.AddWindow({0xA1, "SHELLDLL_DefView", 0xA0, {0, 0, 800, 600}, 0, ""});
  desktop.AddWindow({0xA2, "SysListView32", 0xA1, {0, 0, 800, 600}, 0, ""});
  desktop.AddWindow({0xB0, "CabinetWClass", 0, {0, 0, 800, 600}, 0, ""});
  desktop.AddWindow({0xB1, "SysListView32", 0xB0, {0, 0, 800, 600}, 0, ""});
  platform::Windows& windows = process.Platform().windows;
  const struct {
    int row;
    std::uintptr_t hwnd;
    bool expected;
  } rows[] = {{1, 0xA2, true},  {2, 0xA1, true}, {3, 0xA0, false},
              {4, 0xB1, false}, {5, 0, false},   {6, 0xDEAD, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    EXPECT_EQ(HasProgmanAncestor(windows, static_cast<platform::Hwnd>(row.hwnd)), row.expected);
  }
}

}  // namespace
}  // namespace hidhost::actions::testing
