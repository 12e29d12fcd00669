#include "app/overwrite.h"

#include <string_view>

#include "app/console_output.h"
#include "platform/platform.h"

namespace app {
namespace {

constexpr std::string_view kSkipping = "  %s already exists; skipping\n";
constexpr std::string_view kQuestion = "  %s already exists; Overwrite (Yes/No/All/Quit)? ";

}  // namespace

OverwriteDecision AskOverwrite(const std::string& target, Options& options) {
  if (!platform::OutputExists(target)) return OverwriteDecision::Write;
  if (options.noToAll) {
    PrintWith(kSkipping, target);
    return OverwriteDecision::Skipped;
  }
  if (options.yesToAll) return OverwriteDecision::Write;

  PrintWith(kQuestion, target);
  while (true) {
    FlushOutput();
    const int key = platform::ReadConsoleKey();
    switch (key) {
      case 'A':
      case 'a':
        options.yesToAll = true;
        Print("\n");
        return OverwriteDecision::Write;
      case 'Y':
      case 'y':
        Print("\n");
        return OverwriteDecision::Write;
      case 'N':
      case 'n':
      case -1:  // no key can ever come: never overwrite without an answer
        Print("\n");
        return OverwriteDecision::Declined;
      case 'Q':
      case 'q':
        return OverwriteDecision::Quit;
      default:
        break;  // echoed, and the question waits for an answer key
    }
  }
}

}  // namespace app
