#include "platform/win32/adapters_win32.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/sjis.h"
#include "platform/stage_marks.h"

namespace tabiro {

namespace {

HWND h(WindowHandle w) { return reinterpret_cast<HWND>(w); }
WindowHandle w(HWND h) { return reinterpret_cast<WindowHandle>(h); }

BOOL CALLBACK collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(w(window));
  return TRUE;
}

// Bounds a read of another process's status bar, so a hung map program
// cannot stop the reader for ever.
constexpr UINT kStatusReadTimeoutMs = 1000;
// Longer status texts are not ours to parse and read as unreadable.
constexpr std::size_t kStatusTextMax = 255;
// SB_GETTEXTA writes the whole text and is given no size. The buffer is
// therefore far larger than any text accepted, so that a text growing between
// the length query and the read still lands inside it.
constexpr SIZE_T kStatusBufferBytes = 64 * 1024;

bool askStatusText(HWND statusBar, int part, void* buffer) {
  return SendMessageTimeoutA(statusBar, SB_GETTEXTA, static_cast<WPARAM>(part),
                             reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             kStatusReadTimeoutMs, nullptr) != 0;
}

// The text at the start of `bytes` (kStatusTextMax + 1 of them), or "" when it
// is not NUL-terminated within the bound.
std::string acceptedStatusText(const char* bytes) {
  const std::size_t length = strnlen(bytes, kStatusTextMax + 1);
  return length <= kStatusTextMax ? std::string(bytes, length) : std::string();
}

// The status bar lives in another process: the text is written into memory
// allocated there and copied back.
std::string remoteStatusText(HWND statusBar, int part, DWORD pid) {
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  std::string text;
  // Freshly committed pages are zero, so the text is NUL-terminated however
  // much of it the status bar writes.
  void* remote = VirtualAllocEx(process, nullptr, kStatusBufferBytes, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
  if (remote) {
    char local[kStatusTextMax + 1] = {};
    if (askStatusText(statusBar, part, remote) &&
        ReadProcessMemory(process, remote, local, sizeof local, nullptr)) {
      text = acceptedStatusText(local);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

struct ProgramPath {
  std::string folder;    // without the final backslash
  std::string baseName;  // without the extension
};

// Splits at the last backslash that is a character of its own: 0x5C is also
// the trail byte of 表, ソ and others.
ProgramPath splitProgramPath(const std::string& path) {
  std::size_t separator = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (sjis::isLeadByte(c)) {
      ++i;
    } else if (c == '\\' || c == '/') {
      separator = i;
    }
  }
  ProgramPath program;
  if (separator != std::string::npos) program.folder = path.substr(0, separator);
  program.baseName = path.substr(separator == std::string::npos ? 0 : separator + 1);
  const std::size_t dot = program.baseName.find_last_of('.');
  if (dot != std::string::npos) program.baseName.erase(dot);
  return program;
}

ProgramPath programPath() {
  char exe[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  return splitProgramPath(length > 0 && length < MAX_PATH ? std::string(exe, length)
                                                          : "Tabiro2.exe");
}

bool fileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

WindowHandle Win32Desktop::findWindow(const char* className, const char* title) {
  return w(FindWindowA(className, title));
}

WindowHandle Win32Desktop::findChild(WindowHandle parent, WindowHandle after,
                                     const char* className, const char* title) {
  return w(FindWindowExA(h(parent), h(after), className, title));
}

std::vector<WindowHandle> Win32Desktop::topLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

WindowHandle Win32Desktop::firstChild(WindowHandle window) {
  return window ? w(GetWindow(h(window), GW_CHILD)) : kNoWindow;
}

WindowHandle Win32Desktop::nextSibling(WindowHandle window) {
  return window ? w(GetWindow(h(window), GW_HWNDNEXT)) : kNoWindow;
}

WindowHandle Win32Desktop::dialogItem(WindowHandle dialog, int id) {
  return w(GetDlgItem(h(dialog), id));
}

bool Win32Desktop::exists(WindowHandle window) { return IsWindow(h(window)) != FALSE; }

std::string Win32Desktop::windowText(WindowHandle window, int maxChars) {
  if (!window || maxChars <= 0) return {};
  std::string text(static_cast<std::size_t>(maxChars), '\0');
  const int length = GetWindowTextA(h(window), text.data(), maxChars);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

// Every message sent to another program goes through send(). A command must
// have been handled before the next step goes out, so the caller waits for
// the answer, also while the program shows a modal dialog inside the command
// (Navin' You's route questions during GPS start, which a worker answers; a
// person reading one). A program that has stopped reading its messages
// (hung: SMTO_ABORTIFHUNG, Windows' own test, about five seconds without a
// look at its queue) is given up at once, and one that hangs inside our
// command after five minutes at most. The answer is then 0, as from a
// window that is gone.
constexpr UINT kSendTimeoutMs = 5 * 60 * 1000;

std::intptr_t Win32Desktop::send(WindowHandle target, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(h(target), message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                           &answer)) {
    return 0;
  }
  return static_cast<std::intptr_t>(answer);
}

void Win32Desktop::post(WindowHandle target, unsigned message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  PostMessageA(h(target), message, wParam, lParam);
}

void Win32Desktop::setForeground(WindowHandle window) { SetForegroundWindow(h(window)); }

void Win32Desktop::bringToTop(WindowHandle window) { BringWindowToTop(h(window)); }

void Win32Desktop::show(WindowHandle window, int showMode) { ShowWindow(h(window), showMode); }

ScreenRect Win32Desktop::windowRect(WindowHandle window) {
  RECT r{};
  GetWindowRect(h(window), &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Win32Desktop::moveWindow(WindowHandle window, int x, int y, int width, int height) {
  MoveWindow(h(window), x, y, width, height, TRUE);
}

int Win32Desktop::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

std::uint32_t Win32Desktop::processId(WindowHandle window) {
  DWORD process = 0;
  return GetWindowThreadProcessId(h(window), &process) ? process : 0;
}

std::string Win32Desktop::statusBarText(WindowHandle statusBar, int part) {
  if (!statusBar) return {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(h(statusBar), SB_GETTEXTLENGTHA, static_cast<WPARAM>(part), 0,
                           SMTO_ABORTIFHUNG, kStatusReadTimeoutMs, &length) ||
      LOWORD(length) > kStatusTextMax) {
    return {};
  }
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(h(statusBar), &pid)) return {};
  if (pid != GetCurrentProcessId()) return remoteStatusText(h(statusBar), part, pid);
  std::vector<char> local(kStatusBufferBytes, '\0');
  return askStatusText(h(statusBar), part, local.data()) ? acceptedStatusText(local.data())
                                                          : std::string();
}

std::optional<std::string> Win32Desktop::menuItemText(WindowHandle window, int topIndex,
                                                      int subIndex, int maxChars) {
  HMENU menu = GetMenu(h(window));
  if (!menu || topIndex < 0 || topIndex >= GetMenuItemCount(menu)) return std::nullopt;
  if (subIndex >= 0) {
    menu = GetSubMenu(menu, topIndex);
    if (!menu || subIndex >= GetMenuItemCount(menu)) return std::nullopt;
  }
  if (maxChars <= 0) return std::string();
  std::string text(static_cast<std::size_t>(maxChars), '\0');
  const int length = GetMenuStringA(menu, static_cast<UINT>(subIndex >= 0 ? subIndex : topIndex),
                                    text.data(), maxChars, MF_BYPOSITION);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

std::int64_t Win32Clock::nowMs() { return static_cast<std::int64_t>(GetTickCount64()); }

// A negative pause must not turn into a wait of some 49 days.
void Win32Clock::sleep(int ms) { Sleep(ms > 0 ? static_cast<DWORD>(ms) : 0); }

LocalTime Win32Clock::localTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// SND_RESOURCE (0x40004) without a module: the WAVE resource is looked up in
// our own executable.
void Win32Sound::playResource(const char* name) {
  PlaySoundA(name, nullptr, SND_RESOURCE | SND_SYNC);
}

void Win32Sound::playFile(const std::string& fileName) {
  // A missing file plays nothing: no default beep in its place.
  PlaySoundA(findProgramFile(fileName).c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT);
}

bool Win32Launcher::launch(const std::string& commandLine, int showMode) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcessA may write into it
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void ThreadWorkers::start(const char*, std::function<void()> body) {
  std::thread(std::move(body)).detach();
}

std::string besideProgram(const std::string& fileName) {
  const std::string folder = programPath().folder;
  return folder.empty() ? fileName : folder + "\\" + fileName;
}

std::string findProgramFile(const std::string& bareName) {
  if (bareName.empty() || fileExists(bareName)) return bareName;
  const std::string beside = besideProgram(bareName);
  return fileExists(beside) ? beside : bareName;
}

std::string profilePath() {
  const ProgramPath program = programPath();
  char appData[MAX_PATH] = {};
  std::string folder = program.folder;
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) == S_OK) {
    folder = std::string(appData) + "\\Tabiro2";
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  // Without an application-data folder the profile stays beside the program.
  return (folder.empty() ? "" : folder + "\\") + program.baseName + ".ini";
}

namespace {

HANDLE stageLog = INVALID_HANDLE_VALUE;

// One write per line on a file opened for appending, so that lines of
// several threads never mix.
void appendStage(const char* stage) {
  char line[96];
  const int size = std::snprintf(line, sizeof line, "%llu %s\n",
                                 static_cast<unsigned long long>(GetTickCount64()), stage);
  DWORD written = 0;
  if (size > 0) WriteFile(stageLog, line, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

void installStageLogFromEnvironment() {
  char path[MAX_PATH];
  const DWORD size = GetEnvironmentVariableA("TABIRO_STAGE_LOG", path, sizeof path);
  if (size == 0 || size >= sizeof path) return;
  stageLog = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (stageLog != INVALID_HANDLE_VALUE) installStageSink(appendStage);
}

}  // namespace tabiro
