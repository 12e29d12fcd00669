// The operating-system services that the program needs beyond reading
// files (platform/files.h, which the library uses too): the process, the
// console, wildcard search and output files. One implementation per system
// sits beside this header; no other file calls the operating system
// directly.
//
// What differs between the systems:
// - Found names come sorted on Linux (letters compared without regard to
//   case, ties by the bytes) and in the file system's own order on Windows.
// - An output's name is a bare name in its folder. It cannot hold '/' or
//   '\' anywhere; on Windows not ':' either, nor anything else that Windows
//   file names cannot hold, and a device name such as CON is no file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace platform {

// Settings the whole run needs, made once at the start of main. A closed
// standard output must not end the run: messages are a report, the files
// are the work (on Linux SIGPIPE is ignored, and a standard descriptor
// that is not open is opened on /dev/null, so that no file takes its
// number, and freed memory up to 4 MiB is kept for the next file rather
// than given back at once). On Windows, standard output is binary, so "\n" stays one byte,
// and the C runtime does not expand wildcards in the arguments: the
// filespec is Tessly's to expand.
void PrepareProcess();

// Asks that the memory from `start` on, `size` bytes, be given in large
// pages where the system can, so that filling a large buffer costs few
// page faults. Only a hint.
void PreferLargePages(void* start, std::size_t size);

// Appends to `names` the bare names in the directory that `fileSpec` names
// (the current directory when it names none) whose names match its last
// component: '*' any run of characters, '?' any one, ASCII letters compared
// without regard to case. Directories are included, "." and ".." are not.
void FindMatchingNames(std::string_view fileSpec, std::vector<std::string>& names);

// The directory part of a filespec, ready to have a found name
// appended ("data/" for "data/*.gaf", "" for "*.gaf").
std::string DirectoryPart(std::string_view fileSpec);

// True for a path that does not start from the current directory: "/x"
// (and on Windows "\\x", "C:x" and "C:\\x").
bool IsAbsolutePath(std::string_view path);

// The folder as a prefix of the names in it: "" stays "", "out" becomes
// "out/" (on Windows a trailing ':' or '\\' also ends a folder, and a path
// written with backslashes alone gets one: "C:\\out" becomes "C:\\out\\").
std::string FolderPrefix(std::string_view folder);

// Makes the folder and the folders it lies in where they are missing.
// True when it stands as a folder afterwards (a link to one is followed:
// the path is the user's).
bool MakeFolders(const std::string& folder);

// Where an output file goes: a folder the user named, as a prefix
// ("" for the current one), and the file's bare name in it, which can
// never lead out of it. Links in the folder's path are followed; the file
// itself is never written through a link.
struct OutputName {
  std::string folder;
  std::string name;
  std::string Path() const { return folder + name; }
};

// A path the user gave for an output, split into its folder and name.
inline OutputName SplitOutputPath(std::string_view path) {
  std::string folder = DirectoryPart(path);
  return {folder, std::string(path.substr(folder.size()))};
}

// True when a file that could be replaced stands at the output name. A name
// that cannot be an output, a directory and a symbolic link are not such
// files: creating them fails without a question.
bool OutputExists(const OutputName& output);

// Creates the output file, or empties it when it exists. A name that is a
// directory or a symbolic link is refused, and the link is left untouched.
bool CreateOutput(const OutputName& output, File& file);

// Removes an output file that this run created and could not finish.
bool RemoveOutput(const OutputName& output);

// Puts the finished output `from` in the place of `to`, which it replaces
// whole or not at all.
bool ReplaceOutput(const OutputName& from, const OutputName& to);

// Creates the output file only when nothing of that name exists yet.
bool CreateNewOutput(const OutputName& output, File& file);

// Writes all `count` bytes; anything less is a failure.
bool WriteAll(File& file, const void* bytes, std::size_t count);

// Waits for one key at the console, also when standard input is redirected,
// echoes it there and returns its character. Without a console the key comes
// from standard input and is echoed to standard output. Returns -1 when no
// key can ever come.
int ReadConsoleKey();

// Writes `text` on the console when standard output goes elsewhere (a file,
// a pipe), so that a question whose key is read at the console is seen
// there too. Does nothing without a console.
void MirrorToConsole(std::string_view text);

}  // namespace platform
