// Progress on the program's taskbar button, through the shell's taskbar list object.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/win32/com_ptr.h"

struct ITaskbarList3;

namespace velkaro::win32 {

// COM for the calling thread, as a single-threaded apartment, for the owner's lifetime.
class ComApartment {
 public:
  ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment();

 private:
  bool initialized_ = false;
};

// Made once at program start and kept until the end. Without the taskbar object
// (it could not be created, or was not asked for) the progress calls do nothing.
class TaskbarProgress {
 public:
  // With `create_object`, creates the taskbar list object; either way registers the
  // "TaskbarButtonCreated" message and lets it and WM_COMMAND through the message
  // filter of a process with raised rights.
  explicit TaskbarProgress(bool create_object);
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;
  ~TaskbarProgress();

  bool has_object() const { return static_cast<bool>(taskbar_); }
  // Sent to a window when its taskbar button has been (re)created; 0 if unregistered.
  UINT button_created_message() const { return button_created_message_; }

  void SetTaskbarProgress(HWND window, std::uint64_t completed, std::uint64_t total) const;
  void ClearTaskbarProgress(HWND window) const;

 private:
  ComApartment com_;
  ComPtr<ITaskbarList3> taskbar_;
  UINT button_created_message_ = 0;
};

}  // namespace velkaro::win32
