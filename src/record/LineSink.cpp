#include "record/LineSink.h"

namespace hidhost::record {

std::unique_ptr<FileSink> FileSink::Create(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return nullptr;
  return std::unique_ptr<FileSink>(new FileSink(file));
}

FileSink::~FileSink() {
  std::fclose(file_);
}

bool FileSink::Append(std::string_view text) {
  // One write and one flush per input: a full disk or a crash cuts the file at
  // the end of the last input that made it out, or inside the input that did not.
  const bool written = std::fwrite(text.data(), 1, text.size(), file_) == text.size();
  return std::fflush(file_) == 0 && written;
}

}  // namespace hidhost::record
