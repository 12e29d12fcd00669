// Runs tessly with a pseudo-terminal as its controlling terminal, so that
// the overwrite question reads its keys from a terminal as it would for a
// user.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

class PtySession {
 public:
  // `stdinText`, when given, is the child's standard input instead of the
  // terminal (closed after it).
  PtySession(const std::string& directory, const std::vector<std::string>& args,
             const std::string* stdinText = nullptr);
  ~PtySession();
  PtySession(const PtySession&) = delete;
  PtySession& operator=(const PtySession&) = delete;

  // Waits until `text` appears in the output after what earlier waits
  // consumed. False after a few seconds without it.
  bool WaitFor(const std::string& text);

  // Waits until the program reads single keys, then types `key`.
  bool Type(char key);

  // True while the terminal is in its ordinary line mode with echo.
  bool TerminalIsInLineMode() const;

  void Signal(int signalNumber) const;

  // Waits for the program to end; returns its exit status, or 128 + signal.
  int Finish();

  // Everything printed on the terminal so far, "\r\n" turned into "\n".
  std::string Output() const;

 private:
  bool ReadSome(int timeoutMs);
  bool TerminalIsRaw() const;

  int master_ = -1;
  int slave_ = -1;  // kept open to look at the terminal's settings
  pid_t child_ = -1;
  std::string output_;
  std::size_t consumed_ = 0;
};

}  // namespace e2e
