#include "app/overwrite.h"

#include "app/console_output.h"
#include "app/messages.h"
#include "platform/platform.h"

namespace app {
namespace {

// The line end after an answer, on standard output and, when that is not
// the console, on the console where the question was shown.
void EndAnswerLine() {
  Print(messages::kAnswerEnd);
  platform::MirrorToConsole(messages::kAnswerEnd);
}

}  // namespace

OverwriteDecision AskOverwrite(const platform::OutputName& target, OverwriteState& state) {
  if (!platform::OutputExists(target)) return OverwriteDecision::Write;
  if (state.noToAll) {
    PrintWith(messages::kAlreadyExistsSkipping, target.Path());
    return OverwriteDecision::Skipped;
  }
  if (state.yesToAll) return OverwriteDecision::Write;

  const std::string question = Formatted(messages::kAlreadyExistsOverwrite, target.Path());
  Print(question);
  FlushOutput();
  platform::MirrorToConsole(question);
  while (true) {
    switch (platform::ReadConsoleKey()) {
      case 'A':
      case 'a':
        state.yesToAll = true;
        EndAnswerLine();
        return OverwriteDecision::Write;
      case 'Y':
      case 'y':
        EndAnswerLine();
        return OverwriteDecision::Write;
      case 'N':
      case 'n':
      case -1:  // no key can ever come: never overwrite without an answer
        EndAnswerLine();
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
