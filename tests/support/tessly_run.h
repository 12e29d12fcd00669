// Runs the real tessly binary, through the shell, in a directory of its own
// and collects what it printed and what it left there.
#pragma once

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>

#include "tools/gaf_builder.h"

namespace e2e {

namespace fs = std::filesystem;
using fixture::Bytes;

inline const std::string kBanner = "Tessly 1.0 - GAF sprite archive extractor\n\n";
inline const Bytes kOld{'o', 'l', 'd'};  // what an output held before the run
inline std::string Question(const std::string& name) {
  return "  " + name + " already exists; Overwrite (Yes/No/All/Quit)? ";
}
inline std::string Exported(const std::string& name) { return "  Exported " + name + "\n"; }

// A fresh directory, removed with everything in it at the end of the test.
struct TempDir {
  std::string path = ::mkdtemp((fs::temp_directory_path() / "tessly-XXXXXX").string().data());
  ~TempDir() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  void Write(const std::string& name, const Bytes& bytes) const { fixture::WriteFile(*this / name, bytes); }
};

// One shell word, whatever it holds.
inline std::string Quoted(const std::string& word) {
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The shell words that run Tessly with `args` in `directory`: TESSLY_COMMAND
// ("wine .../tessly.exe", for the Windows build) when it is set, else the
// binary built with the tests.
inline std::string TesslyCommand(const std::string& directory, const std::vector<std::string>& args) {
  const char* given = std::getenv("TESSLY_COMMAND");
  std::string command = "cd " + Quoted(directory) + " && exec " + (given != nullptr ? given : Quoted(TESSLY_BINARY));
  for (const std::string& word : args) command += " " + Quoted(word);
  return command;
}

struct RunOptions {
  std::string input;                         // standard input
  rlim_t fileSizeLimit = RLIM_INFINITY;      // in bytes: every write past it fails
  rlim_t memoryLimit = RLIM_INFINITY;        // in bytes of data memory
  bool closedOutput = false;                 // standard output is a pipe whose reader has gone
};

// Runs Tessly in `directory` in a session of its own, so without a terminal,
// and returns its standard output; it must end with status 0. A write past
// the size limit fails instead of ending the process. Tessly is killed when
// the test process dies, so that a test killed at its time-out leaves
// nothing running.
inline std::string RunTessly(const std::string& directory, const std::vector<std::string>& args,
                             const RunOptions& run = {}) {
  int in[2], out[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0) return "no pipe";
  EXPECT_EQ(::write(in[1], run.input.data(), run.input.size()), static_cast<ssize_t>(run.input.size()));
  ::close(in[1]);
  if (run.closedOutput) ::close(out[0]);
  const std::string command = TesslyCommand(directory, args);
  const pid_t parent = ::getpid(), child = ::fork();
  if (child == 0) {
    ::setsid(), ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(126);
    ::dup2(in[0], 0), ::dup2(out[1], 1), ::signal(SIGXFSZ, SIG_IGN);
    const std::pair<int, rlim_t> limits[] = {{RLIMIT_NOFILE, 1024}, {RLIMIT_FSIZE, run.fileSizeLimit},
                                             {RLIMIT_DATA, run.memoryLimit}};
    for (const auto& [resource, most] : limits) {
      const rlimit limit{most, most};
      ::setrlimit(resource, &limit);
    }
    ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr), ::_exit(127);
  }
  ::close(in[0]), ::close(out[1]);
  std::string output;
  char buffer[4096];
  for (ssize_t got; !run.closedOutput && (got = ::read(out[0], buffer, sizeof buffer)) > 0;) output.append(buffer, got);
  if (!run.closedOutput) ::close(out[0]);
  int status = -1;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(status, 0) << "exit status";
  return output;
}

// Every file in `directory` by name, with its bytes (through a link, the
// bytes of the file it points at); a directory has none.
inline std::map<std::string, Bytes> FilesIn(const std::string& directory) {
  std::map<std::string, Bytes> files;
  for (const fs::directory_entry& item : fs::directory_iterator(directory)) {
    std::ifstream in(item.is_regular_file() ? item.path() : fs::path(), std::ios::binary);
    files[item.path().filename().string()] = Bytes(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

}  // namespace e2e
