#include "platform/console.h"

#include <windows.h>

#include "platform/win32/console_control.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/process.h"
#include "support/utf.h"

namespace velkaro::platform {
namespace {

// Shared with the console control handler, which runs on a thread of its own.
std::atomic<bool> g_input_changed{false};
DWORD g_saved_input_mode = 0;
std::atomic<bool> g_output_changed[2] = {false, false};
DWORD g_saved_output_mode[2] = {0, 0};
std::atomic<int> g_interrupts{0};
std::atomic<TConsoleInterruptTarget*> g_interrupt_target{nullptr};
// Control handlers that may be using the target they took; a new target waits for them.
std::atomic<int> g_handlers_in_target{0};

int Index(TConsoleStream stream) { return stream == TConsoleStream::csOut ? 0 : 1; }

HANDLE Handle(TConsoleStream stream) {
  return GetStdHandle(stream == TConsoleStream::csOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

void RestoreModes() {
  if (g_input_changed.exchange(false)) {
    SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), g_saved_input_mode);
  }
  for (const TConsoleStream stream : {TConsoleStream::csOut, TConsoleStream::csErr}) {
    if (g_output_changed[Index(stream)].exchange(false)) {
      SetConsoleMode(Handle(stream), g_saved_output_mode[Index(stream)]);
    }
  }
}

}  // namespace

BOOL WINAPI ConsoleControlHandler(DWORD type) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT) {
    if (g_interrupts.fetch_add(1) == 0) {
      // Counted before the target is read: ConsoleSetInterruptTarget then either sees
      // this handler or has already replaced the target it would read.
      g_handlers_in_target.fetch_add(1);
      if (TConsoleInterruptTarget* target = g_interrupt_target.load()) target->OnFirstInterrupt();
      g_handlers_in_target.fetch_sub(1);
      return TRUE;
    }
    RestoreModes();
    EmergencyExit();
  }
  // Closing the console, logging off, shutting down: the system ends the process.
  RestoreModes();
  return FALSE;
}

bool ConsoleIsTerminal(TConsoleStream stream) {
  DWORD mode = 0;
  return GetConsoleMode(Handle(stream), &mode) != 0;
}

bool ConsoleEnableRedraw(TConsoleStream stream) {
  const HANDLE handle = Handle(stream);
  DWORD mode = 0;
  if (!GetConsoleMode(handle, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  if (!SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return false;
  g_saved_output_mode[Index(stream)] = mode;
  g_output_changed[Index(stream)] = true;
  return true;
}

void ConsoleWrite(TConsoleStream stream, std::u16string_view text) {
  const HANDLE handle = Handle(stream);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    std::size_t done = 0;
    while (done < text.size()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
      if (!WriteConsoleW(handle, units + done, chunk, &written, nullptr) || written == 0) return;
      done += written;
    }
    return;
  }
  const std::string bytes = ToUtf8(text);
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 16));
    if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

void ConsoleBegin() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(input, &mode)) {
    // Keys arrive one by one without echo; Ctrl+C still reaches the control handler.
    const DWORD keys = (mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT)) |
                       ENABLE_PROCESSED_INPUT;
    g_saved_input_mode = mode;
    if (SetConsoleMode(input, keys)) g_input_changed = true;
  }
  SetConsoleCtrlHandler(ConsoleControlHandler, TRUE);
}

void ConsoleRestore() { RestoreModes(); }

void ConsoleSetInterruptTarget(TConsoleInterruptTarget* target) {
  g_interrupt_target = target;
  // The control handler runs on a thread of its own: one that took the old target may
  // still be inside it, and the caller may destroy that target once this returns.
  while (g_handlers_in_target.load() != 0) Sleep(1);
}

std::string ConsoleReadKeys() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return {};
  std::u16string keys;
  for (;;) {
    DWORD pending = 0;
    if (!GetNumberOfConsoleInputEvents(input, &pending) || pending == 0) break;
    INPUT_RECORD records[32];
    DWORD read = 0;
    if (!ReadConsoleInputW(input, records, 32, &read) || read == 0) break;
    for (DWORD i = 0; i < read; ++i) {
      if (records[i].EventType != KEY_EVENT || !records[i].Event.KeyEvent.bKeyDown) continue;
      const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
      // Esc comes as the escape character; keys without a character (arrows) add nothing.
      if (key.wVirtualKeyCode == VK_ESCAPE) {
        keys.push_back(u'\x1b');
      } else if (key.uChar.UnicodeChar != 0) {
        keys.push_back(static_cast<char16_t>(key.uChar.UnicodeChar));
      }
    }
  }
  return ToUtf8(keys);
}

int ConsoleInterrupts() { return g_interrupts.load(); }

// Closing the console, logging off and shutting down end the process from the system.
void ConsoleEndAsRequested() {}

}  // namespace velkaro::platform
