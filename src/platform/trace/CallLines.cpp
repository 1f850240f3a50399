#include "platform/trace/CallLines.h"

#include <algorithm>

#include "platform/Constants.h"
#include "platform/trace/TraceLine.h"

namespace hidhost::trace {

namespace {

constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kSeeMaskIdList = 0x4;

struct RootRow {
  platform::RegKey key;
  std::string_view name;
};

constexpr RootRow kRoots[] = {
    {platform::kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {platform::kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {platform::kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {static_cast<platform::RegKey>(0x80000003u), "HKEY_USERS"},
    {platform::kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

struct CsidlRow {
  std::int32_t csidl;
  const char* name;
};

constexpr CsidlRow kCsidlNames[] = {
    {0x0000, "CSIDL_DESKTOP"},   {0x0005, "CSIDL_PERSONAL"}, {0x0011, "CSIDL_DRIVES"},
    {0x0012, "CSIDL_NETWORK"},   {0x0014, "CSIDL_FONTS"},    {0x0003, "CSIDL_CONTROLS"},
    {0x000A, "CSIDL_BITBUCKET"}, {0x0004, "CSIDL_PRINTERS"},
};

std::string CsidlName(std::int32_t csidl) {
  for (const auto& row : kCsidlNames) {
    if (row.csidl == csidl) return row.name;
  }
  return Decimal(csidl);
}

std::string SpiArgumentText(const platform::SpiArgument& argument) {
  switch (argument.kind) {
    case platform::SpiArgument::Kind::Value:
      return Decimal(argument.values[0]);
    case platform::SpiArgument::Kind::Triple: {
      // Appended piece by piece: GCC 12 warns falsely on a chain of operator+ here.
      std::string text = "[";
      text += Decimal(argument.values[0]);
      text += ',';
      text += Decimal(argument.values[1]);
      text += ',';
      text += Decimal(argument.values[2]);
      text += ']';
      return text;
    }
    default:
      return "null";
  }
}

std::string RegistryDataText(std::uint32_t type, std::span<const char> data) {
  if (type == platform::kRegSz || type == kRegExpandSz) {
    const auto end = std::find(data.begin(), data.end(), '\0');
    return Quoted(std::string_view(data.data(), static_cast<std::size_t>(end - data.begin())));
  }
  return HexBytes(data.data(), data.size());
}

std::string MessageLine(std::string_view call, std::uintptr_t hwnd, std::uint32_t message,
                        platform::WParam wParam, platform::LParam lParam) {
  return TraceLine(call)
      .Field("hwnd", Hex(hwnd))
      .Field("msg", Hex(message))
      .Field("wParam", HexArgument(wParam))
      .Field("lParam", HexArgument(static_cast<std::uint64_t>(lParam)))
      .Take();
}

std::string HwndLine(std::string_view call, std::uintptr_t hwnd) {
  return TraceLine(call).Field("hwnd", Hex(hwnd)).Take();
}

std::string Unsigned(std::uint64_t value) {
  return Decimal(static_cast<std::int64_t>(value));
}

}  // namespace

std::string KeybdEventLine(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
  return TraceLine("keybd_event")
      .Field("vk", Hex(vk))
      .Field("scan", Hex(scan))
      .Field("flags", Hex(flags))
      .Take();
}

std::string MouseEventLine(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                           std::uintptr_t extra) {
  return TraceLine("mouse_event")
      .Field("flags", Hex(flags))
      .Field("dx", Decimal(dx))
      .Field("dy", Decimal(dy))
      .Field("data", Decimal(data))
      .Field("extra", Unsigned(extra))
      .Take();
}

std::string SetCursorPosLine(std::int32_t x, std::int32_t y) {
  return TraceLine("SetCursorPos").Field("x", Decimal(x)).Field("y", Decimal(y)).Take();
}

std::string SetDoubleClickTimeLine(std::uint32_t ms) {
  return TraceLine("SetDoubleClickTime").Field("ms", Decimal(static_cast<std::int32_t>(ms))).Take();
}

std::string SwapMouseButtonLine(bool swap) {
  return TraceLine("SwapMouseButton").Field("swap", swap ? "1" : "0").Take();
}

std::string SystemParametersInfoLine(std::uint32_t action, std::uint32_t uiParam,
                                     const platform::SpiArgument& pvParam, std::uint32_t winIni) {
  return TraceLine("SystemParametersInfoA")
      .Field("action", Decimal(action))
      .Field("uiParam", Hex(uiParam))
      .Field("pvParam", SpiArgumentText(pvParam))
      .Field("fWinIni", Hex(winIni))
      .Take();
}

std::string PostMessageLine(std::uintptr_t hwnd, std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) {
  return MessageLine("PostMessageA", hwnd, message, wParam, lParam);
}

std::string SendMessageLine(std::uintptr_t hwnd, std::uint32_t message, platform::WParam wParam,
                            platform::LParam lParam) {
  return MessageLine("SendMessageA", hwnd, message, wParam, lParam);
}

std::string ShowWindowLine(std::uintptr_t hwnd, std::int32_t command) {
  return TraceLine("ShowWindow").Field("hwnd", Hex(hwnd)).Field("cmd", Decimal(command)).Take();
}

std::string SetForegroundWindowLine(std::uintptr_t hwnd) {
  return HwndLine("SetForegroundWindow", hwnd);
}

std::string SetActiveWindowLine(std::uintptr_t hwnd) {
  return HwndLine("SetActiveWindow", hwnd);
}

std::string SetTimerLine(std::uintptr_t id, std::uint32_t periodMs) {
  return TraceLine("SetTimer")
      .Field("id", Unsigned(id))
      .Field("period", Decimal(static_cast<std::int32_t>(periodMs)))
      .Take();
}

std::string KillTimerLine(std::uintptr_t id) {
  return TraceLine("KillTimer").Field("id", Unsigned(id)).Take();
}

std::string SleepLine(std::uint32_t ms) {
  return TraceLine("Sleep").Field("ms", Decimal(static_cast<std::int32_t>(ms))).Take();
}

std::string TimeBeginPeriodLine(std::uint32_t ms) {
  return TraceLine("timeBeginPeriod").Field("ms", Decimal(static_cast<std::int32_t>(ms))).Take();
}

std::string TimeEndPeriodLine(std::uint32_t ms) {
  return TraceLine("timeEndPeriod").Field("ms", Decimal(static_cast<std::int32_t>(ms))).Take();
}

// The only class the host sets.
std::string SetProcessInformationLine(const platform::PowerThrottlingState& state) {
  return TraceLine("SetProcessInformation")
      .Field("class", "ProcessPowerThrottling")
      .Field("control", Hex(state.controlMask))
      .Field("state", Hex(state.stateMask))
      .Take();
}

std::string_view RegistryRootName(platform::RegKey root) {
  for (const auto& row : kRoots) {
    if (row.key == root) return row.name;
  }
  return {};
}

std::string RegCreateKeyLine(std::string_view path) {
  return TraceLine("RegCreateKeyA").Field("key", Quoted(path)).Take();
}

std::string RegSetValueLine(std::string_view path, std::string_view name, std::uint32_t type,
                            std::span<const char> data) {
  return TraceLine("RegSetValueExA")
      .Field("key", Quoted(path))
      .Field("name", Quoted(name))
      .Field("type", Decimal(type))
      .Field("data", RegistryDataText(type, data))
      .Take();
}

std::string WritePrivateProfileStringLine(std::string_view section, std::string_view key,
                                          std::string_view value, std::string_view file) {
  return TraceLine("WritePrivateProfileStringA")
      .Field("section", Quoted(section))
      .Field("key", Quoted(key))
      .Field("value", Quoted(value))
      .Field("file", Quoted(file))
      .Take();
}

std::string CreateMutexLine(std::string_view name, bool exists) {
  return TraceLine("CreateMutexA")
      .Field("name", Quoted(name))
      .Field("exists", exists ? "1" : "0")
      .Take();
}

std::string CreateMutexDeniedLine(std::string_view name) {
  return TraceLine("CreateMutexA").Field("name", Quoted(name)).Field("denied", "1").Take();
}

std::string CreateFileMappingLine(std::string_view name, std::uint32_t size) {
  return TraceLine("CreateFileMappingA")
      .Field("name", Quoted(name))
      .Field("size", Decimal(size))
      .Take();
}

std::string OpenDeviceLine(std::string_view name, std::uint32_t access, std::uint32_t share,
                           std::uint32_t disposition, bool ok) {
  return TraceLine("CreateFileA")
      .Field("name", Quoted(name))
      .Field("access", Hex(access))
      .Field("share", Hex(share))
      .Field("disposition", Decimal(disposition))
      .Field("ok", ok ? "1" : "0")
      .Take();
}

std::string DeviceIoControlLine(std::uint32_t code, std::string_view inBytes, std::uint32_t outSize,
                                bool ok) {
  return TraceLine("DeviceIoControl")
      .Field("code", Hex(code))
      .Field("in", inBytes)
      .Field("out", Decimal(outSize))
      .Field("ok", ok ? "1" : "0")
      .Take();
}

std::string CloseDeviceLine(std::string_view name) {
  return TraceLine("CloseHandle").Field("name", Quoted(name)).Take();
}

std::string NotifyIconLine(std::uint32_t message, const platform::NotifyIconData& data) {
  TraceLine line("Shell_NotifyIconA");
  line.Field("message", Decimal(message)).Field("id", Decimal(data.id));
  if (message != platform::kNimDelete) {
    line.Field("flags", Hex(data.flags))
        .Field("callback", Hex(data.callbackMessage))
        .Field("tip", Quoted(data.tip));
  }
  return line.Take();
}

std::string AppendMenuLine(std::uint32_t flags, std::uintptr_t id, const char* text) {
  TraceLine line("AppendMenuA");
  line.Field("flags", Hex(flags)).Field("id", Unsigned(id));
  if (text != nullptr) line.Field("text", Quoted(text));
  return line.Take();
}

std::string SetMenuDefaultItemLine(std::uint32_t item) {
  return TraceLine("SetMenuDefaultItem").Field("id", Decimal(item)).Take();
}

std::string TrackPopupMenuLine(std::int32_t x, std::int32_t y, std::uint32_t chosen) {
  return TraceLine("TrackPopupMenu")
      .Field("x", Decimal(x))
      .Field("y", Decimal(y))
      .Field("chosen", Decimal(chosen))
      .Take();
}

std::string ShellExecuteLine(std::string_view verb, std::string_view file, std::int32_t show) {
  return TraceLine("ShellExecuteA")
      .Field("verb", Quoted(verb))
      .Field("file", Quoted(file))
      .Field("show", Decimal(show))
      .Take();
}

std::string OpenSpecialFolderLine(std::int32_t csidl, bool located, std::int32_t show) {
  return TraceLine("ShellExecuteExA")
      .Field("mask", Hex(kSeeMaskIdList))
      .Field("idlist", located ? CsidlName(csidl) : "null")
      .Field("show", Decimal(show))
      .Take();
}

std::string ExitLine(std::int32_t code) {
  return TraceLine("exit").Field("code", Decimal(code)).Take();
}

}  // namespace hidhost::trace
