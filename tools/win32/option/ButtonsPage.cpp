// The Buttons page: a row per button with its action, and for a key
// combination the modifier and the key, captured from the keyboard.
#include "Win32Ui.h"
#include "WindowState.h"
#include "editor/ActionNames.h"
#include "resource.h"

namespace hidhost::option {

namespace {

constexpr int kRows = settings::kButtonCount;
// Item data of a group's heading in the action lists: not a code.
constexpr LRESULT kHeading = 0x100;
constexpr const wchar_t* kModifierNames[] = {L"None", L"Ctrl", L"Shift", L"Alt"};

constexpr UINT_PTR kCaptureSubclass = 1;
constexpr UINT kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;

// Keys a keyboard marks as extended, so that their names are the keys' own
// rather than the keypad's.
bool NamedAsExtended(UINT vk) {
  switch (vk) {
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_RCONTROL:
    case VK_RMENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS:
      return true;
    default:
      return false;
  }
}

std::wstring KeyName(std::uint8_t usage) {
  if (usage == 0) return L"(none)";
  const std::optional<editor::PressedKey> key = editor::KeyOfUsage(usage);
  if (!key) return L"(none)";
  UINT scan = key->scanCode != 0 ? key->scanCode : MapVirtualKeyW(key->virtualKey, MAPVK_VK_TO_VSC);
  const bool extended = key->extended || NamedAsExtended(key->virtualKey);
  wchar_t name[64] = {};
  const LONG lParam = static_cast<LONG>((scan << 16) | (extended ? 1u << 24 : 0u));
  if (scan != 0 && GetKeyNameTextW(lParam, name, 64) > 0) return name;
  return L"Key " + std::to_wstring(usage);
}

int RowOf(int id, int base) {
  return id >= base && id < base + kRows ? id - base : -1;
}

void FillActionList(HWND combo) {
  std::optional<editor::ActionGroup> group;
  for (const editor::ActionChoice& choice : editor::ActionChoices()) {
    if (choice.code != editor::kNoAction && group != choice.group) {
      group = choice.group;
      const std::wstring heading = L"\x2014 " + Widen(editor::GroupName(choice.group)) + L" \x2014";
      const auto at =
          SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(heading.c_str()));
      SendMessageW(combo, CB_SETITEMDATA, at, kHeading);
    }
    const std::wstring name =
        (choice.code == editor::kNoAction ? L"" : L"    ") + Widen(choice.name);
    const auto at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, at, choice.code);
  }
}

void SelectCode(HWND combo, std::uint8_t code) {
  const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(combo, CB_GETITEMDATA, i, 0) == code) {
      SendMessageW(combo, CB_SETCURSEL, i, 0);
      return;
    }
  }
}

void EndCapture(HWND page, WindowState& state) {
  if (state.capture.row < 0) return;
  state.capture = {};
  RefreshButtonsPage(page, state);
}

void TakeKey(HWND page, WindowState& state, const editor::PressedKey& key, int heldModifier) {
  const int row = state.capture.row;
  state.capture.pendingModifier.reset();
  state.capture.takenKey = key.virtualKey;
  const std::optional<std::uint8_t> usage = editor::UsageFromKey(key);
  if (!usage) {
    state.capture = {};
    RefreshButtonsPage(page, state);
    MessageBoxW(state.main, L"HidHost cannot send this key. Choose another key.",
                L"HidHost settings", MB_OK | MB_ICONINFORMATION);
    return;
  }
  ApplyEdit(state, state.editor.SetKey(row, *usage));
  if (heldModifier != 0) {
    ApplyEdit(state, state.editor.SetModifier(row, static_cast<std::uint8_t>(heldModifier)));
  }
}

editor::PressedKey KeyFromMessage(WPARAM wParam, LPARAM lParam) {
  return {static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>((lParam >> 16) & 0xFF),
          ((lParam >> 24) & 1) != 0};
}

int HeldModifier() {
  if (GetKeyState(VK_CONTROL) < 0) return 1;
  if (GetKeyState(VK_SHIFT) < 0) return 2;
  if (GetKeyState(VK_MENU) < 0) return 3;
  return 0;
}

