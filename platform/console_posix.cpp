// POSIX console key: one key from the controlling terminal, read in
// non-canonical mode without the terminal's echo. The terminal's state is
// put back on every path, also when a signal ends the process while it waits.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr int kEscape = 0x1B;

// What the signal handlers need to put the terminal back.
volatile sig_atomic_t gTerminal = -1;
struct termios gSaved;
struct termios gRaw;

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RestoreAndReraise(int signalNumber) {
  if (gTerminal >= 0) ::tcsetattr(gTerminal, TCSANOW, &gSaved);
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

// Ctrl-Z: leave the shell a sane terminal while stopped, and go back to
// reading single keys when continued.
void SuspendAndResume(int signalNumber) {
  const int savedErrno = errno;
  if (gTerminal >= 0) ::tcsetattr(gTerminal, TCSANOW, &gSaved);
  ::signal(signalNumber, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, signalNumber);
  ::sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  ::raise(signalNumber);  // stops here until continued
  ::signal(signalNumber, SuspendAndResume);
  if (gTerminal >= 0) ::tcsetattr(gTerminal, TCSANOW, &gRaw);
  errno = savedErrno;
}

// Puts the terminal into single-key mode for its lifetime.
class RawTerminal {
 public:
  explicit RawTerminal(int fd) : fd_(fd) {
    if (::tcgetattr(fd, &gSaved) != 0) return;
    gRaw = gSaved;
    gRaw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    gRaw.c_cc[VMIN] = 1;
    gRaw.c_cc[VTIME] = 0;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = RestoreAndReraise;
    for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kEndingSignals[i], &action, &previous_[i]);
    action.sa_handler = SuspendAndResume;
    ::sigaction(SIGTSTP, &action, &previousStop_);
    gTerminal = fd;
    active_ = ::tcsetattr(fd, TCSANOW, &gRaw) == 0;
  }

  ~RawTerminal() {
    if (gTerminal < 0) return;
    ::tcsetattr(fd_, TCSANOW, &gSaved);
    gTerminal = -1;
    for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kEndingSignals[i], &previous_[i], nullptr);
    ::sigaction(SIGTSTP, &previousStop_, nullptr);
  }

  RawTerminal(const RawTerminal&) = delete;
  RawTerminal& operator=(const RawTerminal&) = delete;

  bool active() const { return active_; }

  // A key such as an arrow sends an escape sequence; its remaining bytes
  // must not count as keys of their own (the A of "ESC [ A" is no answer).
  void DiscardEscapeSequence() {
    struct termios brief = gRaw;
    brief.c_cc[VMIN] = 0;
    brief.c_cc[VTIME] = 1;
    if (::tcsetattr(fd_, TCSANOW, &brief) != 0) return;
    unsigned char ignored;
    while (::read(fd_, &ignored, 1) == 1) {
    }
    ::tcsetattr(fd_, TCSANOW, &gRaw);
  }

 private:
  static constexpr std::size_t kSignalCount = sizeof(kEndingSignals) / sizeof(kEndingSignals[0]);
  int fd_;
  bool active_ = false;
  struct sigaction previous_[kSignalCount] {};
  struct sigaction previousStop_ {};
};

int ReadByte(int fd) {
  unsigned char byte;
  while (true) {
    const ssize_t got = ::read(fd, &byte, 1);
    if (got == 1) return byte;
    if (got < 0 && errno == EINTR) continue;
    return -1;
  }
}

// Writes all of `text`; a failed write loses the rest.
void WriteText(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t wrote = ::write(fd, text.data(), text.size());
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(wrote));
  }
}

// Control characters are not echoed: Enter or Escape would move the cursor
// off the prompt line.
void Echo(int fd, int key) {
  if (key < 0x20 || key == 0x7F) return;
  const char byte = static_cast<char>(key);
  WriteText(fd, std::string_view(&byte, 1));
}

int OpenTerminal() { return ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC); }

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() { ::close(fd_); }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

int ReadConsoleKey() {
  const int tty = OpenTerminal();
  if (tty < 0) {
    // No terminal at all: the key comes from standard input instead.
    const int key = ReadByte(STDIN_FILENO);
    if (key >= 0) Echo(STDOUT_FILENO, key);
    return key;
  }
  const FdCloser closer(tty);
  int key;
  {
    RawTerminal raw(tty);
    key = ReadByte(tty);
    if (key == kEscape && raw.active()) raw.DiscardEscapeSequence();
  }
  if (key >= 0) Echo(tty, key);
  return key;
}

void MirrorToConsole(std::string_view text) {
  const int tty = OpenTerminal();
  if (tty < 0) return;
  const FdCloser closer(tty);
  // tcgetsid succeeds only on the controlling terminal itself.
  if (::tcgetsid(STDOUT_FILENO) < 0) WriteText(tty, text);
}

}  // namespace platform
