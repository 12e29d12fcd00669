#include "tests/e2e/run_tessly.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "bmp/palette.h"

namespace e2e {
namespace {

void WriteAllTo(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) return;
    done += static_cast<std::size_t>(wrote);
  }
}

}  // namespace

std::vector<std::string>& TesslyCommand() {
  static std::vector<std::string> command{TESSLY_BINARY};
  return command;
}

Run RunTessly(const std::string& directory, const std::vector<std::string>& args, const std::string& input,
              const Limits& limits) {
  int toChild[2], fromChild[2];
  if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return {};
  std::vector<std::string> words = TesslyCommand();
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setsid();  // no controlling terminal: keys come from standard input
    ::dup2(toChild[0], 0);
    ::dup2(fromChild[1], 1);
    if (limits.fileSize > 0) {
      // Writes past the limit then fail instead of ending the process.
      std::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{limits.fileSize, limits.fileSize};
      ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (limits.memory > 0) {
      const rlimit limit{limits.memory, limits.memory};
      ::setrlimit(RLIMIT_DATA, &limit);
    }
    ::close(toChild[0]);
    ::close(toChild[1]);
    ::close(fromChild[0]);
    ::close(fromChild[1]);
    if (::chdir(directory.c_str()) != 0) ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  std::signal(SIGPIPE, SIG_IGN);
  WriteAllTo(toChild[1], input);
  ::close(toChild[1]);

  Run run;
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(fromChild[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    run.output.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fromChild[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  // Tessly ends with status 0 on every path; anything else is a crash or a
  // sanitizer's report.
  EXPECT_EQ(run.status, 0) << "tessly " << ::testing::PrintToString(args);
  return run;
}

bool RunsAnotherSystem() { return TesslyCommand().size() > 1; }

bool CannotBeAFileName(const std::string& name) {
  if (name.find_first_of("/\\") != std::string::npos) return true;
  if (!RunsAnotherSystem()) return false;
  return name.find_first_of("<>:\"|?*") != std::string::npos ||
         std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

Bytes ExpectedBmp(int width, const std::vector<Bytes>& rows) {
  const int height = static_cast<int>(rows.size());
  const int stride = (width + 3) / 4 * 4;
  Bytes bmp(54);
  auto put32 = [&](std::size_t at, std::uint32_t value) { fixture::PutU32(bmp, at, value); };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<std::uint32_t>(1078 + stride * height));
  put32(10, 1078);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  fixture::PutU16(bmp, 26, 1);
  fixture::PutU16(bmp, 28, 8);
  put32(46, 256);
  put32(50, 256);
  bmp.insert(bmp.end(), bmp::BuiltInPalette.begin(), bmp::BuiltInPalette.end());
  for (int y = height - 1; y >= 0; --y) {
    Bytes row = rows[static_cast<std::size_t>(y)];
    row.resize(static_cast<std::size_t>(stride), 0);
    bmp.insert(bmp.end(), row.begin(), row.end());
  }
  return bmp;
}

}  // namespace e2e

// --tessly="wine tessly.exe" runs the suite against another build.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--tessly=", 0) == 0) {
      std::istringstream words(argument.substr(9));
      e2e::TesslyCommand().clear();
      for (std::string word; words >> word;) e2e::TesslyCommand().push_back(word);
    }
  }
  return RUN_ALL_TESTS();
}
