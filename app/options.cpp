#include "app/options.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "app/console_output.h"
#include "app/messages.h"
#include "base/ascii.h"
#include "base/file_names.h"
#include "platform/platform.h"
#include "tessly/palette_file.h"

namespace app {
namespace {

using namespace messages;

// The long options, compared with the whole argument without regard to
// case, and the letters that stand for them below.
constexpr std::pair<std::string_view, char> kLongOptions[] = {
    {"--PNG", 'p'},  {"--JSON", 'j'}, {"--HELP", 'h'},  {"--PALETTE", 'c'}, {"--PACK", 'k'},  {"--NEAREST", 'n'},
    {"--LIST", 'l'}, {"--GIF", 'g'},  {"--SHEET", 's'}, {"--CHECK", 'x'},   {"--DELAY", 'd'},
    {"--OUT", 'o'},  {"--WRITE-PALETTE", 'w'}, {"--DITHER", 't'}};

// The option letter of an argument that is exactly "-x" or "/x" (upper-cased),
// a lower-case letter for a long option, or 0 for an ordinary argument.
char OptionLetter(std::string_view argument) {
  for (const auto& [name, letter] : kLongOptions) {
    if (base::EqualsIgnoringCase(argument, name)) return letter;
  }
  if (argument.size() != 2 || (argument[0] != '-' && argument[0] != '/')) return 0;
  const char letter = base::AsciiUpper(argument[1]);
  switch (letter) {
    case '?':
    case 'B':
    case 'P':
    case 'Y':
    case 'N':
    case 'E':
    case 'S':
      return letter;
    default:
      return 0;
  }
}

// Options whose argument is still to come. A pending pattern or palette
// takes the next argument, before a pending suffix does.
struct Pending {
  bool pattern = false;
  bool palette = false;
  bool delay = false;
  bool out = false;
  bool paletteOutput = false;
  bool suffix = false;
  bool suffixSeen = false;  // -S was given, which --pack refuses
};

// An option ends a pending -S with an empty suffix.
void EndPendingSuffix(Pending& pending, Options& options) {
  if (pending.suffix) {
    options.suffix.clear();
    pending.suffix = false;
  }
}

bool Refuse(std::string_view message) {
  Print(message);
  return false;
}

// The line of a long option whose argument is still to come, or empty.
std::string_view LongOptionMissing(const Pending& pending) {
  if (pending.palette) return kPaletteRequiresFile;
  if (pending.delay) return kDelayRequiresNumber;
  if (pending.out) return kOutRequiresFolder;
  if (pending.paletteOutput) return kWritePaletteRequiresFile;
  return {};
}

// The common start of -B, -P, -Y and -N: a pattern or palette must not be
// pending, and a pending suffix becomes empty.
bool StartFlag(std::string_view patternMissing, Pending& pending, Options& options) {
  if (pending.pattern) return Refuse(patternMissing);
  if (const std::string_view missing = LongOptionMissing(pending); !missing.empty()) return Refuse(missing);
  EndPendingSuffix(pending, options);
  return true;
}

// The common start of -E, -S and --palette, which take the next argument.
bool StartArgumentOption(const Pending& pending) {
  if (pending.pattern) return Refuse(kPatternRequiredStarQuestionDot);
  const std::string_view missing = LongOptionMissing(pending);
  return missing.empty() || Refuse(missing);
}

// Hundredths of a second, 1 to 65535: what a GIF frame's delay holds.
bool TakeDelay(std::string_view argument, Options& options) {
  int delay = 0;
  for (const char c : argument) {
    if (c < '0' || c > '9' || delay > 65535) return Refuse(kDelayRequiresNumber);
    delay = delay * 10 + (c - '0');
  }
  if (argument.empty() || delay < 1 || delay > 65535) return Refuse(kDelayRequiresNumber);
  options.delay = delay;
  options.delayGiven = true;
  return true;
}

// An argument that is not an option: the pending pattern, else the pending
// suffix, else the filespec.
bool TakeArgument(std::string_view argument, Pending& pending, Options& options) {
  if (pending.pattern) {
    options.pattern = argument;
    pending.pattern = false;
  } else if (pending.palette) {
    options.paletteFile = argument;
    pending.palette = false;
  } else if (pending.delay) {
    pending.delay = false;
    return TakeDelay(argument, options);
  } else if (pending.out) {
    pending.out = false;
    if (argument.empty()) return Refuse(kOutRequiresFolder);
    options.outFolder = platform::FolderPrefix(argument);
  } else if (pending.paletteOutput) {
    pending.paletteOutput = false;
    tessly::PaletteForm form;
    if (!tessly::PaletteFormOf(argument, form)) return Refuse(kWritePaletteNeedsForm);
    options.paletteOutput = argument;
  } else if (pending.suffix) {
    pending.suffix = false;
    // A suffix goes into file names, which must not leave the folder.
    if (argument.find_first_of(base::kNotInWindowsNames) != std::string_view::npos) {
      return Refuse(kSuffixCannotContain);
    }
    options.suffix = argument;
  } else {
    options.fileSpec = argument;
    options.arguments.emplace_back(argument);
  }
  return true;
}

View ViewOf(char letter) {
  switch (letter) {
    case 'l':
      return View::List;
    case 'g':
      return View::Gif;
    case 's':
      return View::Sheet;
    default:
      return View::Check;
  }
}

// Takes one argument. False ends the parsing: the usage text is to be shown.
bool TakeOption(std::string_view argument, Pending& pending, Options& options) {
  switch (OptionLetter(argument)) {
    case '?':
    case 'h':
      return false;
    case 'B':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.bitmapMode = true;
      return true;
    case 'p':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.pngFiles = true;
      return true;
    case 'j':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.describeEntries = true;
      return true;
    case 'P':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.buildPicsOnly = true;
      return true;
    case 'Y':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      if (options.noToAll) return Refuse(kCannotSpecifyYesAndNo);
      options.yesToAll = true;
      return true;
    case 'N':
      if (!StartFlag(kPatternRequiredStarQuestionDot, pending, options)) return false;
      if (options.yesToAll) return Refuse(kCannotSpecifyYesAndNo);
      options.noToAll = true;
      return true;
    case 'E':
      if (!StartArgumentOption(pending)) return false;
      pending.pattern = true;
      return true;
    case 'S':
      if (!StartArgumentOption(pending)) return false;
      pending.suffix = pending.suffixSeen = true;
      return true;
    case 'c':
      if (!StartArgumentOption(pending)) return false;
      pending.palette = true;
      return true;
    case 'k':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.pack = true;
      return true;
    case 'n':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.nearest = true;
      return true;
    case 't':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      options.dither = true;
      return true;
    case 'o':
      if (!StartArgumentOption(pending)) return false;
      pending.out = true;
      return true;
    case 'w':
      if (!StartArgumentOption(pending)) return false;
      pending.paletteOutput = true;
      return true;
    case 'l':
    case 'g':
    case 's':
    case 'x':
      if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
      if (ViewOf(OptionLetter(argument)) != options.view) options.viewCount += 1;
      options.view = ViewOf(OptionLetter(argument));
      return true;
    case 'd':
      if (!StartArgumentOption(pending)) return false;
      pending.delay = true;
      return true;
    default:
      return TakeArgument(argument, pending, options);
  }
}

Parsed Refused(std::string_view message) {
  Print(message);
  return Parsed::Usage;
}

// --pack takes an archive and descriptions, and none of the options of taking apart.
bool PackOptionsUsable(const Options& options, const Pending& pending) {
  if (options.ImageMode() || options.describeEntries || options.buildPicsOnly || pending.suffixSeen) {
    return Refuse(kPackCannotTake);
  }
  return options.arguments.size() >= 2 || Refuse(kPackNeedsFiles);
}

}  // namespace

Parsed ParseOptions(int argc, const char* const* argv, Options& options) {
  Pending pending;
  for (int i = 1; i < argc; ++i) {
    if (TakeOption(argv[i], pending, options)) continue;
    return OptionLetter(argv[i]) == 'h' ? Parsed::Help : Parsed::Usage;
  }
  // A final -E or --palette has nothing to take; a final -S gives an empty suffix.
  if (pending.pattern) {
    Print(kPatternRequiredStarQuestion);
    return Parsed::Usage;
  }
  if (const std::string_view missing = LongOptionMissing(pending); !missing.empty()) return Refused(missing);
  EndPendingSuffix(pending, options);
  // One mode a run: -B or --png (with --json), --pack, --write-palette, or one of the views.
  const bool writesPalette = !options.paletteOutput.empty();
  const bool otherThanView = options.pack || options.ImageMode() || options.describeEntries;
  if (options.viewCount > 1 || (options.view != View::None && otherThanView) ||
      (writesPalette && (options.view != View::None || otherThanView))) {
    return Refused(kOneModeOnly);
  }
  if (writesPalette && !options.arguments.empty()) return Refused(kWritePaletteTakesNoFile);
  if (options.delayGiven && options.view != View::Gif && options.view != View::Sheet) return Refused(kDelayNeedsGif);
  // Checked once every argument is read, so "--json -B" is fine.
  if (options.nearest && options.dither) return Refused(kNearestOrDither);
  if (options.pack) return PackOptionsUsable(options, pending) ? Parsed::Run : Parsed::Usage;
  if (options.describeEntries && !options.ImageMode()) return Refused(kJsonNeedsImages);
  if (options.nearest) return Refused(kNearestNeedsPack);
  if (options.dither) return Refused(kDitherNeedsPack);
  return Parsed::Run;
}

void PrintUsage(bool longOptions) {
  Print(kUsage);
  if (longOptions) Print(kLongOptionsHelp);
}

}  // namespace app
