#include "ui/win32/taskbar.h"

#include <objbase.h>
#include <shobjidl.h>

namespace velkaro::win32 {
namespace {

constexpr wchar_t kButtonCreatedMessage[] = L"TaskbarButtonCreated";
constexpr DWORD kMessageFilterAdd = 1;  // MSGFLT_ADD

// Windows Vista and later; looked up so the program still starts where it is missing.
void AllowThroughMessageFilter(UINT message) {
  using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return;
  FARPROC proc = ::GetProcAddress(user32, "ChangeWindowMessageFilter");
  if (proc == nullptr) return;
  const auto change_filter =
      reinterpret_cast<ChangeWindowMessageFilterFn>(reinterpret_cast<void (*)()>(proc));
  change_filter(message, kMessageFilterAdd);
}

ComPtr<ITaskbarList3> CreateTaskbarList() {
  ComPtr<ITaskbarList> list;
  if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList,
                                list.PutVoid())) ||
      !list || FAILED(list->HrInit())) {
    return {};
  }
  return list.As<ITaskbarList3>(IID_ITaskbarList3);
}

}  // namespace

ComApartment::ComApartment()
    : initialized_(
          SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
}

ComApartment::~ComApartment() {
  if (initialized_) ::CoUninitialize();
}

TaskbarProgress::TaskbarProgress(bool create_object) {
  if (create_object) taskbar_ = CreateTaskbarList();
  button_created_message_ = ::RegisterWindowMessageW(kButtonCreatedMessage);
  AllowThroughMessageFilter(WM_COMMAND);
  if (button_created_message_ != 0) AllowThroughMessageFilter(button_created_message_);
}

TaskbarProgress::~TaskbarProgress() = default;

void TaskbarProgress::SetTaskbarProgress(HWND window, std::uint64_t completed,
                                         std::uint64_t total) const {
  if (taskbar_) taskbar_->SetProgressValue(window, completed, total);
}

void TaskbarProgress::ClearTaskbarProgress(HWND window) const {
  if (taskbar_) taskbar_->SetProgressState(window, TBPF_NOPROGRESS);
}

}  // namespace velkaro::win32
