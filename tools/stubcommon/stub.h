// Common ground of the stand-in programs (navstub, atlasstub, the players, ...).
//
// Message log: every window of a stand-in is watched, and each message it
// receives becomes one line of the log file given by --log:
//     time_ms window_name message wParam lParam sent|posted
// time_ms is GetTickCount64() (one clock for every process, so logs of several
// stand-ins can be compared), message and wParam are decimal, lParam is hex
// (0x...). "posted" means the message came out of the stand-in's queue through
// runMessageLoop(); "sent" means it was sent, from another process, another
// thread or the window system itself. Besides messages a stand-in writes
// events, lines whose third field is the word "event":
//     time_ms window_name event free text
// Each line is written and flushed at once, so a test can read the log live.
//
// Switches: --name value, --name=value, or a bare --flag; a switch given twice
// keeps every value (values()) and the last one wins for value().
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace stub {

class Args {
 public:
  explicit Args(std::vector<std::string> words);  // the words after the program name
  static Args fromProcess();                       // this process's command line

  bool has(std::string_view name) const;  // name without the leading "--"
  std::string value(std::string_view name, std::string_view fallback = {}) const;
  std::vector<std::string> values(std::string_view name) const;
  // Whole decimal number (sign allowed); anything else gives the fallback.
  long long integer(std::string_view name, long long fallback) const;
  double number(std::string_view name, double fallback) const;
  // Switches given that are not in the list (to report typos in the log).
  std::vector<std::string> unknown(std::initializer_list<std::string_view> known) const;

 private:
  struct Switch {
    std::string name;
    std::string value;
  };
  std::vector<Switch> switches_;
};

#ifdef _WIN32
// Opens the log for appending; an empty path turns logging off.
void openLog(const std::string& path);
void logMessage(HWND hwnd, const char* window, UINT message, WPARAM wParam, LPARAM lParam);
// printf-style event line.
void logEvent(const char* window, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Logs the switches that `known` does not list as "event unknown switch --x".
void reportUnknownSwitches(const Args& args, std::initializer_list<std::string_view> known);

// Registers an ANSI window class with an arrow cursor, the default icon and
// a system-colour background (COLOR_WINDOW, COLOR_BTNFACE, ...).
void registerWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, int background = COLOR_WINDOW);

// Subclasses a window (own class or common control) so that every message it
// receives from now on is logged under `name` before its own procedure runs.
void watchWindow(HWND hwnd, const char* name);

// The stand-in's message loop; it remembers the message it dispatches so that
// the log can tell posted from sent messages. Returns the WM_QUIT code.
int runMessageLoop();
#endif

}  // namespace stub
