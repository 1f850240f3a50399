#include "platform/sim/Libraries.h"

#include "platform/sim/RegistryStore.h"

namespace hidhost::sim {

namespace {

constexpr std::string_view kSystemDirectory = "C:\\Windows\\System32\\";

}  // namespace

Libraries::Libraries() {
  LibraryInfo& wts = Named(std::string(kSystemDirectory) + "wtsapi32.dll");
  wts.procedures = {"WTSRegisterSessionNotification", "WTSUnRegisterSessionNotification"};
  LibraryInfo& strings = Named("C:\\HidHost\\lan.dll");
  strings.strings = {{1000, "Settings..."}, {1001, "Exit"}};  // as tools/win32/lan builds it
}

const LibraryInfo* Libraries::Find(std::string_view requested) const {
  const bool bare = requested.find_first_of("\\/") == std::string_view::npos;
  const std::string wanted = Lowercase(bare ? std::string(kSystemDirectory) + std::string(requested)
                                            : std::string(requested));
  for (const auto& library : libraries_) {
    if (library.present && Lowercase(library.path) == wanted) return &library;
  }
  return nullptr;
}

const LibraryInfo* Libraries::AtBase(std::uintptr_t base) const {
  for (const auto& library : libraries_) {
    if (library.base == base) return &library;
  }
  return nullptr;
}

LibraryInfo& Libraries::Named(std::string_view path) {
  for (auto& library : libraries_) {
    if (Lowercase(library.path) == Lowercase(path)) return library;
  }
  LibraryInfo added;
  added.path = std::string(path);
  added.base = 0x10000000u + 0x100000u * (libraries_.size() + 1);
  libraries_.push_back(std::move(added));
  return libraries_.back();
}

}  // namespace hidhost::sim
