// The search for a scroll target runs on the event thread at every tilt; in
// a window with many children it must stay linear in the windows it visits.
#include <gtest/gtest.h>

#include "ActionsWorld.h"
#include "actions/HorizontalScroll.h"
#include "platform/FacetBases.h"

namespace hidhost::actions::testing {
namespace {

// Forwards to the simulated desktop and counts the calls that visit a window.
class CountingWindows : public platform::ForwardingWindows {
 public:
  using ForwardingWindows::ForwardingWindows;
  int visits = 0;

  bool GetClassName(platform::Hwnd h, platform::ClassName& out) override {
    ++visits;
    return inner_.GetClassName(h, out);
  }
  platform::Hwnd GetParent(platform::Hwnd h) override {
    ++visits;
    return inner_.GetParent(h);
  }
  platform::Hwnd GetWindow(platform::Hwnd h, std::uint32_t r) override {
    ++visits;
    return inner_.GetWindow(h, r);
  }
  std::int32_t GetWindowLong(platform::Hwnd h, std::int32_t i) override {
    ++visits;
    return inner_.GetWindowLong(h, i);
  }
  bool GetWindowRect(platform::Hwnd h, platform::Rect& out) override {
    ++visits;
    return inner_.GetWindowRect(h, out);
  }
};

struct CostRow {
  int row;
  const char* viewClass;
  const char* siblingClass;
  bool siblingsAbove;
};

// Many sibling frames, each with a few children, none of them a scroll bar:
// every walk has to go all the way and find nothing.
TEST(ScrollSearchCost, manySiblingsWithChildren_visitsGrowLinearly) {
  const CostRow rows[] = {
      {1, "_WwG", "AfxWnd70", true},
      {2, "_WwG", "AfxWnd42", false},
      {3, "paneClassDC", "AfxWnd70", true},
      {4, "VISIOG", "Pane", false},
  };
  constexpr int kSiblings = 400;
  constexpr int kChildrenEach = 3;
  constexpr int kWindows = 2 + kSiblings * (1 + kChildrenEach);
  for (const CostRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    sim::SimDesktop desktop;
    sim::SimProcess& process = desktop.StartProcess();
    const platform::Rect area{0, 0, 800, 600};
    const platform::Rect elsewhere{0, 700, 800, 800};
    desktop.AddWindow({0x100, "Frame", 0, area, 0, ""});
    const auto addSiblings = [&] {
      for (int s = 0; s < kSiblings; ++s) {
        const std::uintptr_t id = 0x1000 + static_cast<std::uintptr_t>(s) * 0x10;
        desktop.AddWindow({id, row.siblingClass, 0x100, elsewhere, 0, ""});
        for (int c = 1; c <= kChildrenEach; ++c) {
          desktop.AddWindow({id + static_cast<std::uintptr_t>(c), "Static", id, elsewhere, 0, ""});
        }
      }
    };
    if (row.siblingsAbove) addSiblings();
    desktop.AddWindow({0x101, row.viewClass, 0x100, area, 0, ""});
    if (!row.siblingsAbove) addSiblings();
    desktop.SetCursor({400, 300});

    platform::Platform& real = process.Platform();
    CountingWindows counting(real.windows);
    platform::Platform platform{real.input,   counting,    real.timers, real.registry,
                                real.profile, real.kernel, real.shell,  real.driver};
    settings::LiveSettings settings{DefaultRecord()};
    desktop.TakeTrace();
    ScrollHorizontally(platform, settings, +1);

    EXPECT_EQ(desktop.TakeTrace(), Lines{MouseLine(0x8800, 0, 0, 120)});
    EXPECT_LT(counting.visits, 12 * kWindows);
  }
}

}  // namespace
}  // namespace hidhost::actions::testing
