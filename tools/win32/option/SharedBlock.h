// The configuration program's side of the shared settings block: the host
// creates the mapping and its mutex; this side opens both by name and holds
// the mutex only while it copies a whole record.
#pragma once

#include <string>

#include "OwnedHandle.h"
#include "settings/MouseSettings.h"

namespace hidhost::option {

inline constexpr const char* kMappingName = "K2290 Share Data";
inline constexpr const char* kMutexName = "K2290-ShareData-Mutex-Object";

class SharedBlock {
 public:
  // Empty when the host's block or mutex does not exist; `why` says which.
  bool Open(std::string& why);
  bool Read(settings::MouseSettings& record, std::string& why) const;
  bool Write(const settings::MouseSettings& record, std::string& why) const;

 private:
  bool Lock(std::string& why) const;

  OwnedHandle mapping_;
  OwnedView view_;
  OwnedHandle mutex_;
};

}  // namespace hidhost::option
