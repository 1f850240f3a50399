#include "actions/WindowClasses.h"

namespace hidhost::actions {

platform::ClassName ClassOf(platform::Windows& windows, platform::Hwnd hwnd) {
  platform::ClassName name;
  if (!platform::IsSet(hwnd) || !windows.GetClassName(hwnd, name)) name.Assign("");
  return name;
}

bool HasProgmanAncestor(platform::Windows& windows, platform::Hwnd hwnd) {
  if (!platform::IsSet(hwnd)) return false;
  for (platform::Hwnd up = windows.GetParent(hwnd); platform::IsSet(up);
       up = windows.GetParent(up)) {
    if (ClassOf(windows, up).Is(window_class::kProgman)) return true;
  }
  return false;
}

}  // namespace hidhost::actions
