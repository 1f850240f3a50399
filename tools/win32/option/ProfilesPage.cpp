// The Profiles page: settings to and from a file, and the built-in defaults.
#include <cstdio>
#include <string>

#include "Win32Ui.h"
#include "WindowState.h"
#include "editor/Profile.h"
#include "resource.h"

namespace hidhost::option {

namespace {

constexpr const wchar_t kFilter[] = L"Settings files (*.ini)\0*.ini\0All files (*.*)\0*.*\0";

bool AskForFile(HWND owner, bool save, std::wstring& path) {
  wchar_t name[MAX_PATH] = L"HidHost settings.ini";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrDefExt = L"ini";
  dialog.Flags =
      OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return false;
  path = name;
  return true;
}

class File {
 public:
  File(const std::wstring& path, const wchar_t* mode) : file_(_wfopen(path.c_str(), mode)) {}
  ~File() {
    if (file_ != nullptr) std::fclose(file_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  std::FILE* Get() const { return file_; }

 private:
  std::FILE* file_;
};

void Report(HWND page, const std::wstring& text) {
  SetDlgItemTextW(page, IDC_PROFILE_RESULT, text.c_str());
}

void Export(HWND page, WindowState& state) {
  std::wstring path;
  if (!AskForFile(state.main, true, path)) return;
  const std::string text = editor::ExportProfile(state.editor.Current());
  const File file(path, L"wb");
  const bool written =
      file.Get() != nullptr && std::fwrite(text.data(), 1, text.size(), file.Get()) == text.size();
  Report(page, written ? L"Saved to " + path : L"Could not write " + path);
}

void Import(HWND page, WindowState& state) {
  std::wstring path;
  if (!AskForFile(state.main, false, path)) return;
  std::string text;
  {
    const File file(path, L"rb");
    if (file.Get() == nullptr) {
      Report(page, L"Could not read " + path);
      return;
    }
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file.Get())) > 0;) {
      text.append(buffer, got);
    }
  }
  const editor::Proposal proposal = state.editor.Import(text);
  if (!proposal.record) {
    Report(page, L"Nothing changed. " + Widen(proposal.refusal));
    MessageBoxW(
        state.main,
        (L"The file was not loaded and nothing changed.\n\n" + Widen(proposal.refusal)).c_str(),
        L"HidHost settings", MB_OK | MB_ICONWARNING);
    return;
  }
  ApplyEdit(state, proposal);
  Report(page, L"Loaded " + path);
}

}  // namespace

INT_PTR CALLBACK ProfilesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowState* state = StateOf(page);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(page, DWLP_USER, lParam);
      EnableThemeDialogTexture(page, ETDT_ENABLETAB);
      return TRUE;
    case WM_COMMAND:
      if (state == nullptr || HIWORD(wParam) != BN_CLICKED) return FALSE;
      switch (LOWORD(wParam)) {
        case IDC_EXPORT:
          Export(page, *state);
          return TRUE;
        case IDC_IMPORT:
          Import(page, *state);
          return TRUE;
        case IDC_DEFAULTS:
          ApplyEdit(*state, state->editor.RestoreDefaults());
          Report(page, L"The built-in settings are in force.");
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace hidhost::option
