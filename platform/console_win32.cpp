// Win32 console key: one key from the console's input (CONIN$), also when
// standard input is redirected, echoed to the console. The console's input
// mode is put back on every path, Ctrl-C and closing the window included.
#include <windows.h>

#include <string_view>

#include "platform/platform.h"

namespace platform {
namespace {

HANDLE gConsoleInput = INVALID_HANDLE_VALUE;
DWORD gSavedMode = 0;

BOOL WINAPI RestoreOnExit(DWORD) {
  if (gConsoleInput != INVALID_HANDLE_VALUE) SetConsoleMode(gConsoleInput, gSavedMode);
  return FALSE;  // and let the default handler end the process
}

// Keys one at a time, without the console's own echo or waiting for Enter.
class SingleKeyMode {
 public:
  explicit SingleKeyMode(HANDLE input) {
    if (!GetConsoleMode(input, &gSavedMode)) return;
    gConsoleInput = input;
    SetConsoleCtrlHandler(RestoreOnExit, TRUE);
    SetConsoleMode(input, gSavedMode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT));
  }
  ~SingleKeyMode() {
    if (gConsoleInput == INVALID_HANDLE_VALUE) return;
    SetConsoleMode(gConsoleInput, gSavedMode);
    SetConsoleCtrlHandler(RestoreOnExit, FALSE);
    gConsoleInput = INVALID_HANDLE_VALUE;
  }
  SingleKeyMode(const SingleKeyMode&) = delete;
  SingleKeyMode& operator=(const SingleKeyMode&) = delete;
};

// The character of the next key pressed; keys without one (arrows, Shift)
// are passed over.
int ReadKeyEvent(HANDLE input) {
  while (true) {
    INPUT_RECORD record;
    DWORD got = 0;
    if (!ReadConsoleInputA(input, &record, 1, &got) || got == 0) return -1;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown && record.Event.KeyEvent.uChar.AsciiChar != 0) {
      return static_cast<unsigned char>(record.Event.KeyEvent.uChar.AsciiChar);
    }
  }
}

// Control characters are not echoed: Enter or Escape would move the cursor
// off the prompt line.
void Echo(HANDLE output, int key) {
  if (key < 0x20 || key == 0x7F) return;
  const char character = static_cast<char>(key);
  DWORD wrote = 0;
  WriteFile(output, &character, 1, &wrote, nullptr);
}

int ReadStandardInputKey() {
  char byte;
  DWORD got = 0;
  if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) || got == 0) return -1;
  const int key = static_cast<unsigned char>(byte);
  Echo(GetStdHandle(STD_OUTPUT_HANDLE), key);
  return key;
}

HANDLE OpenConsoleOutput() {
  return CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, 0, nullptr);
}

}  // namespace

int ReadConsoleKey() {
  const HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
  DWORD mode = 0;
  if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) {
    // No console at all: the key comes from standard input instead.
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    return ReadStandardInputKey();
  }
  int key;
  {
    SingleKeyMode singleKeys(input);
    key = ReadKeyEvent(input);
  }
  CloseHandle(input);
  const HANDLE output = OpenConsoleOutput();
  if (output != INVALID_HANDLE_VALUE) {
    if (key >= 0) Echo(output, key);
    CloseHandle(output);
  }
  return key;
}

void MirrorToConsole(std::string_view text) {
  // Standard output is the console when the console accepts a mode for it.
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return;
  const HANDLE output = OpenConsoleOutput();
  if (output == INVALID_HANDLE_VALUE) return;
  DWORD wrote = 0;
  WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
  CloseHandle(output);
}

}  // namespace platform
