#include "harness.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "probe/probe.h"

#ifndef TABIRO_SOURCE_DIR
#error "TABIRO_SOURCE_DIR must name the source tree"
#endif

namespace e2e {

std::string fullPath(const std::string& path) {
  char buffer[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

namespace {

std::string quoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}

void removeTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(path);
      else DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

void makeDirs(const std::string& dir) {
  for (size_t i = 3; i <= dir.size(); ++i)
    if (i == dir.size() || dir[i] == '\\') CreateDirectoryA(dir.substr(0, i).c_str(), nullptr);
}

bool matches(HWND window, const char* className, const char* title) {
  if (className && windowClass(window) != className) return false;
  if (title && windowText(window) != title) return false;
  return true;
}

// Waits until what `list` reads holds `item`.
bool waitForListed(const std::function<std::vector<std::string>()>& list, const std::string& item,
                   int timeoutMs) {
  return waitUntil([&] {
    const auto all = list();
    return std::find(all.begin(), all.end(), item) != all.end();
  }, timeoutMs);
}

}  // namespace

// --- paths ------------------------------------------------------------------------

std::string binDir() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, n);
  return path.substr(0, path.find_last_of('\\'));
}

std::string exePath(const std::string& name) { return binDir() + "\\" + name; }

std::string sourcePath(const std::string& relative) {
  // Wine shows the Unix root as drive Z:.
  std::string path = std::string("Z:") + TABIRO_SOURCE_DIR + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string artifactsRoot() { return fullPath(binDir() + "\\..\\e2e-artifacts"); }

// --- processes --------------------------------------------------------------------

Processes::Processes() : job_(CreateJobObjectA(nullptr, nullptr)) {
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job_) SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

Processes::~Processes() {
  killAll();
  if (job_) CloseHandle(job_);
}

HANDLE Processes::start(const std::string& exe, const std::vector<std::string>& args, int show,
                        const std::string& workingDir) {
  std::string commandLine = quoteArgument(exe);
  for (const std::string& arg : args) commandLine += " " + quoteArgument(arg);
  std::string dir = workingDir.empty() ? exe.substr(0, exe.find_last_of('\\')) : workingDir;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION pi = {};
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi))
    return nullptr;
  if (job_) AssignProcessToJobObject(job_, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  processes_.push_back(pi.hProcess);
  return pi.hProcess;
}

void Processes::killAll() {
  if (job_) TerminateJobObject(job_, 1);
  for (HANDLE p : processes_) TerminateProcess(p, 1);
  for (HANDLE p : processes_) {
    WaitForSingleObject(p, 3000);
    CloseHandle(p);
  }
  processes_.clear();
  // What the programs started on their own (Tabiro2 launching a map
  // program) belongs to the job as well and ends with it.
  if (job_)
    waitUntil([&] {
      JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
      return !QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr) ||
             info.ActiveProcesses == 0;
    }, 3000);
}

void Processes::forEachProcess(const std::function<void(const std::string&, HANDLE)>& fn) const {
  if (!job_) return;
  std::vector<ULONG_PTR> buffer(2 + 64);
  auto* list = reinterpret_cast<JOBOBJECT_BASIC_PROCESS_ID_LIST*>(buffer.data());
  if (!QueryInformationJobObject(job_, JobObjectBasicProcessIdList, list, sizeof(ULONG_PTR) * buffer.size(),
                                 nullptr))
    return;
  for (DWORD i = 0; i < list->NumberOfProcessIdsInList; ++i) {
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(list->ProcessIdList[i]));
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = p && QueryFullProcessImageNameA(p, 0, path, &size);
    std::string name = named ? std::string(path, size) : std::string();
    name = name.substr(name.find_last_of("\\/") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    fn(name, p);
    if (p) CloseHandle(p);
  }
}

std::vector<std::string> Processes::creationOrder() const {
  std::vector<std::string> names;
  forEachProcess([&](const std::string& name, HANDLE) { names.push_back(name); });
  return names;
}

