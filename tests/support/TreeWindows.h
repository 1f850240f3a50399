// The window queries of the seam answered from a plain-memory window tree,
// for the desktops that benchmarks and fuzz targets run the host on; every
// other call of the facet does nothing and succeeds.
#pragma once

#include <cstdint>

#include "platform/Constants.h"
#include "platform/FacetBases.h"
#include "support/NullWindowTree.h"

namespace hidhost::bench {

class TreeWindows : public platform::QuietWindows {
 public:
  NullWindowTree& Tree() { return tree_; }

  platform::Hwnd WindowFromPoint(platform::Point screen) override {
    return tree_.WindowFromPoint(screen);
  }
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) override {
    return tree_.ChildWindowFromPoint(parent, client);
  }
  platform::Hwnd GetDesktopWindow() override { return tree_.Desktop(); }
  bool GetClassName(platform::Hwnd hwnd, platform::ClassName& out) override {
    if (!tree_.Exists(hwnd)) return false;
    out.Assign(tree_.ClassOf(hwnd));
    return true;
  }
  platform::Hwnd GetParent(platform::Hwnd hwnd) override {
    return tree_.Exists(hwnd) ? tree_.Parent(hwnd) : platform::Hwnd::None;
  }
  platform::Hwnd GetWindow(platform::Hwnd hwnd, std::uint32_t relation) override {
    if (!tree_.Exists(hwnd)) return platform::Hwnd::None;
    switch (relation) {
      case platform::kGwHwndNext:
        return tree_.Next(hwnd);
      case platform::kGwHwndPrev:
        return tree_.Prev(hwnd);
      case platform::kGwChild:
        return tree_.FirstChild(hwnd);
      default:
        return platform::Hwnd::None;
    }
  }
  std::int32_t GetWindowLong(platform::Hwnd hwnd, std::int32_t index) override {
    if (index != platform::kGwlStyle || !tree_.Exists(hwnd)) return 0;
    return static_cast<std::int32_t>(tree_.StyleOf(hwnd));
  }
  bool GetWindowRect(platform::Hwnd hwnd, platform::Rect& out) override {
    if (!tree_.Exists(hwnd)) return false;
    out = tree_.RectOf(hwnd);
    return true;
  }
  bool ScreenToClient(platform::Hwnd hwnd, platform::Point& point) override {
    return tree_.ScreenToClient(hwnd, point);
  }
  bool EnumChildWindows(platform::Hwnd parent, EnumCallback callback, void* context) override {
    if (!tree_.Exists(parent)) return false;
    tree_.ForEachDescendant(parent, [&](platform::Hwnd child) { return callback(child, context); });
    return true;
  }

 protected:
  NullWindowTree tree_;
};

}  // namespace hidhost::bench
