#include "export/output_file.h"

#include "app/overwrite.h"

namespace exporter {

OutputStatus OpenOutput(const std::string& target, app::Options& options, platform::File& out) {
  // Creating the file only if it is new answers the existence test and
  // creates the file at once.
  if (platform::CreateNewOutput(target, out)) return OutputStatus::Open;
  switch (app::AskOverwrite(target, options)) {
    case app::OverwriteDecision::Write:
      return platform::CreateOutput(target, out) ? OutputStatus::Open : OutputStatus::CannotOpen;
    case app::OverwriteDecision::Declined:
      return OutputStatus::Declined;
    case app::OverwriteDecision::Skipped:
      return OutputStatus::Skipped;
    case app::OverwriteDecision::Quit:
      break;
  }
  return OutputStatus::Quit;
}

}  // namespace exporter