uint64_t Processes::launchedAtMs(const std::string& exeName) const {
  uint64_t at = 0;
  forEachProcess([&](const std::string& name, HANDLE p) {
    FILETIME created, exited, kernel, user;
    if (at || name != exeName || !p || !GetProcessTimes(p, &created, &exited, &kernel, &user)) return;
    // The system time's distance back to the creation, taken off the tick count.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t tick = GetTickCount64();
    const auto hundredNs = [](FILETIME t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    at = tick - (hundredNs(now) - hundredNs(created)) / 10000;
  });
  return at;
}

bool waitForExit(HANDLE process, int timeoutMs) {
  return process && WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
}

// --- waiting ---------------------------------------------------------------------

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

// --- windows ---------------------------------------------------------------------

std::string windowText(HWND window) {
  char buffer[512] = {};
  int n = GetWindowTextA(window, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

std::string controlText(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  char text[1024] = {};
  DWORD_PTR length = 0;
  if (!control || !SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                       SMTO_ABORTIFHUNG, kTimeoutMs, &length))
    return {};
  return std::string(text, length < sizeof text ? length : 0);
}

std::string windowClass(HWND window) {
  char buffer[256] = {};
  int n = GetClassNameA(window, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

HWND waitForWindow(const char* className, const char* title, int timeoutMs) {
  HWND found = nullptr;
  waitUntil([&] { return (found = FindWindowA(className, title)) != nullptr; }, timeoutMs);
  return found;
}

HWND waitForShownWindow(const char* className, const char* title, int timeoutMs) {
  HWND found = nullptr;
  waitUntil([&] {
    found = FindWindowA(className, title);
    return found && IsWindowVisible(found);
  }, timeoutMs);
  return found && IsWindowVisible(found) ? found : nullptr;
}

bool waitForWindowGone(const char* className, const char* title, int timeoutMs) {
  return waitUntil([&] { return FindWindowA(className, title) == nullptr; }, timeoutMs);
}

std::vector<HWND> children(HWND parent) {
  std::vector<HWND> out;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) out.push_back(child);
  return out;
}

HWND findChild(HWND parent, const char* className, const char* title) {
  for (HWND child : children(parent))
    if (matches(child, className, title)) return child;
  return nullptr;
}

HWND waitForChild(HWND parent, const char* className, const char* title, int timeoutMs) {
  HWND found = nullptr;
  waitUntil([&] { return (found = findChild(parent, className, title)) != nullptr; }, timeoutMs);
  return found;
}

// --- messages --------------------------------------------------------------------

LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, static_cast<UINT>(timeoutMs), &result))
    ADD_FAILURE() << "message " << message << " to window " << window << " not answered";
  return static_cast<LRESULT>(result);
}

LRESULT sendCommand(HWND window, unsigned id, LPARAM lParam) { return send(window, WM_COMMAND, id, lParam); }

bool postCommand(HWND window, unsigned id, LPARAM lParam) { return PostMessageA(window, WM_COMMAND, id, lParam); }

std::string statusBarText(HWND statusBar, int part) {
  // The control lives in another process: its text must be written into
  // memory of that process and read back.
  DWORD pid = 0;
  GetWindowThreadProcessId(statusBar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return {};
  // Wine counts the length in characters, not bytes: leave room for two
  // bytes each, and never less than a page.
  size_t length = std::max<size_t>(4096, 2 * LOWORD(send(statusBar, SB_GETTEXTLENGTHA, part, 0)) + 2);
  std::string text;
  void* remote = VirtualAllocEx(process, nullptr, length, MEM_COMMIT, PAGE_READWRITE);
  if (remote) {
    send(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote));
    std::vector<char> buffer(length);
    SIZE_T read = 0;
    if (ReadProcessMemory(process, remote, buffer.data(), buffer.size(), &read)) text.assign(buffer.data(), strnlen(buffer.data(), read));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

std::optional<std::string> menuItemText(HWND window, int top, int position) {
  HMENU sub = GetSubMenu(GetMenu(window), top);
  if (!sub || position >= GetMenuItemCount(sub)) return std::nullopt;
  char buffer[256] = {};
  int n = GetMenuStringA(sub, static_cast<UINT>(position), buffer, sizeof buffer, MF_BYPOSITION);
  return std::string(buffer, n > 0 ? n : 0);
}

int menuBarItemContaining(HWND window, const std::string& text) {
  HMENU bar = GetMenu(window);
  int count = bar ? GetMenuItemCount(bar) : 0;
  for (int i = 0; i < count; ++i) {
    char buffer[256] = {};
    GetMenuStringA(bar, static_cast<UINT>(i), buffer, sizeof buffer, MF_BYPOSITION);
    if (std::string(buffer).find(text) != std::string::npos) return i;
  }
  return -1;
}

bool pressKey(HWND window, WORD virtualKey, std::initializer_list<WORD> modifiers) {
  if (!waitUntil([&] {
        SetForegroundWindow(window);
        return GetForegroundWindow() == window;
      }, 2000))
    return false;
  std::vector<INPUT> inputs;
  auto key = [&](WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  for (WORD m : modifiers) key(m, false);
  key(virtualKey, false);
  key(virtualKey, true);
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, true);
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool doubleClick(HWND window) {
  HWND top = GetAncestor(window, GA_ROOT);
  if (!waitUntil([&] {
        SetForegroundWindow(top);
        return GetForegroundWindow() == top;
      }, 2000))
    return false;
  RECT r = {};
  GetWindowRect(window, &r);
  // Absolute input runs from 0 to 65535 across the primary screen.
  const LONG x = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  const LONG y = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  std::vector<INPUT> inputs;
  for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                      MOUSEEVENTF_LEFTUP}) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = x;
    in.mi.dy = y;
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    inputs.push_back(in);
  }
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

// --- inside the toolbar -----------------------------------------------------------

ToolbarProbe::ToolbarProbe(HWND toolbar) : toolbar_(toolbar) {
  section_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kProbeBytes, kProbeSection);
  if (section_) view_ = static_cast<const char*>(MapViewOfFile(section_, FILE_MAP_READ, 0, 0, kProbeBytes));
  library_ = LoadLibraryA(exePath("probe.dll").c_str());
  auto* hook = library_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library_, "probeHook"))) : nullptr;
  const DWORD thread = GetWindowThreadProcessId(toolbar, nullptr);
  if (view_ && hook && thread) hook_ = SetWindowsHookExA(WH_CALLWNDPROC, hook, library_, thread);
}

