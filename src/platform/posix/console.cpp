#include "platform/console.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "platform/process.h"
#include "support/utf.h"

namespace velkaro::platform {
namespace {

// Shared with the signal handlers: plain values and lock-free atomics only.
termios g_saved_mode{};
std::atomic<bool> g_raw_active{false};
std::atomic<int> g_interrupts{0};  // stop requests: Ctrl+C, SIGTERM, SIGHUP
std::atomic<int> g_end_signal{0};  // the SIGTERM or SIGHUP that made the first request
std::atomic<TConsoleInterruptTarget*> g_interrupt_target{nullptr};

int Fd(TConsoleStream stream) { return stream == TConsoleStream::csOut ? STDOUT_FILENO : STDERR_FILENO; }

void RestoreMode() {
  if (g_raw_active.exchange(false)) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_mode);
}

void EnterRawMode() {
  termios raw = g_saved_mode;
  // Keys arrive one by one without echo; ISIG stays, so Ctrl+C still interrupts.
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) g_raw_active = true;
}

void OnInterrupt(int) {
  if (g_interrupts.fetch_add(1) == 0) {
    if (TConsoleInterruptTarget* target = g_interrupt_target.load()) target->OnFirstInterrupt();
    return;
  }
  RestoreMode();
  const char newline = '\n';
  (void)!write(STDERR_FILENO, &newline, 1);
  EmergencyExit();
}

// A signal that ends the process: the terminal first, then the default action.
void OnFatalSignal(int signal_number) {
  RestoreMode();
  ::signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// SIGTERM, SIGHUP: the first stop request stops the run as Ctrl+C does, and the program
// ends by the signal once it has wound down. After a request, one of them ends the
// program at once; a hangup, though, may come twice (from the kernel and again from the
// shell), so a second SIGHUP after a first one changes nothing.
void OnEndRequest(int signal_number) {
  if (g_interrupts.fetch_add(1) == 0) {
    g_end_signal.store(signal_number);
    if (TConsoleInterruptTarget* target = g_interrupt_target.load()) target->OnFirstInterrupt();
    return;
  }
  if (signal_number == SIGHUP && g_end_signal.load() == SIGHUP) return;
  OnFatalSignal(signal_number);
}

// Ctrl+Z: the shell gets its terminal back while the program is stopped.
void OnStop(int signal_number) {
  const bool was_raw = g_raw_active.load();
  RestoreMode();
  ::signal(signal_number, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal_number);
  // Continued.
  struct sigaction action{};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  if (was_raw) EnterRawMode();
}

void Install(int signal_number, void (*handler)(int)) {
  struct sigaction action{};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
}

}  // namespace

bool ConsoleIsTerminal(TConsoleStream stream) { return isatty(Fd(stream)) == 1; }

bool ConsoleEnableRedraw(TConsoleStream stream) {
  if (!ConsoleIsTerminal(stream)) return false;
  const char* term = getenv("TERM");
  return term != nullptr && std::string(term) != "dumb";
}

void ConsoleWrite(TConsoleStream stream, std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(Fd(stream), bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

void ConsoleBegin() {
  // A program started in the background leaves the terminal alone: changing its mode
  // or reading from it would stop the program.
  if (isatty(STDIN_FILENO) == 1 && tcgetpgrp(STDIN_FILENO) == getpgrp() &&
      tcgetattr(STDIN_FILENO, &g_saved_mode) == 0) {
    EnterRawMode();
  }
  Install(SIGINT, OnInterrupt);
  Install(SIGTERM, OnEndRequest);
  Install(SIGHUP, OnEndRequest);
  Install(SIGQUIT, OnFatalSignal);
  if (g_raw_active) Install(SIGTSTP, OnStop);
}

void ConsoleRestore() { RestoreMode(); }

void ConsoleSetInterruptTarget(TConsoleInterruptTarget* target) { g_interrupt_target = target; }

std::string ConsoleReadKeys() {
  if (!g_raw_active) return {};
  std::string input;
  char buffer[64];
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) break;
    input.append(buffer, static_cast<std::size_t>(n));
  }
  return input;
}

int ConsoleInterrupts() { return g_interrupts.load(); }

void ConsoleEndAsRequested() {
  const int signal_number = g_end_signal.load();
  if (signal_number == 0) return;
  RestoreMode();
  ::signal(signal_number, SIG_DFL);
  raise(signal_number);
}

}  // namespace velkaro::platform
