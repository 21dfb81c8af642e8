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

TEST_F(CliTerminalTest, TerminationSignalLeavesTheTerminalRestored) {
  Start({"-p", "0", "-t", "60", "-n", "1", "-P", "4", "-c", "4"});
  ASSERT_TRUE(WaitForOutput("CPU now: ", 30)) << output_;
  ExpectRawMode();
  ASSERT_EQ(kill(child_, SIGTERM), 0);
  EXPECT_EQ(WaitForExit(30), 128 + SIGTERM) << output_;
  ExpectInitialMode();
}

}  // namespace
