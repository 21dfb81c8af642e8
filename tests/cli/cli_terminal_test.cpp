// velkaro-cli on a pseudo-terminal: keys and Ctrl+C stop it, and it always gives the
// terminal back in the mode it found it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class CliTerminalTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (child_ > 0) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    if (master_ >= 0) close(master_);
    if (slave_ >= 0) close(slave_);
  }

  // Starts the program as the session leader of a new pseudo-terminal; the test keeps
  // the slave side open to read its mode.
  void Start(const std::vector<std::string>& args) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    const std::string slave_name = ptsname(master_);
    slave_ = open(slave_name.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave_, 0);
    ASSERT_EQ(tcgetattr(slave_, &initial_), 0);
    ASSERT_NE(initial_.c_lflag & ICANON, 0u);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VELKARO_CLI_PATH));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    child_ = fork();
    ASSERT_GE(child_, 0);
    if (child_ == 0) {
      setsid();
      const int tty = open(slave_name.c_str(), O_RDWR);
      if (tty < 0 || ioctl(tty, TIOCSCTTY, 0) != 0) _exit(120);
      dup2(tty, 0);
      dup2(tty, 1);
      dup2(tty, 2);
      setenv("TERM", "xterm", 1);
      execv(argv[0], argv.data());
      _exit(121);
    }
  }

  // Reads the program's output until it holds `text`; false after `seconds`.
  bool WaitForOutput(const std::string& text, int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (output_.find(text) == std::string::npos) {
      if (Clock::now() > deadline) return false;
      ReadSome(100);
    }
    return true;
  }

  void ReadSome(int timeout_ms) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) <= 0) return;
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n > 0) output_.append(buffer, static_cast<std::size_t>(n));
  }

  void Send(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  }

  // The exit code, or -1 when the program did not end within `seconds`.
  int WaitForExit(int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < deadline) {
      int status = 0;
      if (waitpid(child_, &status, WNOHANG) == child_) {
        child_ = -1;
        ReadSome(200);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      ReadSome(50);
    }
    return -1;
  }

  void ExpectRawMode() {
    termios mode{};
    ASSERT_EQ(tcgetattr(slave_, &mode), 0);
    EXPECT_EQ(mode.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_NE(mode.c_lflag & ISIG, 0u);
  }

  void ExpectInitialMode() {
    termios mode{};
    ASSERT_EQ(tcgetattr(slave_, &mode), 0);
    EXPECT_EQ(mode.c_lflag, initial_.c_lflag);
    EXPECT_EQ(mode.c_iflag, initial_.c_iflag);
    EXPECT_EQ(mode.c_cc[VMIN], initial_.c_cc[VMIN]);
  }

  pid_t child_ = -1;
  int master_ = -1;
  int slave_ = -1;
  termios initial_{};
  std::string output_;
};

