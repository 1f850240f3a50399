// Value types that cross the platform seam. The logic never sees a Windows
// type: handles are small opaque numbers, results are explicit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace hidhost::platform {

// Opaque handles. 0 is "none" for all of them.
enum class Hwnd : std::uintptr_t { None = 0 };
enum class Handle : std::uintptr_t { None = 0 };  // mutex, semaphore, event, thread, mapping, file
enum class Module : std::uintptr_t { None = 0 };
enum class RegKey : std::uintptr_t { None = 0 };
enum class Menu : std::uintptr_t { None = 0 };
enum class ComObject : std::uintptr_t { None = 0 };

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

template <typename H>
constexpr bool IsSet(H handle) {
  return handle != H::None;
}

template <typename H>
constexpr std::uintptr_t ValueOf(H handle) {
  return static_cast<std::uintptr_t>(handle);
}

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend constexpr bool operator==(Point, Point) = default;
};

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// A window class name as GetClassNameA leaves it: at most 259 characters
// and a terminating zero, held without allocating.
struct ClassName {
  std::array<char, 260> text{};
  std::string_view View() const { return std::string_view(text.data()); }
  bool Is(std::string_view literal) const { return View() == literal; }
  void Assign(std::string_view value) {
    const std::size_t n = value.size() < text.size() - 1 ? value.size() : text.size() - 1;
    std::memcpy(text.data(), value.data(), n);
    text[n] = '\0';
  }
};

enum class WaitResult { Signalled, Abandoned, Timeout, Failed };

// A wait for any one of several objects: which one was taken (its position
// in the list), when one was.
struct WaitAnyResult {
  WaitResult result = WaitResult::Failed;
  std::size_t index = 0;
};

// Predefined registry roots, with the values Windows gives them.
inline constexpr RegKey kHkeyClassesRoot = static_cast<RegKey>(0x80000000u);
inline constexpr RegKey kHkeyCurrentUser = static_cast<RegKey>(0x80000001u);
inline constexpr RegKey kHkeyLocalMachine = static_cast<RegKey>(0x80000002u);
inline constexpr RegKey kHkeyCurrentConfig = static_cast<RegKey>(0x80000005u);

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

}  // namespace hidhost::platform