// The Set key button, while it waits, takes every key, Tab and Escape too.
LRESULT CALLBACK CaptureProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR pageData) {
  const HWND page = reinterpret_cast<HWND>(pageData);
  WindowState* state = StateOf(page);
  const int row = RowOf(GetDlgCtrlID(button), IDC_ROW_SET_KEY);
  const bool waiting = state != nullptr && state->capture.row == row;
  switch (message) {
    case WM_GETDLGCODE:
      if (waiting) return DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!waiting) break;
      if (state->capture.takenKey) return 0;  // its auto-repeat
      if (wParam == kVkShift || wParam == kVkControl || wParam == kVkMenu) {
        state->capture.pendingModifier = KeyFromMessage(wParam, lParam);
      } else {
        TakeKey(page, *state, KeyFromMessage(wParam, lParam), HeldModifier());
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (!waiting) break;
      if (state->capture.takenKey) {
        if (*state->capture.takenKey == wParam) EndCapture(page, *state);
      } else if (state->capture.pendingModifier &&
                 state->capture.pendingModifier->virtualKey == wParam) {
        TakeKey(page, *state, *state->capture.pendingModifier, 0);
        EndCapture(page, *state);
      }
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (waiting) return 0;
      break;
    case WM_KILLFOCUS:
      if (waiting) EndCapture(page, *state);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(button, CaptureProc, kCaptureSubclass);
      break;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}

void StartCapture(HWND page, WindowState& state, int row) {
  state.capture = {};
  state.capture.row = row;
  SetDlgItemTextW(page, IDC_ROW_KEY + row, L"Press a key...");
  SetFocus(GetDlgItem(page, IDC_ROW_SET_KEY + row));
}

void OnActionChosen(HWND page, WindowState& state, int row) {
  const HWND combo = GetDlgItem(page, IDC_ROW_ACTION + row);
  const auto at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  const auto data = SendMessageW(combo, CB_GETITEMDATA, at, 0);
  if (at == CB_ERR || data == kHeading) {
    RefreshButtonsPage(page, state);
    return;
  }
  ApplyEdit(state, state.editor.SetAction(row, static_cast<std::uint8_t>(data)));
}

void OnCommand(HWND page, WindowState& state, int id, int code) {
  if (int row = RowOf(id, IDC_ROW_ACTION); row >= 0) {
    if (code == CBN_SELCHANGE) OnActionChosen(page, state, row);
    if (code == CBN_SETFOCUS) SendDlgItemMessageW(page, IDC_MOUSE_PICTURE, kPictureMark, row, 0);
    return;
  }
  if (int row = RowOf(id, IDC_ROW_MODIFIER); row >= 0 && code == CBN_SELCHANGE) {
    const auto at = SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
    ApplyEdit(state, state.editor.SetModifier(row, static_cast<std::uint8_t>(at)));
    return;
  }
  if (int row = RowOf(id, IDC_ROW_SET_KEY); row >= 0 && code == BN_CLICKED) {
    StartCapture(page, state, row);
  }
}

void SetHover(HWND page, WindowState& state, int row) {
  const int before = state.hoverRow;
  state.hoverRow = row;
  for (int r : {before, row}) {
    if (r >= 0) InvalidateRect(GetDlgItem(page, IDC_ROW_LABEL + r), nullptr, TRUE);
  }
}

}  // namespace

void RefreshButtonsPage(HWND page, WindowState& state) {
  const settings::MouseSettings& record = state.editor.Current();
  for (int row = 0; row < kRows; ++row) {
    const editor::ShownAssignment shown = editor::Show(record, row);
    SelectCode(GetDlgItem(page, IDC_ROW_ACTION + row), shown.assignment.actionCode);
    const bool combination = shown.assignment.actionCode == editor::kKeyCombinationAction;
    SendDlgItemMessageW(page, IDC_ROW_MODIFIER + row, CB_SETCURSEL, shown.assignment.modifier, 0);
    if (state.capture.row != row || state.capture.takenKey) {
      SetDlgItemTextW(page, IDC_ROW_KEY + row, KeyName(shown.assignment.keyUsage).c_str());
    }
    for (int base : {IDC_ROW_MODIFIER, IDC_ROW_KEY, IDC_ROW_SET_KEY}) {
      EnableWindow(GetDlgItem(page, base + row), combination);
    }
  }
}

INT_PTR CALLBACK ButtonsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(page);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(page, DWLP_USER, lParam);
      EnableThemeDialogTexture(page, ETDT_ENABLETAB);
      for (int row = 0; row < kRows; ++row) {
        FillActionList(GetDlgItem(page, IDC_ROW_ACTION + row));
        for (const wchar_t* name : kModifierNames) {
          SendDlgItemMessageW(page, IDC_ROW_MODIFIER + row, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(name));
        }
        SetWindowSubclass(GetDlgItem(page, IDC_ROW_SET_KEY + row), CaptureProc, kCaptureSubclass,
                          reinterpret_cast<DWORD_PTR>(page));
      }
      return TRUE;
    case WM_COMMAND:
      if (state != nullptr) OnCommand(page, *state, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case kPictureHover:
      if (state != nullptr) SetHover(page, *state, static_cast<int>(wParam));
      return TRUE;
    case kPictureClick:
      SetFocus(GetDlgItem(page, IDC_ROW_ACTION + static_cast<int>(wParam)));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (state != nullptr && state->hoverRow >= 0 && id == IDC_ROW_LABEL + state->hoverRow) {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_HIGHLIGHT));
      }
      return FALSE;
    }
  }
  return FALSE;
}

}  // namespace hidhost::option