TEST_F(CliTerminalTest, QStopsTheRunEarlyAndRestoresTheTerminal) {
  Start({"-p", "0", "-t", "60", "-n", "1", "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput("CPU now: ", 30)) << output_;
  EXPECT_NE(output_.find("\x1b[2K"), std::string::npos);  // redrawn in place
  ExpectRawMode();
  const auto stop = Clock::now();
  Send("q");
  EXPECT_EQ(WaitForExit(30), 0) << output_;
  EXPECT_LT(Clock::now() - stop, std::chrono::seconds(20));
  EXPECT_NE(output_.find("Fulfilled threads: 1"), std::string::npos) << output_;
  ExpectInitialMode();
}

TEST_F(CliTerminalTest, EscDuringThePauseStopsBeforeTheRun) {
  Start({"-p", "30", "-t", "60", "-n", "1"});
  ASSERT_TRUE(WaitForOutput("About to start stressing", 30)) << output_;
  Send("\x1b");
  EXPECT_EQ(WaitForExit(30), 0) << output_;
  EXPECT_NE(output_.find("Fulfilled threads: 0"), std::string::npos) << output_;
  ExpectInitialMode();
}

TEST_F(CliTerminalTest, FirstCtrlCStopsLikeStop) {
  Start({"-p", "0", "-t", "60", "-n", "1", "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput("CPU now: ", 30)) << output_;
  Send("\x03");
  EXPECT_EQ(WaitForExit(30), 0) << output_;
  EXPECT_NE(output_.find("Fulfilled threads: 1"), std::string::npos) << output_;
  ExpectInitialMode();
}

TEST_F(CliTerminalTest, SecondCtrlCIsTheEmergencyClose) {
  // The long comb's workers begin with four seconds of sleep, so the stop wait is
  // still going on when the second interrupt arrives.
  Start({"-p", "0", "-t", "60", "-n", "2", "-r", "6", "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput("CPU now: ", 30)) << output_;
  Send("\x03");
  ASSERT_TRUE(WaitForOutput("Threads left stop: 2", 30)) << output_;
  Send("\x03");
  EXPECT_EQ(WaitForExit(30), 1) << output_;
  EXPECT_EQ(output_.find("Fulfilled threads"), std::string::npos) << output_;
  ExpectInitialMode();
}

// SIGTERM and SIGHUP stop the run as the first Ctrl+C does; once the workers have
// ended and the summary is out, the program ends by the signal, as the sender expects.
struct EndSignalCase {
  const char* name;
  int signal;
  const char* threads;
  const char* sent_after;  // the output that shows the phase the signal is meant for
  const char* summary;
};

const EndSignalCase kEndSignalCases[] = {
    {"TermDuringTheRun", SIGTERM, "1", "CPU now: ", "Fulfilled threads: 1\r\n"},
    // The workers released so far wait at the start gate: none of them has run.
    {"TermWhilePreparing", SIGTERM, "10000", "Threads prepared: ", "Fulfilled threads: 0 / 10"},
    {"HupWhilePreparing", SIGHUP, "10000", "Threads prepared: ", "Fulfilled threads: 0 / 10"},
};

void PrintTo(const EndSignalCase& c, std::ostream* os) { *os << c.name; }

class CliEndSignalTest : public CliTerminalTest,
                         public ::testing::WithParamInterface<EndSignalCase> {};

TEST_P(CliEndSignalTest, StopsTheWorkersRestoresTheTerminalAndEndsBySignal) {
  const EndSignalCase& c = GetParam();
  Start({"-p", "0", "-t", "600", "-n", c.threads, "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput(c.sent_after, 30)) << output_;
  ExpectRawMode();
  const std::size_t before_signal = output_.size();
  const auto sent = Clock::now();
  ASSERT_EQ(kill(child_, c.signal), 0);
  // A reaped process has no thread left.
  EXPECT_EQ(WaitForExit(30), 128 + c.signal) << output_;
  EXPECT_LT(Clock::now() - sent, std::chrono::seconds(2));
  EXPECT_NE(output_.find(c.summary, before_signal), std::string::npos) << output_;
  ExpectInitialMode();
}

INSTANTIATE_TEST_SUITE_P(Signals, CliEndSignalTest, ::testing::ValuesIn(kEndSignalCases),
                         [](const auto& test) { return std::string(test.param.name); });

// A second signal while the stop waits for the workers: the long comb's workers begin
// with four seconds of sleep, so the wait is still going on when it arrives.
struct SecondSignalCase {
  const char* name;
  int first, second;
  bool waits;  // the program still waits for its workers and says how the run went
};

void PrintTo(const SecondSignalCase& c, std::ostream* os) { *os << c.name; }

const SecondSignalCase kSecondSignalCases[] = {
    {"SecondTermEndsAtOnce", SIGTERM, SIGTERM, false},
    {"TermAfterCtrlCEndsAtOnce", SIGINT, SIGTERM, false},
    // A hangup may reach the program from the kernel and again from the shell.
    {"SecondHupChangesNothing", SIGHUP, SIGHUP, true},
};

class CliSecondSignalTest : public CliTerminalTest,
                            public ::testing::WithParamInterface<SecondSignalCase> {};

TEST_P(CliSecondSignalTest, EndsAtOnceOrWaitsForTheWorkers) {
  const SecondSignalCase& c = GetParam();
  Start({"-p", "0", "-t", "60", "-n", "2", "-r", "6", "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput("CPU now: ", 30)) << output_;
  ASSERT_EQ(kill(child_, c.first), 0);
  ASSERT_TRUE(WaitForOutput("Threads left stop: 2", 30)) << output_;
  ASSERT_EQ(kill(child_, c.second), 0);
  EXPECT_EQ(WaitForExit(30), 128 + c.second) << output_;
  EXPECT_EQ(output_.find("Fulfilled threads: 2") != std::string::npos, c.waits) << output_;
  ExpectInitialMode();
}

INSTANTIATE_TEST_SUITE_P(Signals, CliSecondSignalTest, ::testing::ValuesIn(kSecondSignalCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
