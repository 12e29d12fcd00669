#include "app/output_file.h"

#include "app/console_output.h"

namespace app {
namespace {

OutputStatus Create(const std::string& target, std::string_view cannotOpen, platform::File& out) {
  if (platform::CreateOutput(target, out)) return OutputStatus::Open;
  PrintWith(cannotOpen, target);
  return OutputStatus::CannotOpen;
}

}  // namespace

OutputStatus OpenOutput(const std::string& target, std::string_view cannotOpen, OverwriteState& state,
                        platform::File& out) {
  // Creating the file only if it is new answers the existence test and
  // creates the file at once.
  if (platform::CreateNewOutput(target, out)) return OutputStatus::Open;
  switch (AskOverwrite(target, state)) {
    case OverwriteDecision::Write:
      return Create(target, cannotOpen, out);
    case OverwriteDecision::Declined:
      return OutputStatus::Declined;
    case OverwriteDecision::Skipped:
      return OutputStatus::Skipped;
    case OverwriteDecision::Quit:
      break;
  }
  return OutputStatus::Quit;
}

}  // namespace app
