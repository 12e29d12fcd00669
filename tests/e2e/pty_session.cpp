#include "tests/e2e/pty_session.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <thread>

#include "tests/e2e/run_tessly.h"

namespace e2e {
namespace {

constexpr auto kPatience = std::chrono::seconds(10);

}  // namespace

PtySession::PtySession(const std::string& directory, const std::vector<std::string>& args,
                       const std::string* stdinText) {
  int input[2] = {-1, -1};
  if (stdinText != nullptr && ::pipe(input) != 0) return;
  std::vector<std::string> words = TesslyCommand();
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  child_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
  if (child_ == 0) {
    if (stdinText != nullptr) {
      ::dup2(input[0], 0);
      ::close(input[0]);
      ::close(input[1]);
    }
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  if (stdinText != nullptr) {
    ::close(input[0]);
    std::signal(SIGPIPE, SIG_IGN);
    if (::write(input[1], stdinText->data(), stdinText->size()) < 0) {
    }
    ::close(input[1]);
  }
  if (master_ >= 0) slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
}

PtySession::~PtySession() {
  if (child_ > 0) {
    ::kill(child_, SIGKILL);
    Finish();
  }
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool PtySession::ReadSome(int timeoutMs) {
  pollfd ready{master_, POLLIN, 0};
  if (::poll(&ready, 1, timeoutMs) <= 0) return false;
  char buffer[4096];
  const ssize_t got = ::read(master_, buffer, sizeof buffer);
  if (got <= 0) return false;
  for (ssize_t i = 0; i < got; ++i) {
    if (buffer[i] != '\r') output_ += buffer[i];
  }
  return true;
}

bool PtySession::WaitFor(const std::string& text) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (true) {
    const std::size_t at = output_.find(text, consumed_);
    if (at != std::string::npos) {
      consumed_ = at + text.size();
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) return false;
    ReadSome(50);
  }
}

bool PtySession::TerminalIsRaw() const {
  termios settings{};
  return ::tcgetattr(slave_, &settings) == 0 && (settings.c_lflag & (ICANON | ECHO)) == 0;
}

bool PtySession::TerminalIsInLineMode() const {
  termios settings{};
  return ::tcgetattr(slave_, &settings) == 0 && (settings.c_lflag & ICANON) != 0 && (settings.c_lflag & ECHO) != 0;
}

bool PtySession::Type(char key) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!TerminalIsRaw()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ReadSome(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return ::write(master_, &key, 1) == 1;
}

void PtySession::Signal(int signalNumber) const { ::kill(child_, signalNumber); }

int PtySession::Finish() {
  if (child_ <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  int status = 0;
  while (true) {
    ReadSome(20);
    const pid_t ended = ::waitpid(child_, &status, WNOHANG);
    if (ended == child_) break;
    if (ended < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() > deadline) ::kill(child_, SIGKILL);
  }
  while (ReadSome(0)) {
  }
  child_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string PtySession::Output() const { return output_; }

}  // namespace e2e
