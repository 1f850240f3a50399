#include "OptionWindow.h"

#include <cstdio>

#include "Win32Ui.h"
#include "WindowState.h"
#include "contracts/ConfigurationProtocol.h"
#include "resource.h"
#include "settings/ConfigFile.h"

namespace hidhost::option {

namespace {

// One window per user session; a second start finds it by its title.
constexpr const char* kInstanceMutex = "Local\\HidHost-Option-Window";
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 1000;
constexpr DWORD kFindFirstCopyMs = 3000;

struct PageTemplate {
  int templateId;
  DLGPROC proc;
  const wchar_t* title;
};
constexpr PageTemplate kPages[kPageCount] = {
    {IDD_BUTTONS, ButtonsPageProc, L"Buttons"},
    {IDD_POINTER, ValuesPageProc, L"Pointer"},
    {IDD_DEVICE, ValuesPageProc, L"Device"},
    {IDD_PROFILES, ProfilesPageProc, L"Profiles"},
};

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

 private:
  HANDLE handle_;
};

std::string HostDirectory(platform::ProfileFiles& files) {
  return settings::ModuleDirectory(files);
}

// The system's own settings, for a window opened without the host (which
// would otherwise hand them over in its block).
void FillFromSystem(settings::MouseSettings& record) {
  record.SwapMouseButtons = GetSystemMetrics(SM_SWAPBUTTON) != 0 ? 1 : 0;
  record.DoubleClickSpeed = static_cast<std::int32_t>(GetDoubleClickTime());
  UINT lines = 3;
  if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) {
    record.WheelPageScroll = lines == WHEEL_PAGESCROLL ? 1 : 0;
    record.WheelScrollLines = lines == WHEEL_PAGESCROLL ? 0 : static_cast<std::int32_t>(lines);
  }
  int speed = 0;
  if (SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0) && speed > 0) {
    record.MouseSensitivity = speed;
  }
  int mouse[3] = {};
  if (SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0) && mouse[2] == 0) {
    record.SpeedPreset = 0;
    record.Acceleration = 0;
  }
}

int CurrentPage(HWND main) {
  return static_cast<int>(SendDlgItemMessageW(main, IDC_TABS, TCM_GETCURSEL, 0, 0));
}

void ShowPage(WindowState& state, int page) {
  for (int i = 0; i < kPageCount; ++i) {
    ShowWindow(state.pages[static_cast<std::size_t>(i)], i == page ? SW_SHOW : SW_HIDE);
  }
}

void SelectPage(WindowState& state, int page) {
  SendDlgItemMessageW(state.main, IDC_TABS, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  ShowPage(state, page);
}

// The pages fill the tab control's display area and come right after it in
// the Tab order.
void CreatePages(WindowState& state) {
  const HWND tabs = GetDlgItem(state.main, IDC_TABS);
  for (int i = 0; i < kPageCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kPages[i].title);
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  RECT area;
  GetWindowRect(tabs, &area);
  MapWindowPoints(nullptr, state.main, reinterpret_cast<POINT*>(&area), 2);
  SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  HWND after = tabs;
  for (int i = 0; i < kPageCount; ++i) {
    const HWND page =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kPages[i].templateId),
                           state.main, kPages[i].proc, reinterpret_cast<LPARAM>(&state));
    state.pages[static_cast<std::size_t>(i)] = page;
    SetWindowPos(page, after, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE);
    after = page;
  }
  SelectPage(state, state.firstPage);
}

bool ReadDeviceKey(WindowState& state) {
  return state.files->GetPrivateProfileInt("Setting", "Device", 0, state.config.Path()) == 1;
}

// The host started after the window: what it holds is in force now.
void PickUpHost(WindowState& state) {
  if (state.link.Connected() || !state.link.Connect()) return;
  settings::MouseSettings record{};
  if (!state.link.ReadBlock(record)) {
    state.link.Disconnect();
    return;
  }
  state.editor.Reopen(record);
  state.hostBusy = false;
  state.lastResult = L"HidHost started: showing the settings it holds.";
  RefreshAll(state);
}

