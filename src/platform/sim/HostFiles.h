// Drive C: of the simulated machine, backed by a real directory, and the
// files that are open on it with their sharing modes. Holds no lock; the
// world's lock guards it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace hidhost::sim {

class HostFiles {
 public:
  explicit HostFiles(std::filesystem::path driveC);

  const std::filesystem::path& DriveC() const { return driveC_; }
  // The real path of a Windows path on C:. A bare name resolves in
  // `bareNameDirectory` (profile functions use C:\Windows\). Components are
  // matched without regard to case. nullopt for other drives.
  std::optional<std::filesystem::path> Resolve(std::string_view windowsPath,
                                               std::string_view bareNameDirectory) const;

  // Whether an open with this access and sharing agrees with every open of the file.
  bool MayOpen(const std::filesystem::path& file, std::uint32_t access, std::uint32_t share) const;
  int Open(const std::filesystem::path& file, std::uint32_t access, std::uint32_t share);
  void Close(int openId);

 private:
  struct OpenFile {
    std::string key;
    std::uint32_t access;
    std::uint32_t share;
  };
  static std::string KeyOf(const std::filesystem::path& file);

  std::filesystem::path driveC_;
  std::map<int, OpenFile> open_;
  int nextId_ = 1;
};

}  // namespace hidhost::sim
