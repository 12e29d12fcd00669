// The command line of one run. Read-only once parsed.
#pragma once

#include <string>

namespace app {

struct Options {
  bool bitmapMode = false;         // -B: one BMP per image instead of one GAF per entry
  bool buildPicsOnly = false;      // -P: only three-frame 64x64 build pictures
  std::string pattern;             // -E: entry-name pattern; empty passes every entry
  bool yesToAll = false;           // -Y: overwrite without asking
  bool noToAll = false;            // -N: never overwrite
  std::string suffix = "_gadget";  // -S: put between entry name and ".GAF"
  std::string fileSpec = "*.gaf";  // the archives to take apart
};

// Fills `options` from the arguments after the program name. False means
// the usage text is to be shown; an error has then already been printed
// (for -? nothing is printed).
bool ParseOptions(int argc, const char* const* argv, Options& options);

void PrintUsage();

}  // namespace app
