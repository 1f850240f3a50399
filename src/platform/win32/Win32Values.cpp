#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

HKEY ToHkey(RegKey key) {
  struct Root {
    RegKey seam;
    HKEY system;
  };
  const Root roots[] = {
      {kHkeyClassesRoot, HKEY_CLASSES_ROOT},
      {kHkeyCurrentUser, HKEY_CURRENT_USER},
      {kHkeyLocalMachine, HKEY_LOCAL_MACHINE},
      {kHkeyCurrentConfig, HKEY_CURRENT_CONFIG},
  };
  for (const Root& root : roots) {
    if (root.seam == key) return root.system;
  }
  return ToSystem<HKEY>(key);
}

}  // namespace hidhost::platform::win32
