// What the window's pages share: the editor with the record in force, the
// way to the host and to config.ini, and what the status line says.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "NoticeLog.h"
#include "Win32HostLink.h"
#include "Win32Ui.h"
#include "editor/KeyCapture.h"
#include "editor/LiveApply.h"
#include "editor/SettingsEditor.h"
#include "platform/win32/Win32Facets.h"

namespace hidhost::option {

enum Page { kButtonsPage, kPointerPage, kDevicePage, kProfilesPage, kPageCount };

// The Set key button waiting for a key: a modifier pressed alone counts once
// it is let go, so that Ctrl+C can be pressed as the user means it.
struct KeyCapture {
  int row = -1;
  std::optional<editor::PressedKey> pendingModifier;
  // Taken on its key-down: the rest of that key press (its character, its
  // key-up) still belongs to the capture, not to the dialog's mnemonics.
  std::optional<std::uint32_t> takenKey;
};

struct WindowState {
  WindowState(const settings::MouseSettings& opened, std::string configPath, NoticeLog& noticeLog)
      : editor(opened), config(*files, std::move(configPath)), log(noticeLog) {}

  editor::SettingsEditor editor;
  Win32HostLink link;
  std::unique_ptr<platform::ProfileFiles> files = platform::win32::MakeProfileFiles();
  editor::ConfigStore config;
  NoticeLog& log;

  HWND main = nullptr;
  std::array<HWND, kPageCount> pages{};
  bool mouseConnected = false;
  bool hostBusy = false;
  std::wstring lastResult;
  KeyCapture capture;
  int hoverRow = -1;
  int firstPage = kButtonsPage;
};

// Takes the edit into force (or says why not) and shows the record that is.
void ApplyEdit(WindowState& state, const editor::Proposal& proposal);
void RefreshAll(WindowState& state);
void UpdateStatus(WindowState& state);

// Each page's dialog procedure and its refresh from the editor's record;
// the state comes with WM_INITDIALOG.
INT_PTR CALLBACK ButtonsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ValuesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void RefreshButtonsPage(HWND page, WindowState& state);
void RefreshValuesPage(HWND page, WindowState& state);

bool RegisterMousePicture(HINSTANCE instance);
bool RegisterDoubleClickTest(HINSTANCE instance);

// Messages between a page and its own controls.
constexpr UINT kPictureHover = WM_APP + 1;     // picture -> page: wParam row or -1
constexpr UINT kPictureClick = WM_APP + 2;     // picture -> page: wParam row
constexpr UINT kPictureMark = WM_APP + 3;      // page -> picture: wParam row or -1
constexpr UINT kDoubleClickTime = WM_APP + 4;  // page -> test area: wParam milliseconds

inline WindowState* StateOf(HWND dialog) {
  return reinterpret_cast<WindowState*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::wstring Widen(std::string_view text);

}  // namespace hidhost::option
