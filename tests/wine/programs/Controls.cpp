// wine-controls: drives a dialog window's controls from outside, the way a
// user's action would reach them: each command sets the control by message
// and sends its parent the notification that the user's action sends.
//
//   wine-controls.exe TITLE "COMMAND|ARG..." ...
//
//   select|ID|DATA        combo box: the item whose item data is DATA; CBN_SELCHANGE
//   pick|ID|INDEX         combo box: the item at INDEX; CBN_SELCHANGE
//   click|ID              BM_CLICK (a button's, a check box's BN_CLICKED)
//   slide|ID|POS          trackbar: TBM_SETPOS, then WM_HSCROLL TB_THUMBPOSITION
//   key|ID|VK|SCAN|EXT    posts WM_KEYDOWN and WM_KEYUP with that key to the control
//   text|ID               prints "text ID=..." (the control's window text)
//   state|ID              prints "state ID enabled=E checked=C selected=DATA pos=P"
//   wait-text|ID|TEXT[|MS] until the control's text starts with TEXT
//
// IDs are control ids, found anywhere below the window (a page's too). The
// first failing command ends the run with exit code 1 and "FAIL ...".

#include <string>
#include <vector>

#include "Support.h"
// After windows.h, which Support.h brings.
// clang-format off
#include <commctrl.h>
// clang-format on

namespace hidhost::wine_tests {
namespace {

constexpr UINT kTimeoutMs = 5000;

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK FindId(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

std::string TextOf(HWND control) {
  char text[512] = {};
  Send(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void Notify(HWND control, WORD code) {
  Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
       reinterpret_cast<LPARAM>(control));
}

std::string Run(HWND window, const Words& w) {
  const auto number = [&](std::size_t i) {
    return i < w.size() ? ParseNumber(w[i]).value_or(-1) : -1;
  };
  if (w.size() < 2) return "missing arguments";
  Search search{static_cast<int>(number(1)), nullptr};
  EnumChildWindows(window, FindId, reinterpret_cast<LPARAM>(&search));
  const HWND control = search.found;
  if (control == nullptr) return "no control " + w[1];
  if (w[0] == "select" || w[0] == "pick") {
    LRESULT index = number(2);
    if (w[0] == "select") {
      const LRESULT count = Send(control, CB_GETCOUNT, 0, 0);
      for (index = 0; index < count; ++index) {
        if (Send(control, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == number(2)) break;
      }
      if (index == count) return "no item with data " + w[2];
    }
    Send(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(control, CBN_SELCHANGE);
  } else if (w[0] == "click") {
    Send(control, BM_CLICK, 0, 0);
  } else if (w[0] == "slide") {
    Send(control, TBM_SETPOS, TRUE, number(2));
    Send(GetParent(control), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(number(2))),
         reinterpret_cast<LPARAM>(control));
  } else if (w[0] == "key") {
    const LPARAM down = 1 | (number(3) << 16) | (number(4) != 0 ? 1 << 24 : 0);
    PostMessageA(control, WM_KEYDOWN, static_cast<WPARAM>(number(2)), down);
    PostMessageA(control, WM_KEYUP, static_cast<WPARAM>(number(2)), down | (1 << 30) | (1u << 31));
    Send(control, WM_NULL, 0, 0);  // both handled before this returns
  } else if (w[0] == "text") {
    std::printf("text %s=%s\n", w[1].c_str(), TextOf(control).c_str());
  } else if (w[0] == "wait-text") {
    const ULONGLONG until =
        GetTickCount64() + static_cast<ULONGLONG>(w.size() > 3 ? number(3) : 5000);
    while (TextOf(control).rfind(w.size() > 2 ? w[2] : "", 0) != 0) {
      if (GetTickCount64() >= until) return "text is \"" + TextOf(control) + "\"";
      Sleep(20);
    }
  } else if (w[0] == "state") {
    const LRESULT at = Send(control, CB_GETCURSEL, 0, 0);
    std::printf("state %s enabled=%d checked=%d selected=%lld pos=%lld\n", w[1].c_str(),
                IsWindowEnabled(control) ? 1 : 0,
                static_cast<int>(Send(control, BM_GETCHECK, 0, 0)),
                static_cast<long long>(Send(control, CB_GETITEMDATA, static_cast<WPARAM>(at), 0)),
                static_cast<long long>(Send(control, TBM_GETPOS, 0, 0)));
  } else {
    return "unknown command";
  }
  std::fflush(stdout);
  return {};
}

}  // namespace
}  // namespace hidhost::wine_tests

int main(int argc, char** argv) {
  using namespace hidhost::wine_tests;
  if (argc < 2) return 1;
  const HWND window = FindWindowA(nullptr, argv[1]);
  if (window == nullptr) {
    std::printf("FAIL no window titled \"%s\"\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string why = Run(window, Split(argv[i]));
    if (!why.empty()) {
      std::printf("FAIL %s: %s\n", argv[i], why.c_str());
      return 1;
    }
  }
  return 0;
}
