// The console a command-line program runs in: output, single keys and interrupts.
// Whatever mode is changed here comes back on every way out of the program: the
// normal end, a fatal signal and the emergency close.
#pragma once

#include <string>
#include <string_view>

namespace velkaro::platform {

enum class TConsoleStream { csOut, csErr };

// Receives the first stop request: Ctrl+C, and on POSIX systems SIGTERM or SIGHUP. It is
// called from a signal handler or from the console's control thread, so it may only do
// async-signal-safe work, such as a store to a lock-free atomic.
class TConsoleInterruptTarget {
 public:
  virtual void OnFirstInterrupt() noexcept = 0;

 protected:
  ~TConsoleInterruptTarget() = default;
};

// Whether `stream` is a terminal.
bool ConsoleIsTerminal(TConsoleStream stream);
// Makes the terminal of `stream` understand cursor movements; false when it cannot.
bool ConsoleEnableRedraw(TConsoleStream stream);
// Writes UTF-16 text; terminals receive it in their own encoding.
void ConsoleWrite(TConsoleStream stream, std::u16string_view text);

// Puts the input terminal (if any) into single-key mode and installs the interrupt
// handling: the first stop request goes to the target; a second Ctrl+C ends the process
// at once with exit code 1, a SIGTERM or SIGHUP after a request by that signal at once.
void ConsoleBegin();
// Puts back the modes ConsoleBegin changed. Safe to call more than once.
void ConsoleRestore();
// The receiver of the first interrupt; nullptr for none.
void ConsoleSetInterruptTarget(TConsoleInterruptTarget* target);
// The keys typed since the last call, as UTF-8: Esc as the escape character alone,
// other special keys as the escape sequences a terminal sends for them. Empty when
// the input is no terminal in single-key mode.
std::string ConsoleReadKeys();
// How many stop requests have arrived.
int ConsoleInterrupts();
// Ends the process by the SIGTERM or SIGHUP that made the first stop request, as the
// signal would have ended a program that did not catch it, with the terminal restored.
// Returns when no such signal came (always on Windows).
void ConsoleEndAsRequested();

}  // namespace velkaro::platform
