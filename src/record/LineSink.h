// Where a recording goes: whole lines, appended and flushed together.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace hidhost::record {

class LineSink {
 public:
  virtual ~LineSink() = default;
  // Appends text (whole lines) and flushes it; false once anything failed.
  virtual bool Append(std::string_view text) = 0;
};

// A file created afresh; None when it cannot be created.
class FileSink final : public LineSink {
 public:
  static std::unique_ptr<FileSink> Create(const std::string& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  bool Append(std::string_view text) override;

 private:
  explicit FileSink(std::FILE* file) : file_(file) {}
  std::FILE* file_;
};

}  // namespace hidhost::record
