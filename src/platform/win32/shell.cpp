#include "platform/shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/handle.h"
#include "platform/win32/wide.h"
#include "support/path.h"
#include "support/shell_text.h"
#include "support/text.h"

namespace velkaro::platform {
namespace {

// Balances a successful CoInitializeEx of this thread; a thread already initialised
// in another apartment model keeps it untouched.
class ScopedComInit {
 public:
  ScopedComInit()
      : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ScopedComInit() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  HRESULT result_;
};

std::u16string CurrentFolder() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring buffer(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, buffer.data());
  if (length == 0 || length >= needed) return {};
  std::u16string folder = FromWide(std::wstring_view(buffer.data(), length));
  IncludeTrailingBackslash(folder);
  return folder;
}

}  // namespace

void OpenDocument(std::u16string_view target, bool add_http_prefix) {
  std::u16string document(target);
  if (add_http_prefix && !StartsWithCI(u"http://", document)) document.insert(0, u"http://");
  const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  ShellExecuteW(nullptr, L"open", ToWide(document).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  SetCursor(previous);
}

std::uint32_t RunCommandLine(std::u16string_view command_line) {
  const CommandLineParts parts = SplitCommandLine(command_line);
  const std::wstring file = ToWide(parts.file);
  const std::wstring parameters = ToWide(parts.parameters);
  const std::wstring folder = ToWide(CurrentFolder());

  const ScopedComInit com;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_CONNECTNETDRV | SEE_MASK_FLAG_NO_UI |
               SEE_MASK_ASYNCOK;
  info.lpFile = file.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    const DWORD error = GetLastError();
    return error != 0 ? error : static_cast<std::uint32_t>(ERROR_GEN_FAILURE);
  }
  // The started program is not waited for; its handle only has to be let go.
  const ScopedKernelHandle process(info.hProcess);
  return 0;
}

}  // namespace velkaro::platform
