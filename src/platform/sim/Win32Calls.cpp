#include "platform/sim/Win32Calls.h"

#include <array>

namespace hidhost::sim {

namespace {

constexpr std::array<CallInfo, static_cast<std::size_t>(Call::kCount)> kCalls{{
#define HIDHOST_SIM_CALL_ROW(name, win32Name, facetMethod) {Call::name, win32Name, facetMethod},
    HIDHOST_SIM_CALLS(HIDHOST_SIM_CALL_ROW)
#undef HIDHOST_SIM_CALL_ROW
}};

}  // namespace

std::span<const CallInfo> EveryCall() {
  return kCalls;
}

const CallInfo& InfoOf(Call call) {
  return kCalls[static_cast<std::size_t>(call)];
}

std::string_view Win32NameOf(Call call) {
  return InfoOf(call).win32Name;
}

std::optional<Call> CallNamed(std::string_view win32Name) {
  for (const auto& row : kCalls) {
    if (row.win32Name == win32Name) return row.call;
  }
  return std::nullopt;
}

}  // namespace hidhost::sim
