// The conformance cases on the Win32 backend and the system it wraps (or
// Wine). Windows of other programs are made in this process; the driver's
// side is the emulator's, served from a thread of this process.
#include "Win32Stage.h"

#include <aclapi.h>

#include <fstream>
#include <thread>

#include "platform/Constants.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::conformance {
namespace {

using platform::win32::FromHwnd;
using platform::win32::ToHandle;
using platform::win32::ToHwnd;

constexpr DWORD kPatienceMs = 5000;
constexpr const char* kScratchKey = "Software\\HidHostConformance";

void DeliverPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

std::string ModuleDirectory() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path);
  return directory.substr(0, directory.rfind('\\') + 1);
}

}  // namespace

#ifdef HIDHOST_EMULATED_DRIVER
bool DriverEmulator::Start() {
  if (started_) return true;
  if (!server_.Listen()) return false;
  std::thread(&driver_emu::PipeServer::AcceptForever, &server_).detach();
  started_ = true;
  return true;
}
#endif

Win32Stage::Win32Stage(DriverEmulator* emulator) : emulator_(emulator) {}

Win32Stage::~Win32Stage() {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
  for (HANDLE hold : holds_) {
    if (hold != INVALID_HANDLE_VALUE) CloseHandle(hold);
  }
  for (const std::string& file : files_) DeleteFileA(file.c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
}

platform::Hwnd Win32Stage::AddWindow(const ForeignWindow& window) {
  const std::string className(window.className);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className.c_str();
  RegisterClassA(&windowClass);  // a system class, or one made before, is there already
  const HWND parent = ToHwnd(window.parent);
  POINT origin{window.rect.left, window.rect.top};
  if (parent != nullptr) ScreenToClient(parent, &origin);
  const DWORD style = window.style | WS_VISIBLE | (parent != nullptr ? WS_CHILD : WS_POPUP);
  const HWND hwnd =
      CreateWindowExA(0, className.c_str(), std::string(window.title).c_str(), style, origin.x,
                      origin.y, window.rect.right - window.rect.left,
                      window.rect.bottom - window.rect.top, parent, nullptr, nullptr, nullptr);
  // Below the siblings made before it, as the cases list them.
  HWND& last = lastChild_[parent];
  if (last != nullptr)
    SetWindowPos(hwnd, last, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  last = hwnd;
  windows_.push_back(hwnd);
  return FromHwnd(hwnd);
}

std::optional<std::uint32_t> Win32Stage::ClassStyle(platform::Hwnd hwnd) {
  const HWND window = ToHwnd(hwnd);
  const bool resources = GetClassLongPtrA(window, GCLP_HCURSOR) != 0 ||
                         GetClassLongPtrA(window, GCLP_HBRBACKGROUND) != 0 ||
                         GetClassLongPtrA(window, GCLP_HICON) != 0;
  return resources ? 0xFFFFFFFFu : static_cast<std::uint32_t>(GetClassLongPtrA(window, GCL_STYLE));
}

bool Win32Stage::DeliverUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    DeliverPending();
    if (done()) return true;
    if (GetTickCount() - start > kPatienceMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool Win32Stage::AwaitTick(platform::Hwnd, std::uintptr_t, const std::function<bool()>& done) {
  return DeliverUntil(done);
}

void Win32Stage::LetOtherThreadsRun() {
  ::Sleep(200);
}

std::uint64_t Win32Stage::NowUs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<std::uint64_t>(now.QuadPart) * 1000000 /
         static_cast<std::uint64_t>(frequency.QuadPart);
}

std::string Win32Stage::WriteFile(std::string_view name, std::string_view text) {
  const std::string path = PathOf(name);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  files_.push_back(path);
  return path;
}

std::string Win32Stage::PathOf(std::string_view name) {
  char directory[MAX_PATH + 1] = {};
  GetTempPathA(sizeof directory, directory);
  const std::string path = std::string(directory) + "hidhost-conformance-" + std::string(name);
  files_.push_back(path);
  return path;
}

int Win32Stage::HoldFile(const std::string& path, std::uint32_t share) {
  holds_.push_back(
      CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
  return static_cast<int>(holds_.size() - 1);
}

void Win32Stage::ReleaseFile(int hold) {
  HANDLE& handle = holds_.at(static_cast<std::size_t>(hold));
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

std::string Win32Stage::ExecutableName() {
  return "hidhost-win32-checks.exe";
}

std::string Win32Stage::StringLibraryPath() {
  return ModuleDirectory() + "lan.dll";
}

void Win32Stage::PlantValue(std::string_view key, std::string_view name, std::uint32_t type,
                            std::span<const char> data) {
  HKEY opened = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, std::string(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &opened, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(opened, std::string(name).c_str(), 0, type,
                 reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
  RegCloseKey(opened);
}

std::optional<std::string> Win32Stage::ReadValue(std::string_view key, std::string_view name) {
  char value[256] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, std::string(key).c_str(), std::string(name).c_str(),
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(value);
}

std::string_view Win32Stage::ScratchKey() {
  return kScratchKey;
}

MouseSettings Win32Stage::ReadMouseSettings() {
  MouseSettings settings;
  SystemParametersInfoA(SPI_GETMOUSE, 0, settings.mouse, 0);
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  settings.wheelLines = lines;
  int speed = 0;
  SystemParametersInfoA(SPI_GETMOUSESPEED, 0, &speed, 0);
  settings.speed = speed;
  settings.doubleClickMs = GetDoubleClickTime();
  return settings;
}

void Win32Stage::RestoreMouseSettings(const MouseSettings& settings) {
  int mouse[3] = {settings.mouse[0], settings.mouse[1], settings.mouse[2]};
  SystemParametersInfoA(SPI_SETMOUSE, 0, mouse, 0);
  SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, settings.wheelLines, nullptr, 0);
  // Windows reads the speed from pvParam, Wine from uiParam.
  SystemParametersInfoA(SPI_SETMOUSESPEED, static_cast<UINT>(settings.speed),
                        reinterpret_cast<PVOID>(static_cast<INT_PTR>(settings.speed)), 0);
  SetDoubleClickTime(settings.doubleClickMs);
}

std::optional<bool> Win32Stage::OpenToEveryone(platform::Handle mapping) {
  DWORD flags = 0;
  GetHandleInformation(ToHandle(mapping), &flags);
  PACL dacl = reinterpret_cast<PACL>(1);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD status =
      GetSecurityInfo(ToHandle(mapping), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                      nullptr, &dacl, nullptr, &descriptor);
  if (descriptor != nullptr) LocalFree(descriptor);
  return (flags & HANDLE_FLAG_INHERIT) != 0 && status == ERROR_SUCCESS && dacl == nullptr;
}

bool Win32Stage::SetDriver(DriverMode mode) {
#ifdef HIDHOST_EMULATED_DRIVER
  if (mode == DriverMode::Absent) return !emulator_->Started();
  if (!emulator_->Start()) return false;
  emulator_->State().SetRefusing(mode == DriverMode::Refuses);
  return true;
#else
  return mode == DriverMode::Absent;  // no driver to stand in for
#endif
}

void Win32Stage::QueueDriverWord(std::uint32_t word) {
#ifdef HIDHOST_EMULATED_DRIVER
  emulator_->State().QueueWord(word);
#else
  (void)word;
#endif
}

std::optional<std::uint32_t> Win32Stage::LastDriverMask() {
#ifdef HIDHOST_EMULATED_DRIVER
  return emulator_->State().LastMask();
#else
  return std::nullopt;
#endif
}

}  // namespace hidhost::conformance
