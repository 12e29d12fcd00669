#include "app/archives.h"

#include <vector>

#include "app/console_output.h"
#include "app/messages.h"
#include "platform/platform.h"

namespace app {

bool ForEachArchive(const Options& options, const std::function<bool(const std::string& path, const std::string& name)>& each) {
  std::vector<std::string> names;
  platform::FindMatchingNames(options.fileSpec, names);
  if (names.empty()) {
    Print(messages::kFileNotFound);
    return false;
  }
  // The names are bare; they are opened in the directory they were found in.
  const std::string directory = platform::DirectoryPart(options.fileSpec);
  for (const std::string& name : names) {
    PrintWith(messages::kArchiveName, name);
    if (!each(directory + name, name)) break;
  }
  return true;
}

}  // namespace app