void Poll(WindowState& state) {
  if (state.link.Connected() && state.link.HostWindowGone()) {
    state.link.Disconnect();
    state.lastResult = L"HidHost has ended.";
    RefreshAll(state);
  }
  PickUpHost(state);
  state.mouseConnected = state.link.Connected() && ReadDeviceKey(state);
  UpdateStatus(state);
}

void StartHost(WindowState& state) {
  const std::wstring host = Widen(HostDirectory(*state.files)) + L"HidHost.exe";
  const auto started = reinterpret_cast<INT_PTR>(
      ShellExecuteW(state.main, L"open", host.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  state.lastResult = started > 32 ? L"Starting HidHost..." : L"HidHost.exe could not be started.";
  UpdateStatus(state);
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in every tabbed dialog.
bool TurnPage(WindowState& state, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) {
    return false;
  }
  if (state.capture.row >= 0) return false;
  const int current = CurrentPage(state.main);
  const int step = GetKeyState(VK_SHIFT) < 0 ? kPageCount - 1 : 1;
  SelectPage(state, (current + step) % kPageCount);
  return true;
}

INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(window);
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<WindowState*>(lParam);
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      state->main = window;
      SetWindowTextA(window, contracts::kConfigurationWindowTitle);
      const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_OPTION));
      SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      CreatePages(*state);
      state->mouseConnected = state->link.Connected() && ReadDeviceKey(*state);
      RefreshAll(*state);
      SetTimer(window, kPollTimer, kPollMs, nullptr);
      return TRUE;
    }
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) {
        ShowPage(*state, CurrentPage(window));
      }
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
        case IDOK:
          DestroyWindow(window);
          return TRUE;
        case IDC_UNDO_ALL:
          ApplyEdit(*state, state->editor.UndoAll());
          return TRUE;
        case IDC_START_HOST:
          StartHost(*state);
          return TRUE;
      }
      return FALSE;
    case WM_TIMER:
      if (wParam == kPollTimer) Poll(*state);
      return TRUE;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_CLOSE:
      // Every change is in force already: nothing to ask.
      if (state != nullptr) state->log.Write("close", wParam, lParam);
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      KillTimer(window, kPollTimer);
      PostQuitMessage(0);
      return TRUE;
  }
  if (message == contracts::kDeviceReadyNotice && state != nullptr) {
    state->log.Write("notice 0x4E6", wParam, lParam);
    PickUpHost(*state);
    state->mouseConnected = true;
    UpdateStatus(*state);
    return TRUE;
  }
  return FALSE;
}

ULONGLONG Ticks(const FILETIME& time) {
  return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// From the process's creation (the system's loading of it included) to now.
double MillisecondsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  GetSystemTimePreciseAsFileTime(&now);
  return static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
}

// The processor time this process has used so far, its own threads' only:
// what its start costs apart from waiting on other processes (under Wine,
// its server and the X server).
double ProcessorMilliseconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
  return static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;
}

// A second copy: the first one's window comes forward, restored if it was
// minimised, and this copy ends.
int BringFirstCopyForward() {
  const ULONGLONG deadline = GetTickCount64() + kFindFirstCopyMs;
  for (;;) {
    const HWND first = FindWindowA(nullptr, contracts::kConfigurationWindowTitle);
    if (first != nullptr) {
      if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
      SetForegroundWindow(first);
      return 0;
    }
    if (GetTickCount64() >= deadline) return 0;
    Sleep(50);
  }
}

}  // namespace

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

