#include "app/options.h"

#include <string_view>

#include "app/console_output.h"
#include "app/messages.h"
#include "base/ascii.h"

namespace app {
namespace {

using namespace messages;

constexpr std::string_view kForbiddenSuffixCharacters = "\\/:*?\"<>|";

// The option letter of an argument that is exactly "-x" or "/x" (upper-cased),
// or 0 for an ordinary argument.
char OptionLetter(std::string_view argument) {
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

struct Pending {
  bool pattern = false;
  bool suffix = false;
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

// The common start of -B, -P, -Y and -N: a pattern must not be pending, and
// a pending suffix becomes empty.
bool StartFlag(std::string_view patternMissing, Pending& pending, Options& options) {
  if (pending.pattern) return Refuse(patternMissing);
  EndPendingSuffix(pending, options);
  return true;
}

// An argument that is not an option: the pending pattern, else the pending
// suffix, else the filespec.
bool TakeArgument(std::string_view argument, Pending& pending, Options& options) {
  if (pending.pattern) {
    options.pattern = argument;
    pending.pattern = false;
  } else if (pending.suffix) {
    pending.suffix = false;
    if (argument.find_first_of(kForbiddenSuffixCharacters) != std::string_view::npos) {
      return Refuse(kSuffixCannotContain);
    }
    options.suffix = argument;
  } else {
    options.fileSpec = argument;
  }
  return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& options) {
  Pending pending;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    switch (OptionLetter(argument)) {
      case '?':
        return false;
      case 'B':
        if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
        options.bitmapMode = true;
        break;
      case 'P':
        if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
        options.buildPicsOnly = true;
        break;
      case 'Y':
        if (!StartFlag(kPatternRequiredStarQuestion, pending, options)) return false;
        if (options.noToAll) return Refuse(kCannotSpecifyYesAndNo);
        options.yesToAll = true;
        break;
      case 'N':
        if (!StartFlag(kPatternRequiredStarQuestionDot, pending, options)) return false;
        if (options.yesToAll) return Refuse(kCannotSpecifyYesAndNo);
        options.noToAll = true;
        break;
      case 'E':
        if (pending.pattern) return Refuse(kPatternRequiredStarQuestionDot);
        pending.pattern = true;
        break;
      case 'S':
        if (pending.pattern) return Refuse(kPatternRequiredStarQuestionDot);
        pending.suffix = true;
        break;
      default:
        if (!TakeArgument(argument, pending, options)) return false;
        break;
    }
  }
  // A final -E has no pattern to take; a final -S gives an empty suffix.
  if (pending.pattern) return Refuse(kPatternRequiredStarQuestion);
  EndPendingSuffix(pending, options);
  return true;
}

void PrintUsage() { Print(kUsage); }

}  // namespace app
