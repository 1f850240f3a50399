// wine-recorder: writes down every injected keyboard and mouse event that
// reaches the system, as low-level hooks see it, whatever window has focus.
//
//   wine-recorder.exe --out FILE [--qpc]
//
// --qpc ends every line with the performance counter when the hook saw the
// event, and writes "clock qpc-frequency=N" first.
// Lines (after the tick):
//   ready
//   key VK down|up flags=FF scan=SS extra=X
//   mouse NAME data=D flags=FF extra=X at=x,y
// Ends when the event HidHostWineRecorderStop is signalled.
#include <string>

#include "Support.h"

namespace hidhost::wine_tests {
namespace {

// A low-level hook procedure gets no context of its own: the one log it
// writes to is reached through this pointer, set once before the hooks go in.
LineLog* gRecord = nullptr;

struct MouseMessageName {
  WPARAM message;
  const char* name;
};
constexpr MouseMessageName kMouseNames[] = {
    {WM_MOUSEMOVE, "move"},    {WM_LBUTTONDOWN, "ldown"},  {WM_LBUTTONUP, "lup"},
    {WM_RBUTTONDOWN, "rdown"}, {WM_RBUTTONUP, "rup"},      {WM_MBUTTONDOWN, "mdown"},
    {WM_MBUTTONUP, "mup"},     {WM_XBUTTONDOWN, "xdown"},  {WM_XBUTTONUP, "xup"},
    {WM_MOUSEWHEEL, "wheel"},  {WM_MOUSEHWHEEL, "hwheel"},
};

std::string MouseName(WPARAM message) {
  for (const auto& entry : kMouseNames) {
    if (entry.message == message) return entry.name;
  }
  return Format("msg%04X", static_cast<unsigned>(message));
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
  if (code == HC_ACTION && gRecord != nullptr && (key->flags & LLKHF_INJECTED) != 0) {
    const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    gRecord->Write(Format("key %02lX %s flags=%02lX scan=%02lX extra=%llX", key->vkCode,
                          up ? "up" : "down", key->flags, key->scanCode,
                          static_cast<unsigned long long>(key->dwExtraInfo)));
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK MouseHook(int code, WPARAM message, LPARAM data) {
  const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
  if (code == HC_ACTION && gRecord != nullptr && (mouse->flags & LLMHF_INJECTED) != 0) {
    gRecord->Write(Format("mouse %s data=%d flags=%02lX extra=%llX at=%ld,%ld",
                          MouseName(message).c_str(), static_cast<short>(HIWORD(mouse->mouseData)),
                          mouse->flags, static_cast<unsigned long long>(mouse->dwExtraInfo),
                          mouse->pt.x, mouse->pt.y));
  }
  return CallNextHookEx(nullptr, code, message, data);
}

int Run(int argc, char** argv) {
  const bool stampCounter = HasFlag(argc, argv, "--qpc");
  LineLog record(OptionValue(argc, argv, "--out"), stampCounter);
  if (!record.IsOpen()) return 2;
  if (stampCounter) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    record.Write(Format("clock qpc-frequency=%lld", static_cast<long long>(frequency.QuadPart)));
  }
  gRecord = &record;
  const OwnedHandle stop(CreateEventA(nullptr, TRUE, FALSE, kRecorderStopEvent));
  const HINSTANCE self = GetModuleHandleA(nullptr);
  const OwnedHook keyboard(SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, self, 0));
  const OwnedHook mouse(SetWindowsHookExA(WH_MOUSE_LL, MouseHook, self, 0));
  if (!stop || !keyboard || !mouse) {
    record.Write(Format("error cannot install hooks: %lu", GetLastError()));
    return 1;
  }
  record.Write("ready");
  PumpUntil(stop.get());
  record.Write("stopped");
  gRecord = nullptr;
  return 0;
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  return hidhost::wine_tests::Run(argc, argv);
}
