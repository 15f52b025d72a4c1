// The Win32 adapters behind the ports that do not belong to the toolbar
// window itself.
#pragma once

#include <string>

#include "platform/ports.h"

namespace tabiro {

class Win32Desktop : public Desktop {
 public:
  WindowHandle findWindow(const char* className, const char* title) override;
  WindowHandle findChild(WindowHandle parent, WindowHandle after, const char* className,
                         const char* title) override;
  std::vector<WindowHandle> topLevelWindows() override;
  WindowHandle firstChild(WindowHandle window) override;
  WindowHandle nextSibling(WindowHandle window) override;
  WindowHandle dialogItem(WindowHandle dialog, int id) override;
  bool exists(WindowHandle window) override;
  std::string windowText(WindowHandle window, int maxChars) override;
  std::intptr_t send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  void post(WindowHandle target, unsigned message, std::uintptr_t wParam,
            std::intptr_t lParam) override;
  void setForeground(WindowHandle window) override;
  void bringToTop(WindowHandle window) override;
  void show(WindowHandle window, int showMode) override;
  ScreenRect windowRect(WindowHandle window) override;
  void moveWindow(WindowHandle window, int x, int y, int width, int height) override;
  int screenWidth() override;
  std::string statusBarText(WindowHandle statusBar, int part) override;
  std::optional<std::string> menuItemText(WindowHandle window, int topIndex, int subIndex,
                                          int maxChars) override;
  std::uint32_t processId(WindowHandle window) override;
};

class Win32Clock : public Clock {
 public:
  std::int64_t nowMs() override;
  void sleep(int ms) override;
  LocalTime localTime() override;
};

class Win32Sound : public Sound {
 public:
  void playResource(const char* name) override;
  void playFile(const std::string& fileName) override;
};

class Win32Launcher : public Launcher {
 public:
  bool launch(const std::string& commandLine, int showMode) override;
};

class ThreadWorkers : public Workers {
 public:
  void start(const char* name, std::function<void()> body) override;
};

// A file of that name in the program's folder.
std::string besideProgram(const std::string& fileName);

// A file the program names by its bare name (a picture, a WAV file): in the
// current directory when it is there, else beside the program, so that a
// shortcut with another working folder still finds them. A name found in
// neither place comes back as given.
std::string findProgramFile(const std::string& bareName);

// %APPDATA%\Tabiro2\<exe name>.ini, the folder created when missing; beside
// the program when there is no application-data folder.
std::string profilePath();

// When TABIRO_STAGE_LOG names a file, every markStage appends a line
// "<GetTickCount64> <stage>" to it (the stand-ins' clock).
void installStageLogFromEnvironment();

}  // namespace tabiro