void UpdateStatus(WindowState& state) {
  std::wstring text;
  if (state.hostBusy) {
    text = L"HidHost is busy: the last change was not applied.";
  } else if (state.link.Connected()) {
    text = L"HidHost is running; changes take effect at once.";
  } else {
    text = L"HidHost is not running: changes go to config.ini only.";
  }
  text += state.mouseConnected ? L" Mouse connected." : L" Mouse not connected.";
  if (!state.lastResult.empty()) text += L"\r\n" + state.lastResult;
  SetDlgItemTextW(state.main, IDC_STATUS, text.c_str());
  ShowWindow(GetDlgItem(state.main, IDC_START_HOST), state.link.Connected() ? SW_HIDE : SW_SHOW);
}

void RefreshAll(WindowState& state) {
  RefreshButtonsPage(state.pages[kButtonsPage], state);
  RefreshValuesPage(state.pages[kPointerPage], state);
  RefreshValuesPage(state.pages[kDevicePage], state);
  UpdateStatus(state);
}

void ApplyEdit(WindowState& state, const editor::Proposal& proposal) {
  if (!proposal.record) {
    MessageBoxW(state.main, Widen(proposal.refusal).c_str(), L"HidHost settings",
                MB_OK | MB_ICONWARNING);
    RefreshAll(state);
    return;
  }
  editor::HostLink* host = state.link.Connected() ? &state.link : nullptr;
  LARGE_INTEGER frequency, before;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&before);
  const editor::Applied applied = editor::ApplyProposal(state.editor, proposal, host, state.config);
  if (applied == editor::Applied::InForce) {
    // Until the host has handled the notice: from there on it acts on the change.
    char line[64];
    std::snprintf(line, sizeof line, "applied us=%lld",
                  (state.link.NoticeAnsweredAt() - before.QuadPart) * 1000000 / frequency.QuadPart);
    state.log.Write(line, *proposal.plan.notice);
  }
  state.hostBusy = applied == editor::Applied::HostBusy;
  switch (applied) {
    case editor::Applied::InForce:
      state.lastResult = L"Applied.";
      break;
    case editor::Applied::FileOnly:
      state.lastResult = L"Saved in config.ini; HidHost takes it when it starts.";
      break;
    case editor::Applied::HostSilent:
      state.lastResult = L"Written, but HidHost did not answer.";
      break;
    case editor::Applied::HostBusy:
    case editor::Applied::Refused:
    case editor::Applied::Unchanged:
      break;
  }
  RefreshAll(state);
}

int RunOptionWindow(const std::string& logPath, int firstPage) {
  const double entered = MillisecondsSinceProcessStart();
  const double processorAtEntry = ProcessorMilliseconds();
  const HANDLE instance = CreateMutexA(nullptr, FALSE, kInstanceMutex);
  if (instance != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(instance);
    return BringFirstCopyForward();
  }
  const Handle ownInstance(instance);
  NoticeLog log(logPath);

  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const HINSTANCE self = GetModuleHandleW(nullptr);
  if (!RegisterMousePicture(self) || !RegisterDoubleClickTest(self)) return 2;

  const auto files = platform::win32::MakeProfileFiles();
  const std::string configPath = settings::ConfigPathFor(HostDirectory(*files));
  Win32HostLink probe;
  settings::MouseSettings opened{};
  if (!probe.Connect() || !probe.ReadBlock(opened)) {
    editor::ConfigStore config(*files, configPath);
    opened = config.Load();
    FillFromSystem(opened);
  }
  WindowState state(opened, configPath, log);
  state.firstPage = firstPage >= 0 && firstPage < kPageCount ? firstPage : kButtonsPage;
  if (probe.Connected()) state.link.Connect();

  const HWND window = CreateDialogParamW(self, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainProc,
                                         reinterpret_cast<LPARAM>(&state));
  if (window == nullptr) return 2;
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  log.Write("started", GetCurrentProcessId());
  char shown[96];
  std::snprintf(shown, sizeof shown, "shown ms=%.1f entered ms=%.1f cpu ms=%.1f",
                MillisecondsSinceProcessStart(), entered,
                ProcessorMilliseconds() - processorAtEntry);
  log.Write(shown);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TurnPage(state, msg)) continue;
    if (IsWindow(window) && IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace hidhost::option
