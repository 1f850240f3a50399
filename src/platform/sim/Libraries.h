// The libraries a simulated process can load: the session service's
// wtsapi32.dll and the host's string library lan.dll beside it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace hidhost::sim {

struct LibraryInfo {
  std::string path;  // full path on the simulated machine
  bool present = true;
  std::uintptr_t base = 0;
  std::set<std::string> procedures;
  std::map<std::uint32_t, std::string> strings;
};

class Libraries {
 public:
  Libraries();
  // What LoadLibraryA finds for the name: a bare name finds a system
  // library, a full path the library at that path. Null when none is there.
  const LibraryInfo* Find(std::string_view requested) const;
  const LibraryInfo* AtBase(std::uintptr_t base) const;
  // Adds the library when unknown.
  LibraryInfo& Named(std::string_view path);

 private:
  std::vector<LibraryInfo> libraries_;
};

}  // namespace hidhost::sim
