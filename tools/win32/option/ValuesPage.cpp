// The Pointer and Device pages: each control bound to one field of the
// record by a table, with the field's range from the editor.
#include <cstdio>

#include "Win32Ui.h"
#include "WindowState.h"
#include "editor/EditableFields.h"
#include "resource.h"

namespace hidhost::option {

namespace {

enum class Kind { Slider, Check, Choice };

using Format = std::wstring (*)(std::int32_t value);

struct Binding {
  int id;
  int valueId;  // the text beside a slider; 0 for none
  std::string_view key;
  Kind kind;
  Format format;
};

std::wstring Plain(std::int32_t v) {
  return std::to_wstring(v);
}
std::wstring OfTwenty(std::int32_t v) {
  return std::to_wstring(v) + L" of 20";
}
std::wstring Acceleration(std::int32_t v) {
  return v == 0 ? L"Off" : L"Level " + std::to_wstring(v) + L" of 19";
}
std::wstring Milliseconds(std::int32_t v) {
  return std::to_wstring(v) + L" ms";
}
std::wstring Lines(std::int32_t v) {
  return std::to_wstring(v) + (v == 1 ? L" line per notch" : L" lines per notch");
}
std::wstring Steps(std::int32_t v) {
  return std::to_wstring(v) + (v == 1 ? L" step per tilt" : L" steps per tilt");
}
// OTGSpeed is the period in tens of milliseconds.
std::wstring ClicksPerSecond(std::int32_t v) {
  wchar_t text[48];
  std::swprintf(text, 48, L"%.1f clicks per second", 100.0 / v);
  return text;
}

// clang-format off
constexpr Binding kBindings[] = {
  {IDC_SPEED,    IDC_SPEED_VALUE,    "MouseSensitivity",  Kind::Slider, OfTwenty},
  {IDC_ACCEL,    IDC_ACCEL_VALUE,    "SpeedPreset",       Kind::Slider, Acceleration},
  {IDC_DBLCLICK, IDC_DBLCLICK_VALUE, "DoubleClickSpeed",  Kind::Slider, Milliseconds},
  {IDC_SWAP,     0,                  "SwapMouseButtons",  Kind::Check,  Plain},
  {IDC_WHEEL,    IDC_WHEEL_VALUE,    "WheelScrollLines",  Kind::Slider, Lines},
  {IDC_WHEEL_PAGE, 0,                "WheelPageScroll",   Kind::Check,  Plain},
  {IDC_HSCROLL,  IDC_HSCROLL_VALUE,  "HScrollWheelSpeed", Kind::Slider, Steps},
  {IDC_AUTOFIRE, IDC_AUTOFIRE_VALUE, "OTGSpeed",          Kind::Slider, ClicksPerSecond},
  {IDC_MAINSENS, IDC_MAINSENS_VALUE, "MainSens",          Kind::Slider, Plain},
  {IDC_XYSENS,   0,                  "XYSensFlag",        Kind::Check,  Plain},
  {IDC_XSENS,    IDC_XSENS_VALUE,    "XSens",             Kind::Slider, Plain},
  {IDC_YSENS,    IDC_YSENS_VALUE,    "YSens",             Kind::Slider, Plain},
  {IDC_OTF,      0,                  "OTFStatus",         Kind::Check,  Plain},
  {IDC_DPI0,     IDC_DPI0_VALUE,     "DpiValue0",         Kind::Slider, Plain},
  {IDC_DPI1,     IDC_DPI1_VALUE,     "DpiValue1",         Kind::Slider, Plain},
  {IDC_DPI2,     IDC_DPI2_VALUE,     "DpiValue2",         Kind::Slider, Plain},
  {IDC_POLLING,  0,                  "PRValue",           Kind::Choice, Plain},
  {IDC_LIGHT,    0,                  "LightSwitch",       Kind::Check,  Plain},
  {IDC_EFFECT,   0,                  "LightEffectType",   Kind::Choice, Plain},
};
// clang-format on

constexpr const wchar_t* kPollingRates[] = {L"125 Hz", L"250 Hz", L"500 Hz", L"1000 Hz"};
constexpr const wchar_t* kEffects[] = {L"Steady", L"Breathing", L"Colour cycle", L"Reactive",
                                       L"Wave",   L"Flashing",  L"Ripple",       L"Custom"};

const editor::EditableField& FieldOf(const Binding& binding) {
  return *editor::FindEditableField(binding.key);
}

const Binding* BindingFor(int id) {
  for (const Binding& binding : kBindings) {
    if (binding.id == id) return &binding;
  }
  return nullptr;
}

// Both pages share the table; each binds the controls it has.
bool OnPage(HWND page, const Binding& binding) {
  return GetDlgItem(page, binding.id) != nullptr;
}

void SetUp(HWND page, const Binding& binding) {
  const editor::EditableField& field = FieldOf(binding);
  const HWND control = GetDlgItem(page, binding.id);
  if (binding.kind == Kind::Slider) {
    SendMessageW(control, TBM_SETRANGEMIN, FALSE, field.minimum);
    SendMessageW(control, TBM_SETRANGEMAX, TRUE, field.maximum);
    const int span = field.maximum - field.minimum;
    SendMessageW(control, TBM_SETPAGESIZE, 0, span >= 50 ? span / 10 : 1);
    SendMessageW(control, TBM_SETTICFREQ, span > 20 ? span / 10 : 1, 0);
  } else if (binding.kind == Kind::Choice) {
    const bool polling = binding.id == IDC_POLLING;
    for (const wchar_t* name : polling ? std::span<const wchar_t* const>(kPollingRates)
                                       : std::span<const wchar_t* const>(kEffects)) {
      SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
  }
}

void Show(HWND page, const Binding& binding, const editor::ShownValue& shown, std::int32_t stored) {
  const HWND control = GetDlgItem(page, binding.id);
  const editor::EditableField& field = FieldOf(binding);
  switch (binding.kind) {
    case Kind::Slider:
      SendMessageW(control, TBM_SETPOS, TRUE, shown.value);
      break;
    case Kind::Check:
      SendMessageW(control, BM_SETCHECK, shown.value != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Kind::Choice:
      SendMessageW(control, CB_SETCURSEL, shown.value - field.minimum, 0);
      break;
  }
  if (binding.valueId != 0) {
    std::wstring text = binding.format(shown.value);
    // Shown inside the range; what is stored stays until the user changes it.
    if (shown.outOfRange) text += L" (stored: " + std::to_wstring(stored) + L")";
    SetDlgItemTextW(page, binding.valueId, text.c_str());
  }
}

std::int32_t ValueOf(HWND page, const Binding& binding) {
  const HWND control = GetDlgItem(page, binding.id);
  switch (binding.kind) {
    case Kind::Slider:
      return static_cast<std::int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0));
    case Kind::Check:
      return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case Kind::Choice:
      return static_cast<std::int32_t>(SendMessageW(control, CB_GETCURSEL, 0, 0)) +
             FieldOf(binding).minimum;
  }
  return 0;
}

void Change(WindowState& state, HWND page, const Binding& binding) {
  ApplyEdit(state, state.editor.SetField(FieldOf(binding), ValueOf(page, binding)));
}

void OnSlider(WindowState& state, HWND page, HWND slider, int code) {
  const Binding* binding = BindingFor(GetDlgCtrlID(slider));
  if (binding == nullptr) return;
  if (code == TB_THUMBTRACK) {
    // Dragging: the text follows; the change is made when the thumb is let go.
    const std::int32_t value = ValueOf(page, *binding);
    SetDlgItemTextW(page, binding->valueId, binding->format(value).c_str());
    return;
  }
  if (code == TB_ENDTRACK) return;  // follows every other code: already applied
  Change(state, page, *binding);
}

COLORREF ColourOf(const settings::MouseSettings& record) {
  return static_cast<COLORREF>(
      editor::Show(record, *editor::FindEditableField("MouseColor")).value);
}

void ChooseColour(HWND page, WindowState& state) {
  static_assert(sizeof(COLORREF) == 4);
  COLORREF custom[16] = {};
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = state.main;
  choose.rgbResult = ColourOf(state.editor.Current());
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&choose)) return;
  ApplyEdit(state, state.editor.SetField(*editor::FindEditableField("MouseColor"),
                                         static_cast<std::int32_t>(choose.rgbResult)));
  (void)page;
}

