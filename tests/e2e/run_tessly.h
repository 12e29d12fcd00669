// Runs the real tessly binary in a directory of its own and collects what
// it printed.
#pragma once

#include <sys/resource.h>

#include <string>
#include <vector>

#include "tests/support/files.h"

namespace e2e {

using fixture::Bytes;
using support::FilesIn;
using support::ReadBytes;
using support::TempDir;

inline const std::string kBanner = "Tessly 1.0 - GAF sprite archive extractor\n\n";

struct Run {
  std::string output;  // standard output
  int status = -1;     // exit status, or 128 + signal
};

// The command that runs Tessly: the binary built with the tests, unless
// --tessly="COMMAND WORDS" was given to the test program.
std::vector<std::string>& TesslyCommand();

// Limits for the child process; 0 leaves one unlimited.
struct Limits {
  rlim_t fileSize = 0;  // every write past this many bytes of a file fails
  rlim_t memory = 0;    // bytes of data memory it may take
};

// Runs Tessly in `directory` with no controlling terminal; `input` is its
// standard input, closed after it. Its standard error is the test's.
Run RunTessly(const std::string& directory, const std::vector<std::string>& args, const std::string& input = "",
              const Limits& limits = {});

// True when the tests run a build for another system (under Wine).
bool RunsAnotherSystem();

// True when no output file of this name can be created in the current
// directory: a name with a path separator, and on Windows also a name with
// a character that Windows file names cannot hold.
bool CannotBeAFileName(const std::string& name);

// The BMP file that an image of these top-down pixel rows must give.
Bytes ExpectedBmp(int width, const std::vector<Bytes>& rows);

}  // namespace e2e