ToolbarProbe::~ToolbarProbe() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (library_) FreeLibrary(library_);
  if (view_) UnmapViewOfFile(view_);
  if (section_) CloseHandle(section_);
}

std::vector<std::string> ToolbarProbe::lines() {
  std::vector<std::string> out;
  if (!view_) return out;
  const LONG used = *reinterpret_cast<const volatile LONG*>(view_);
  std::istringstream text(std::string(view_ + sizeof(LONG), static_cast<size_t>(used)));
  for (std::string line; std::getline(text, line);) out.push_back(line);
  return out;
}

bool ToolbarProbe::waitForLine(const std::string& line, int timeoutMs) {
  return waitForListed([this] { return lines(); }, line, timeoutMs);
}

std::vector<std::string> ToolbarProbe::request(unsigned what, const std::string& prefix) {
  const size_t before = lines().size();
  send(toolbar_, RegisterWindowMessageA(kProbeRequest), what);
  std::vector<std::string> out;
  const auto all = lines();
  for (size_t i = before; i < all.size(); ++i) {
    if (all[i] == prefix + " end") break;
    if (all[i].compare(0, prefix.size() + 1, prefix + " ") == 0) out.push_back(all[i]);
  }
  return out;
}

std::vector<std::string> ToolbarProbe::systemMenu() { return request(kProbeSystemMenu, "menu"); }

std::vector<std::string> ToolbarProbe::tooltips() { return request(kProbeTooltips, "tool"); }

bool pressMnemonic(HWND window, char mnemonic) {
  const SHORT key = VkKeyScanA(mnemonic);
  if (key == -1) return false;
  const WORD virtualKey = LOBYTE(key);
  return (HIBYTE(key) & 1) ? pressKey(window, virtualKey, {VK_SHIFT}) : pressKey(window, virtualKey);
}

// --- logs ------------------------------------------------------------------------

std::optional<LogEntry> parseLogLine(const std::string& line) {
  std::istringstream in(line);
  LogEntry e;
  std::string third;
  if (!(in >> e.timeMs >> e.window >> third)) return std::nullopt;
  e.line = line;
  if (third == "event") {
    e.isEvent = true;
    std::getline(in >> std::ws, e.event);
    return e;
  }
  std::string wParam, lParam, how;
  if (!(in >> wParam >> lParam >> how)) return std::nullopt;
  char* end = nullptr;
  e.message = static_cast<unsigned>(std::strtoul(third.c_str(), &end, 10));
  e.wParam = std::strtoull(wParam.c_str(), nullptr, 0);
  e.lParam = std::strtoull(lParam.c_str(), nullptr, 0);
  e.sent = how == "sent";
  return e;
}

LogPredicate isMessage(const std::string& window, unsigned message) {
  return [=](const LogEntry& e) { return !e.isEvent && e.window == window && e.message == message; };
}

LogPredicate isCommand(const std::string& window, unsigned id) {
  return [=](const LogEntry& e) {
    return !e.isEvent && e.window == window && e.message == WM_COMMAND && LOWORD(e.wParam) == id;
  };
}

LogPredicate isEvent(const std::string& window, const std::string& textPrefix) {
  return [=](const LogEntry& e) { return e.isEvent && e.window == window && e.event.compare(0, textPrefix.size(), textPrefix) == 0; };
}

const std::vector<LogEntry>& StubLog::entries() {
  HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return entries_;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset_);
  SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    offset_ += read;
    partial_.append(buffer, read);
  }
  CloseHandle(file);
  size_t start = 0;
  for (size_t nl; (nl = partial_.find('\n', start)) != std::string::npos; start = nl + 1) {
    std::string line = partial_.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto e = parseLogLine(line)) entries_.push_back(std::move(*e));
  }
  partial_.erase(0, start);
  return entries_;
}

