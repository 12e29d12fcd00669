// The overwrite question at a terminal, as a user meets it: Tessly runs on
// a pseudo-terminal as a shell runs it, in a foreground process group of
// its own, which Ctrl-Z can stop.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <functional>

#include "tests/support/tessly_run.h"

namespace e2e {
namespace {

struct PtySession {
  explicit PtySession(const std::string& command) {
    child = ::forkpty(&master, nullptr, nullptr, nullptr);
    int status = 0;
    if (child == 0 && ::fork() == 0) {
      ::setpgid(0, 0), ::signal(SIGTTOU, SIG_IGN), ::tcsetpgrp(0, ::getpid());
      ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), ::_exit(127);
    } else if (child == 0) {
      ::_exit(::wait(&status) > 0 && WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status));
    }
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);  // to look at the terminal's settings
  }
  ~PtySession() { Signal(SIGKILL), ::waitpid(child, nullptr, 0), ::close(slave), ::close(master); }
  // Reads what the terminal shows until `done`, for ten seconds at most.
  bool Await(const std::function<bool()>& done) {
    for (int i = 0; i < 1000; ++i) {
      if (done()) return true;
      pollfd ready{master, POLLIN, 0};
      char buffer[4096];
      const ssize_t got = ::poll(&ready, 1, 10) > 0 ? ::read(master, buffer, sizeof buffer) : 0;
      shown.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    return false;
  }
  bool InMode(tcflag_t flags) const {
    termios settings{};
    return ::tcgetattr(slave, &settings) == 0 && (settings.c_lflag & (ICANON | ECHO)) == flags;
  }
  // Waits until Tessly reads single keys, then types `keys`.
  bool Type(const std::string& keys) {
    return Await([&] { return InMode(0); }) && ::write(master, keys.data(), keys.size()) == ssize_t(keys.size());
  }
  // To the terminal's foreground process group: Tessly's.
  void Signal(int signalNumber) const {
    if (::tcgetpgrp(master) > 1) ::kill(-::tcgetpgrp(master), signalNumber);
  }
  // Tessly is stopped: its state is T.
  bool Stopped() const {
    std::ifstream stat("/proc/" + std::to_string(::tcgetpgrp(master)) + "/stat");
    return std::string(std::istreambuf_iterator<char>(stat), {}).find(") T ") != std::string::npos;
  }

  int master = -1, slave = -1;
  pid_t child = -1;
  std::string shown;  // a line ends in "\r\n" there
};

// Standard input and output are files, so the key is read from the terminal
// and the question shown there too. Escape and an arrow key answer nothing
// (the A of ESC [ A is no All), and the key after them counts; the terminal
// is restored while Ctrl-Z stops Tessly, and after Ctrl-C ends it.
TEST(Terminal, KeysQuestionStopAndInterrupt) {
  const std::string q0 = Question("A00.BMP"), q1 = Question("A01.BMP");
  TempDir dir;
  fixture::WriteFile(dir / "a.gaf", fixture::BuildGaf({{"A", {{PlainImage(1, 1)}, {PlainImage(1, 1)}}}}));
  for (const char* name : {"A00.BMP", "A01.BMP", "in"}) fixture::WriteFile(dir / name, kOld);
  PtySession session(TesslyCommand(dir.path, {"-B"}) + " <in >log");
  ASSERT_TRUE(session.Await([&] { return session.shown == q0; }));
  ASSERT_TRUE(session.Type("\x1b") && session.Type("\x1b[A"));
  ::usleep(400000);  // past the wait for the rest of a sequence
  ASSERT_TRUE(session.Type("y"));
  EXPECT_TRUE(session.Await([&] { return session.shown == q0 + "y\r\n" + q1; }));
  for (int stop = 0; stop < 2; ++stop) {  // and again: Ctrl-Z works more than once
    session.Signal(SIGTSTP);
    EXPECT_TRUE(session.Await([&] { return session.Stopped() && session.InMode(ICANON | ECHO); }));
    session.Signal(SIGCONT);
    ASSERT_TRUE(session.Type(""));
  }
  session.Signal(SIGINT);
  int status = 0;
  EXPECT_TRUE(session.Await([&] { return ::waitpid(session.child, &status, WNOHANG) == session.child; }));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
  EXPECT_TRUE(session.InMode(ICANON | ECHO));
  const std::string log = kBanner + "a.gaf\n" + q0 + "\n" + Exported("A00.BMP") + q1;
  EXPECT_EQ(FilesIn(dir.path)["log"], Bytes(log.begin(), log.end()));
}

}  // namespace
}  // namespace e2e
