// Runs the real tessly binary, through the shell, in a directory of its own
// and collects what it printed and what it left there.
#pragma once

#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>

#include "tools/gaf_builder.h"

namespace e2e {

namespace fs = std::filesystem;
using fixture::Bytes, fixture::Image, fixture::PlainImage;

inline const std::string kBanner = "Tessly 1.0 - GAF sprite archive extractor\n\n";
inline const std::string kUsage = "Usage: Tessly [-B] [-P] [-E (pattern)] [-Y/N] [-S [suffix]] [filespec]\n\n"
      "-B\tOutput individual bitmaps instead of GAFs\n-P\tExtract only regular build pics (3 frames, all 64x64)\n"
      "-E\tExtract only Entries whose name matches (pattern)\n-Y\tAuto-answer all overwrite prompts with \"Yes\"\n"
      "-N\tAuto-answer all overwrite prompts with \"No\"\n-S\tUse [suffix] when composing GAF filenames instead of _gadget\n";
inline const Bytes kOld{'o', 'l', 'd'};  // what an output held before the run
inline std::string Question(const std::string& name) {
  return "  " + name + " already exists; Overwrite (Yes/No/All/Quit)? ";
}
inline std::string Exported(const std::string& name) { return "  Exported " + name + "\n"; }

// A fresh directory, removed with everything in it at the end of the test.
// It lies in the test's working directory, in the build tree, so that a
// test killed at its time-out leaves it where the next build cleans up.
struct TempDir {
  std::string path = ::mkdtemp((fs::current_path() / "tessly-XXXXXX").string().data());
  ~TempDir() { fs::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
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
  bool closedInput = false;                  // no standard input at all, not even an empty one
  int exitStatus = 0;                        // the status Tessly must end with
};

// Runs Tessly in `directory` in a session of its own, so without a terminal,
// and returns its standard output; it must end with `run.exitStatus`. A write past
// the size limit fails instead of ending the process. Tessly is killed when
// the test process dies, so that a test killed at its time-out leaves
// nothing running.
inline std::string RunTesslyOnce(const std::string& directory, const std::vector<std::string>& args,
                                 const RunOptions& run, int& status) {
  int in[2], out[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0) return "no pipe";
  status = -1;
  EXPECT_EQ(::write(in[1], run.input.data(), run.input.size()), static_cast<ssize_t>(run.input.size()));
  ::close(in[1]);
  if (run.closedOutput) ::close(out[0]);
  const std::string command = TesslyCommand(directory, args);
  const pid_t parent = ::getpid(), child = ::fork();
  if (child == 0) {
    ::setsid(), ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(126);
    ::dup2(out[1], 1), ::signal(SIGXFSZ, SIG_IGN), run.closedInput ? ::close(0) : ::dup2(in[0], 0);
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
  ::waitpid(child, &status, 0);
  return output;
}

// Every run prints the banner first, so a run with no output at all lost
// it: Wine now and then loses the output of a program that ends at once.
// Such a run is made again, once, under Wine only.
inline std::string RunTessly(const std::string& directory, const std::vector<std::string>& args,
                             const RunOptions& run = {}) {
  int status = -1;
  std::string output = RunTesslyOnce(directory, args, run, status);
  if (output.empty() && !run.closedOutput && std::getenv("TESSLY_COMMAND") != nullptr) {
    output = RunTesslyOnce(directory, args, run, status);
  }
  EXPECT_EQ(status, run.exitStatus << 8) << "exit status";
  return output;
}

// Every file in `directory` and the folders in it, by its path from there
// ("out/A00.BMP"), with its bytes (through a link, the bytes of the file it
// points at); a folder has none.
inline std::map<std::string, Bytes> FilesIn(const std::string& directory) {
  std::map<std::string, Bytes> files;
  for (const fs::directory_entry& item : fs::recursive_directory_iterator(directory)) {
    std::ifstream in(item.is_regular_file() ? item.path() : fs::path(), std::ios::binary);
    files[item.path().lexically_relative(directory).string()] = Bytes(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

// The path and the folders it lies in: "a/b/c" gives "a", "a/b" and "a/b/c".
inline void AddWithFolders(const std::string& path, std::set<std::string>& names) {
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    names.insert(path.substr(0, slash));
  }
  names.insert(path);
}

struct RunRow {
  std::map<std::string, Bytes> files;  // a name ending in '@' is a link to the bytes' name
  std::vector<std::string> args;
  RunOptions options;
  std::string output;                  // after the banner
  std::map<std::string, Bytes> after;  // files there afterwards; without bytes, any written by the run; a
                                       // BMP file without its colour table, which must be the documented one
};

// The name of a written file as the test sees it. The Windows build names
// files in the Windows code page, which Wine stores as UTF-8: a byte from
// 0xA0 up (the same character in Latin-1) becomes two.
inline std::string OnDisk(const std::string& name) {
  if (std::getenv("TESSLY_COMMAND") == nullptr) return name;
  std::string stored;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    stored += byte < 0x80 ? std::string(1, c) : std::string{char(0xC0 | byte >> 6), char(0x80 | (byte & 0x3F))};
  }
  return stored;
}

// The files that the report names in lines that start with `line`.
inline std::set<std::string> Reported(const std::string& output, const std::string& line) {
  std::set<std::string> names;
  for (std::size_t at = output.find(line); at != std::string::npos; at = output.find(line, at + 1)) {
    names.insert(output.substr(at + line.size(), output.find('\n', at) - at - line.size()));
  }
  return names;
}

// Runs the row and returns every file left in the directory: exactly the
// inputs, the files that the report names, and those the row lists. Each
// file reported as exported holds something new.
inline std::map<std::string, Bytes> ExpectRun(const RunRow& row) {
  TempDir dir;
  std::map<std::string, Bytes> after = row.after;
  for (const std::string& name : Reported(row.output, "  Exported ")) after.try_emplace(name);
  std::set<std::string> expected;
  for (const std::string& name : Reported(row.output, "  Failed to write ")) AddWithFolders(OnDisk(name), expected);
  for (const auto& [name, bytes] : after) AddWithFolders(OnDisk(name), expected);
  for (const auto& [name, bytes] : row.files) {
    const std::string path = dir / name.substr(0, name.size() - name.ends_with('@'));
    AddWithFolders(name.substr(0, name.size() - name.ends_with('@')), expected);
    fs::create_directories(fs::path(path).parent_path());
    name.ends_with('@') ? fs::create_symlink(std::string(bytes.begin(), bytes.end()), path)
                        : void(fixture::WriteFile(path, bytes));
  }
  EXPECT_EQ(RunTessly(dir.path, row.args, row.options), row.options.closedOutput ? "" : kBanner + row.output)
      << row.options.input;
  const std::map<std::string, Bytes> files = FilesIn(dir.path);
  std::set<std::string> found;
  for (const auto& [name, bytes] : files) found.insert(name);
  EXPECT_EQ(found, expected) << "the whole directory";
  for (const auto& [name, bytes] : after) {
    Bytes file = files.count(OnDisk(name)) != 0 ? files.at(OnDisk(name)) : Bytes{};
    if (name.ends_with(".BMP") && !bytes.empty() && file.size() >= 1078) {
      // FNV-1a of the 1024 bytes of the documented colours, stored blue, green, red, 0.
      std::uint64_t digest = 0xcbf29ce484222325;
      for (std::size_t i = 54; i < 1078; ++i) digest = (digest ^ file[i]) * 0x100000001b3;
      EXPECT_EQ(digest, 0x579cb54d9c596c6au) << name;
      file.erase(file.begin() + 54, file.begin() + 1078);
    }
    EXPECT_TRUE(bytes.empty() ? !file.empty() && file != kOld : file == bytes) << name;
  }
  return files;
}

}  // namespace e2e
