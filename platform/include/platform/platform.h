// The operating-system services that the program needs beyond reading
// files (platform/files.h, which the library uses too): the process, the
// console, wildcard search and output files. One implementation per system
// sits beside this header; no other file calls the operating system
// directly.
//
// What differs between the systems:
// - Found names come sorted on Linux (letters compared without regard to
//   case, ties by the bytes) and in the file system's own order on Windows.
// - An output name is a bare name in the current directory. It cannot hold
//   '/' or '\' anywhere; on Windows not ':' either, nor anything else that
//   Windows file names cannot hold, and a device name such as CON is no file.
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

// True when a file that could be replaced stands at the output name. A name
// that cannot be an output, a directory and a symbolic link are not such
// files: creating them fails without a question.
bool OutputExists(const std::string& name);

// Creates the output file, or empties it when it exists. A name that is a
// directory or a symbolic link is refused, and the link is left untouched.
bool CreateOutput(const std::string& name, File& file);

// Removes an output file that this run created and could not finish.
bool RemoveOutput(const std::string& name);

// Puts the finished output `from` in the place of `to`, which it replaces
// whole or not at all.
bool ReplaceOutput(const std::string& from, const std::string& to);

// Creates the output file only when nothing of that name exists yet.
bool CreateNewOutput(const std::string& name, File& file);

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
