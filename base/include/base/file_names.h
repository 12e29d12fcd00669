// What a file's name may hold. Bytes that separate folders take a name out
// of the folder it is written in; Windows file names hold none of a few
// more bytes, nor the names it keeps for devices.
#pragma once

#include <algorithm>
#include <string_view>

#include "base/ascii.h"

namespace base {

constexpr std::string_view kFolderSeparators = "/\\";
constexpr std::string_view kNotInWindowsNames = "<>:\"/\\|?*";

inline bool HoldsFolderSeparator(std::string_view name) {
  return name.find_first_of(kFolderSeparators) != std::string_view::npos;
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, with or without an extension.
inline bool IsWindowsDeviceName(std::string_view name) {
  const std::string_view stem = name.substr(0, name.find('.'));
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
    if (EqualsIgnoringCase(stem, device)) return true;
  }
  return stem.size() == 4 && (EqualsIgnoringCase(stem.substr(0, 3), "COM") || EqualsIgnoringCase(stem.substr(0, 3), "LPT")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

inline bool CanNameWindowsFile(std::string_view name) {
  if (name.empty() || IsWindowsDeviceName(name)) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || kNotInWindowsNames.find(c) != std::string_view::npos;
  });
}

}  // namespace base
