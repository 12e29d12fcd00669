// Runs the real tessly binary, through the shell, in a directory of its own
// and collects what it printed and what it left there.
#pragma once

#include <gtest/gtest.h>

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
  std::string input;                        // standard input
  std::string fileSizeLimit = "unlimited";  // in 512-byte blocks: every write past it fails
  std::string memoryLimit = "unlimited";    // in KiB of data memory
  bool closedOutput = false;                // standard output is a pipe whose reader has gone
};

// Runs Tessly in `directory` in a session of its own, so without a terminal,
// and returns its standard output; it always ends with status 0. A write
// past the size limit fails instead of ending the process. The shell adds a
// line with the exit status, on its own standard output.
inline std::string RunTessly(const std::string& directory, const std::vector<std::string>& args,
                             const RunOptions& run = {}) {
  const std::string command = "exec 3>&1; trap '' XFSZ; ulimit -n 1024; ulimit -f " + run.fileSizeLimit +
                              "; ulimit -d " + run.memoryLimit + "; (printf %s " + Quoted(run.input) +
                              " | setsid -w sh -c " + Quoted(TesslyCommand(directory, args)) + "; echo \" $?\" >&3)" +
                              (run.closedOutput ? " | :" : "");
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
  ::pclose(pipe);
  EXPECT_EQ(output.substr(output.rfind(' ')), " 0\n") << "exit status";
  return output.erase(output.rfind(' '));
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