void DrawSwatch(const DRAWITEMSTRUCT& item, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(item.hDC, &item.rcItem, brush);
  DeleteObject(brush);
  FrameRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOWTEXT));
}

bool SystemField(const Binding& binding) {
  return FieldOf(binding).effect == editor::Effect::PushToSystem;
}

}  // namespace

void RefreshValuesPage(HWND page, WindowState& state) {
  const settings::MouseSettings& record = state.editor.Current();
  const bool hostRuns = state.link.Connected();
  for (const Binding& binding : kBindings) {
    if (!OnPage(page, binding)) continue;
    const editor::EditableField& field = FieldOf(binding);
    Show(page, binding, editor::Show(record, field), record.*field.member);
    // The system settings are the host's to apply; without it they only show.
    bool enabled = !SystemField(binding) || hostRuns;
    if (binding.id == IDC_WHEEL) enabled = enabled && record.WheelPageScroll != 1;
    EnableWindow(GetDlgItem(page, binding.id), enabled);
  }
  if (GetDlgItem(page, IDC_DBLCLICK_TEST) != nullptr) {
    const auto ms = editor::Show(record, *editor::FindEditableField("DoubleClickSpeed")).value;
    SendDlgItemMessageW(page, IDC_DBLCLICK_TEST, kDoubleClickTime, static_cast<WPARAM>(ms), 0);
    SetDlgItemTextW(page, IDC_POINTER_NOTE,
                    hostRuns ? L"Changes take effect at once. Auto-fire repeats the buttons held "
                               L"together with the auto-fire button."
                             : L"Start HidHost to change the pointer settings: the system's "
                               L"settings are HidHost's to apply.");
  }
  if (GetDlgItem(page, IDC_COLOUR_SWATCH) != nullptr) {
    InvalidateRect(GetDlgItem(page, IDC_COLOUR_SWATCH), nullptr, TRUE);
    const COLORREF colour = ColourOf(record);
    wchar_t text[32];
    std::swprintf(text, 32, L"#%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    SetDlgItemTextW(page, IDC_COLOUR_VALUE, text);
  }
}

INT_PTR CALLBACK ValuesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(page);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(page, DWLP_USER, lParam);
      EnableThemeDialogTexture(page, ETDT_ENABLETAB);
      for (const Binding& binding : kBindings) {
        if (OnPage(page, binding)) SetUp(page, binding);
      }
      return TRUE;
    case WM_HSCROLL:
      if (state != nullptr && lParam != 0) {
        OnSlider(*state, page, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
      }
      return TRUE;
    case WM_COMMAND: {
      if (state == nullptr) return FALSE;
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDC_COLOUR && code == BN_CLICKED) {
        ChooseColour(page, *state);
        return TRUE;
      }
      const Binding* binding = BindingFor(id);
      if (binding == nullptr) return FALSE;
      if ((binding->kind == Kind::Check && code == BN_CLICKED) ||
          (binding->kind == Kind::Choice && code == CBN_SELCHANGE)) {
        Change(*state, page, *binding);
      }
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (state != nullptr && item->CtlID == IDC_COLOUR_SWATCH) {
        DrawSwatch(*item, ColourOf(state->editor.Current()));
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

}  // namespace hidhost::option
