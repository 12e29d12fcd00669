#include "app/archives.h"

#include <set>
#include <utility>
#include <vector>

#include "app/console_output.h"
#include "app/messages.h"
#include "platform/platform.h"

namespace app {

bool ForEachArchive(const Options& options,
                    const std::function<bool(const std::string& path, const std::string& name)>& each) {
  // Tessly's own modes take every filespec, in order; -B and the split, as
  // ever, the last one alone.
  std::vector<std::string> fileSpecs{options.fileSpec};
  if (options.EveryFileSpec() && !options.arguments.empty()) fileSpecs = options.arguments;
  // Every name is found before the first archive is opened. The names are
  // bare; they are opened in the directory they were found in, each path once.
  std::vector<std::pair<std::string, std::string>> archives;
  std::set<std::string> seen;
  bool everyFound = true;
  for (const std::string& fileSpec : fileSpecs) {
    std::vector<std::string> names;
    platform::FindMatchingNames(fileSpec, names);
    if (names.empty()) {
      everyFound = false;
      fileSpecs.size() == 1 ? Print(messages::kFileNotFound) : PrintWith(messages::kFileSpecNotFound, fileSpec);
    }
    const std::string directory = platform::DirectoryPart(fileSpec);
    for (const std::string& name : names) {
      if (seen.insert(directory + name).second) archives.emplace_back(directory + name, name);
    }
  }
  for (const auto& [path, name] : archives) {
    PrintWith(messages::kArchiveName, name);
    if (!each(path, name)) break;
  }
  return everyFound;
}

}  // namespace app