std::vector<LogEntry> StubLog::matching(const LogPredicate& predicate) {
  std::vector<LogEntry> out;
  for (const LogEntry& e : entries())
    if (predicate(e)) out.push_back(e);
  return out;
}

std::optional<LogEntry> StubLog::waitFor(const LogPredicate& predicate, int timeoutMs, size_t from) {
  std::optional<LogEntry> found;
  size_t next = from;
  waitUntil([&] {
    const std::vector<LogEntry>& all = entries();
    for (; next < all.size(); ++next)
      if (predicate(all[next])) {
        found = all[next];
        return true;
      }
    return false;
  }, timeoutMs);
  return found;
}

// --- profile ----------------------------------------------------------------------

std::string profilePath() {
  char appData[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
  return std::string(appData) + "\\Tabiro2\\Tabiro2.ini";
}

void writeProfile(const std::string& text) {
  std::string path = profilePath();
  makeDirs(path.substr(0, path.find_last_of('\\')));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readProfile() { return readFile(profilePath()); }

void removeProfile() { DeleteFileA(profilePath().c_str()); }

// --- artifacts ---------------------------------------------------------------------

bool saveScreenshot(const std::string& bmpPath) {
  return saveScreenshot(bmpPath, {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                  GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                  GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)});
}

bool saveScreenshot(const std::string& bmpPath, RECT area) {
  const int x = area.left, y = area.top, w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, w, h, screen, x, y, SRCCOPY);
    SelectObject(memory, old);
    GdiFlush();
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    std::ofstream out(bmpPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), info.bmiHeader.biSizeImage);
    ok = ok && out.good();
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

// --- fixture ------------------------------------------------------------------------

void E2eTest::SetUp() {
  // The mouse pointer is the one piece of input state a test leaves behind:
  // left by a double click over the toolbar's strip, it rests over the next
  // tests' toolbars and takes key presses and the front from them. Every test
  // starts with it in the screen's bottom right corner, where no window of
  // the suite lies.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  testDir_ = artifactsRoot() + "\\" + name;
  removeTree(testDir_);
  makeDirs(testDir_);
  removeProfile();
}

void E2eTest::TearDown() {
  bool failed = HasFailure();
  if (failed) {
    saveScreenshot(testFile("screen.bmp"));
    std::string profile = readProfile();
    if (!profile.empty()) std::ofstream(testFile("Tabiro2.ini"), std::ios::binary) << profile;
  }
  processes_.killAll();
  removeProfile();
  logs_.clear();
  if (!failed) removeTree(testDir_);
}

std::string E2eTest::testFile(const std::string& name) const { return testDir_ + "\\" + name; }

StubLog& E2eTest::log(const std::string& name) {
  auto& slot = logs_[name];
  if (!slot) slot = std::make_unique<StubLog>(testFile(name + ".log"));
  return *slot;
}

std::string spokenText(const std::string& event) {
  std::size_t at = 0;
  int fields = 0;  // between the word and the text
  if (event.rfind("call 19 Speak ", 0) == 0) {
    at = 14;
    fields = 2;
  } else if (event.rfind("speak ", 0) == 0) {
    at = 6;
    fields = 1;
  } else {
    return {};
  }
  for (int field = 0; field < fields && at != std::string::npos; ++field) {
    at = event.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  return at == std::string::npos ? std::string() : event.substr(at);
}

std::vector<std::string> E2eTest::spoken() {
  std::vector<std::string> texts;
  for (const LogEntry& e : log("speech").matching(isEvent("speech", ""))) {
    const std::string text = spokenText(e.event);
    if (!text.empty()) texts.push_back(text);
  }
  return texts;
}

bool E2eTest::waitForSpoken(const std::string& text, int timeoutMs) {
  return waitForListed([this] { return spoken(); }, text, timeoutMs);
}

HANDLE E2eTest::start(const std::string& exe, const std::vector<std::string>& args, int show,
                       const std::string& workingDir) {
  HANDLE process = processes_.start(exe, args, show, workingDir);
  EXPECT_TRUE(process) << "could not start " << exe;
  return process;
}

HANDLE E2eTest::startStub(const std::string& exe, const std::string& logName, std::vector<std::string> args) {
  args.insert(args.begin(), {"--log", log(logName).path()});
  return start(exePath(exe), args);
}

HANDLE E2eTest::startNavstub(const std::vector<std::string>& args) { return startStub("navstub.exe", "navstub", args); }

HANDLE E2eTest::startAtlas(const std::vector<std::string>& args) { return startStub("atlasstub.exe", "atlasstub", args); }

HANDLE E2eTest::startTabiro(const std::vector<std::string>& args) { return start(exePath("Tabiro2.exe"), args); }

}  // namespace e2e
