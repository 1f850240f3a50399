// The smallest window tree that answers the queries of the scroll search:
// links held in a vector indexed by handle, so every query costs the same
// whatever the tree's size and the benchmark measures the search, not the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Types.h"

namespace hidhost::bench {

class NullWindowTree {
 public:
  static constexpr std::uintptr_t kDesktop = 0x10000;

  NullWindowTree() { Clear(); }

  // Forgets every window but the desktop.
  void Clear() {
    nodes_.assign(1, Node{});
    nodes_[0].className = "#32769";
    nodes_[0].rect = {0, 0, 1920, 1080};
  }

  // A new window below all its siblings (the last in z-order); gives its handle.
  platform::Hwnd Add(std::string_view className, platform::Hwnd parent, platform::Rect rect,
                     std::uint32_t style = 0) {
    const std::size_t self = nodes_.size();
    const std::size_t up = IndexOf(parent);
    Node node;
    node.className = className;
    node.rect = rect;
    node.style = style;
    node.parent = up;
    node.prev = nodes_[up].lastChild;
    nodes_.push_back(node);
    if (nodes_[up].lastChild != kNone) nodes_[nodes_[up].lastChild].next = self;
    if (nodes_[up].firstChild == kNone) nodes_[up].firstChild = self;
    nodes_[up].lastChild = self;
    return HandleOf(self);
  }

  platform::Hwnd Desktop() const { return static_cast<platform::Hwnd>(kDesktop); }
  std::size_t Size() const { return nodes_.size(); }

  bool Exists(platform::Hwnd hwnd) const {
    const auto value = platform::ValueOf(hwnd);
    return value >= kDesktop && value - kDesktop < nodes_.size();
  }

  // Deepest window holding the point, each level searched in z-order.
  platform::Hwnd WindowFromPoint(platform::Point p) const {
    std::size_t at = 0;
    for (std::size_t child = FirstHolding(at, p); child != kNone; child = FirstHolding(at, p)) {
      at = child;
    }
    return HandleOf(at);
  }

  // The client area is the window rectangle, as on the simulated desktop.
  platform::Hwnd ChildWindowFromPoint(platform::Hwnd parent, platform::Point client) const {
    if (!Exists(parent)) return platform::Hwnd::None;
    const Node& node = nodes_[IndexOf(parent)];
    const platform::Point screen{client.x + node.rect.left, client.y + node.rect.top};
    if (!Holds(node.rect, screen)) return platform::Hwnd::None;
    const std::size_t child = FirstHolding(IndexOf(parent), screen);
    return child == kNone ? parent : HandleOf(child);
  }

  bool ScreenToClient(platform::Hwnd hwnd, platform::Point& p) const {
    if (!Exists(hwnd)) return false;
    const platform::Rect& r = nodes_[IndexOf(hwnd)].rect;
    p = {p.x - r.left, p.y - r.top};
    return true;
  }

  std::string_view ClassOf(platform::Hwnd hwnd) const { return nodes_[IndexOf(hwnd)].className; }
  std::uint32_t StyleOf(platform::Hwnd hwnd) const { return nodes_[IndexOf(hwnd)].style; }
  const platform::Rect& RectOf(platform::Hwnd hwnd) const { return nodes_[IndexOf(hwnd)].rect; }

  platform::Hwnd Parent(platform::Hwnd hwnd) const {
    const std::size_t up = nodes_[IndexOf(hwnd)].parent;
    return up == 0 ? platform::Hwnd::None : HandleOf(up);  // top level: GetParent gives none
  }
  platform::Hwnd Next(platform::Hwnd hwnd) const { return HandleOf(nodes_[IndexOf(hwnd)].next); }
  platform::Hwnd Prev(platform::Hwnd hwnd) const { return HandleOf(nodes_[IndexOf(hwnd)].prev); }
  platform::Hwnd FirstChild(platform::Hwnd hwnd) const {
    return HandleOf(nodes_[IndexOf(hwnd)].firstChild);
  }

  // Every descendant, depth first, until the callback answers false.
  template <typename Visit>
  bool ForEachDescendant(platform::Hwnd parent, Visit visit) const {
    for (std::size_t c = nodes_[IndexOf(parent)].firstChild; c != kNone; c = nodes_[c].next) {
      if (!visit(HandleOf(c))) return false;
      if (!ForEachDescendant(HandleOf(c), visit)) return false;
    }
    return true;
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  struct Node {
    std::string_view className;  // literals that outlive the tree
    platform::Rect rect;
    std::uint32_t style = 0;
    std::size_t parent = kNone;
    std::size_t firstChild = kNone;
    std::size_t lastChild = kNone;
    std::size_t next = kNone;
    std::size_t prev = kNone;
  };

  static bool Holds(const platform::Rect& r, platform::Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
  }

  std::size_t FirstHolding(std::size_t parent, platform::Point p) const {
    for (std::size_t c = nodes_[parent].firstChild; c != kNone; c = nodes_[c].next) {
      if (Holds(nodes_[c].rect, p)) return c;
    }
    return kNone;
  }

  static std::size_t IndexOf(platform::Hwnd hwnd) {
    return hwnd == platform::Hwnd::None ? 0 : platform::ValueOf(hwnd) - kDesktop;
  }
  static platform::Hwnd HandleOf(std::size_t index) {
    return index == kNone ? platform::Hwnd::None : static_cast<platform::Hwnd>(kDesktop + index);
  }

  std::vector<Node> nodes_;
};

}  // namespace hidhost::bench
