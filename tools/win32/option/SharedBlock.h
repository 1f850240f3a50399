// The configuration program's side of the shared settings block: the host
// creates the mapping and its mutex; this side opens both by name and holds
// the mutex only while it copies a whole record.
#pragma once

#include <string>

#include "contracts/ConfigurationProtocol.h"
#include "platform/win32/Win32Resources.h"
#include "settings/MouseSettings.h"

namespace hidhost::option {

using platform::win32::MappedView;
using platform::win32::SystemHandle;

class SharedBlock {
 public:
  // Empty when the host's block or mutex does not exist; `why` says which.
  bool Open(std::string& why);
  bool Read(settings::MouseSettings& record, std::string& why) const;
  // Busy: the mutex stayed taken for the whole wait, and nothing was copied.
  enum class Copy { Done, Busy, Failed };
  Copy Write(const settings::MouseSettings& record, std::string& why) const;

 private:
  Copy Lock(std::string& why) const;

  SystemHandle mapping_;
  MappedView view_;
  SystemHandle mutex_;
};

}  // namespace hidhost::option
