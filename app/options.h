// The command line of one run. Read-only once parsed.
#pragma once

#include <string>
#include <vector>

namespace app {

// The modes that look at archives without taking them apart.
enum class View {
  None,
  List,   // --list: a line for every entry, frame and subframe
  Gif,    // --gif: NAME.gif, the entry's frames as an animation
  Sheet,  // --sheet: NAME.sheet.png and NAME.sheet.json, a sprite sheet and its atlas
  Check,  // --check: what is damaged or off in each archive
};

struct Options {
  bool bitmapMode = false;         // -B: one BMP per image instead of one GAF per entry
  bool pngFiles = false;           // --png: image mode, with PNG files instead of BMP files
  bool describeEntries = false;    // --json: with images, also a JSON description of each entry
  bool buildPicsOnly = false;      // -P: only three-frame 64x64 build pictures
  std::string pattern;             // -E: entry-name pattern; empty passes every entry
  bool yesToAll = false;           // -Y: overwrite without asking
  bool noToAll = false;            // -N: never overwrite
  std::string suffix = "_gadget";  // -S: put between entry name and ".GAF"
  std::string fileSpec = "*.gaf";  // the archives to take apart
  std::string paletteFile;         // --palette: the colours of BMP and PNG files; empty for the built-in ones
  bool pack = false;               // --pack: build an archive from descriptions and images
  bool nearest = false;            // --nearest: a colour the palette lacks becomes the nearest one
  bool dither = false;             // --dither: such colours are dithered (Floyd-Steinberg) instead
  std::string outFolder;           // --out: the folder outputs go in, as a prefix; empty for the current one
  std::string paletteOutput;       // --write-palette: the file to write the palette in force to
  View view = View::None;
  int viewCount = 0;               // how many of the view options were given
  int delay = 7;                   // --delay: hundredths of a second a GIF frame shows
  bool delayGiven = false;
  // Every argument that is not an option nor taken by one, in order: with
  // --pack the archive and then the descriptions.
  std::vector<std::string> arguments;

  // One file per image (-B or --png) rather than one GAF file per entry.
  bool ImageMode() const { return bitmapMode || pngFiles; }
  // Tessly's own modes read every filespec given; -B and the split only the last.
  bool EveryFileSpec() const { return pngFiles || view != View::None; }
};

enum class Parsed {
  Run,    // `options` are complete
  Usage,  // an error, already printed, or -?: show the usage text
  Help,   // --help: show the usage text and the long options
};

// Fills `options` from the arguments after the program name.
Parsed ParseOptions(int argc, const char* const* argv, Options& options);

// The usage text; with `longOptions`, followed by a line for each long option.
void PrintUsage(bool longOptions = false);

}  // namespace app
