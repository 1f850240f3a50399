#include "Win32HostLink.h"

#include <string>

#include "Win32Ui.h"

namespace hidhost::option {

namespace {

constexpr UINT kNoticeTimeoutMs = 2000;

}  // namespace

bool Win32HostLink::Connect() {
  if (HostWindowGone()) return false;
  auto block = std::make_unique<SharedBlock>();
  std::string why;
  if (!block->Open(why)) return false;
  block_ = std::move(block);
  return true;
}

bool Win32HostLink::HostWindowGone() const {
  return FindWindowA(nullptr, contracts::kHostWindowTitle) == nullptr;
}

editor::BlockWrite Win32HostLink::WriteBlock(const settings::MouseSettings& record) {
  if (!block_) return editor::BlockWrite::NoHost;
  std::string why;
  switch (block_->Write(record, why)) {
    case SharedBlock::Copy::Done:
      return editor::BlockWrite::Written;
    case SharedBlock::Copy::Busy:
      return editor::BlockWrite::Busy;
    case SharedBlock::Copy::Failed:
      break;
  }
  return editor::BlockWrite::NoHost;
}

bool Win32HostLink::ReadBlock(settings::MouseSettings& record) {
  std::string why;
  return block_ && block_->Read(record, why);
}

bool Win32HostLink::Notify(std::uint32_t notice) {
  const HWND host = FindWindowA(nullptr, contracts::kHostWindowTitle);
  if (host == nullptr) return false;
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(host, notice, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                            kNoticeTimeoutMs, &result) != 0;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  noticeAnsweredAt_ = now.QuadPart;
  return answered;
}

}  // namespace hidhost::option
