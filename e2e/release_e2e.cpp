// The release as a Windows user installs it: e2e/release_test.sh unzips
// Tabiro2-<version>-win64.zip into the program folder of a fresh prefix and
// names the folder in TABIRO_RELEASE_DIR; these tests then start the toolbar
// from a shortcut whose working folder is elsewhere. In the ordinary suite,
// without the variable, they are skipped.
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "guided_drive.h"
#include "harness.h"
#include "resource.h"

namespace e2e {
namespace {

constexpr int kStartTimeoutMs = 30000;  // a fresh prefix starts its first program slowly

constexpr int kDriveTimeoutMs = 90000;  // the sample drive at 8 times real time, with room

std::string releaseDir() {
  const char* dir = std::getenv("TABIRO_RELEASE_DIR");
  return dir ? dir : "";
}

std::string knownFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// A shortcut as Explorer makes one: a target and a working folder.
bool writeShortcut(const std::string& linkPath, const std::string& target, const std::string& workingFolder) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  link->SetPath(target.c_str());
  link->SetWorkingDirectory(workingFolder.c_str());
  IPersistFile* file = nullptr;
  bool saved = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    std::wstring wide(linkPath.begin(), linkPath.end());  // an ASCII path
    saved = SUCCEEDED(file->Save(wide.c_str(), TRUE));
    file->Release();
  }
  link->Release();
  return saved;
}

// Distinct colours where a picture popup draws its picture: 250 x 200 pixels
// from the top-left corner of IDC_PICTURE_FRAME, above IDC_PICTURE_CAPTION. A drawn
// picture has many; the bare dialog, one.
size_t pictureColours(HWND popup) {
  RECT from{}, caption{}, whole{};
  GetWindowRect(GetDlgItem(popup, IDC_PICTURE_FRAME), &from);
  GetWindowRect(GetDlgItem(popup, IDC_PICTURE_CAPTION), &caption);
  GetWindowRect(popup, &whole);
  const LONG right = std::min<LONG>(from.left + 250, whole.right);
  const LONG bottom = std::min<LONG>({from.top + 200, caption.top, whole.bottom});
  HDC screen = GetDC(nullptr);
  std::set<COLORREF> colours;
  for (LONG y = from.top; y < bottom; y += 4)
    for (LONG x = from.left; x < right; x += 4) colours.insert(GetPixel(screen, x, y));
  ReleaseDC(nullptr, screen);
  return colours.size();
}

// Track logs ("MMDDhhmm.log") in a folder.
std::vector<std::string> trackLogsIn(const std::string& folder) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\????????.log").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    found.push_back(folder + "\\" + data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

class ReleaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (releaseDir().empty()) GTEST_SKIP() << "TABIRO_RELEASE_DIR is set by e2e/release_test.sh";
    CoInitialize(nullptr);
    workingFolder_ = knownFolder(CSIDL_PERSONAL) + "\\Tabiro2-drive";
    CreateDirectoryA(workingFolder_.c_str(), nullptr);
  }
  void TearDown() override {
    if (releaseDir().empty()) return;
    if (process_) {
      if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
      CloseHandle(process_);
    }
    CoUninitialize();
  }

  std::string installed(const std::string& name) const { return releaseDir() + "\\" + name; }

  // Double-clicks a shortcut to the installed exe whose working folder is
  // workingFolder_, and waits for the toolbar.
  HWND startFromShortcut() {
    const std::string link = workingFolder_ + "\\Tabiro2.lnk";
    if (!writeShortcut(link, installed("Tabiro2.exe"), workingFolder_)) return nullptr;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = link.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return nullptr;
    HWND toolbar = waitForShownWindow(nullptr, "Tabiro2", kStartTimeoutMs);
    // Wine hands no process back for a shortcut: take the toolbar's.
    process_ = info.hProcess;
    if (!process_ && toolbar) {
      DWORD id = 0;
      GetWindowThreadProcessId(toolbar, &id);
      process_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    }
    return toolbar;
  }

  // The program file the toolbar's process runs.
  std::string processImage() const {
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    return QueryFullProcessImageNameA(process_, 0, path, &size) ? std::string(path, size) : std::string();
  }

  std::string workingFolder_;
  HANDLE process_ = nullptr;
};

TEST_F(ReleaseTest, UnzippedFolderHoldsWhatTheUserNeeds) {
  for (const char* name : {"Tabiro2.exe", "Tabiro2.html", "tabiro-inspect.exe", "sample\\sample-drive.nyp",
                           "sample\\sample-drive.pot", "sample\\sample-drive.nmea", "sample\\sample-drive.ini"}) {
    EXPECT_TRUE(fileExists(installed(name))) << name;
  }
  // "はじめにお読みください.txt", Shift-JIS throughout, naming where the
  // profile and the track logs go.
  const std::string readme = readFile(installed("はじめにお読みください.txt"));
  ASSERT_FALSE(readme.empty());
  EXPECT_NE(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, readme.data(), static_cast<int>(readme.size()),
                                nullptr, 0),
            0)
      << "not valid Shift-JIS";
  EXPECT_NE(readme.find("%APPDATA%\\Tabiro2\\Tabiro2.ini"), std::string::npos);
  EXPECT_NE(readme.find("作業フォルダー"), std::string::npos);
}

TEST_F(ReleaseTest, ExeCarriesVersionAndManifest) {
  const std::string exe = installed("Tabiro2.exe");
  DWORD ignored = 0;
  std::string data(GetFileVersionInfoSizeA(exe.c_str(), &ignored), '\0');
  ASSERT_FALSE(data.empty()) << "no version resource";
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(90, 5));
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(90, 5));
  char* text = nullptr;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\041104B0\\ProductVersion",
                             reinterpret_cast<void**>(&text), &size));
  EXPECT_STREQ(text, "5.90");

  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_TRUE(manifest) << "no application manifest";
  const std::string xml(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                        SizeofResource(module, manifest));
  FreeLibrary(module);
  EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(xml.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10 and 11";
  EXPECT_NE(xml.find(">false</dpiAware>"), std::string::npos);
}

// The first start from a shortcut: the installed exe runs, shows the toolbar,
// creates its profile where the readme says, and quits on Enter.
TEST_F(ReleaseTest, FirstStartFromAShortcutWithAnotherWorkingFolder) {
  const std::string profile = profilePath();
  ASSERT_FALSE(fileExists(profile)) << "the prefix is not fresh";
  HWND toolbar = startFromShortcut();
  ASSERT_TRUE(toolbar) << "no toolbar from the shortcut";
  ASSERT_TRUE(process_);
  EXPECT_EQ(lstrcmpiA(processImage().c_str(), installed("Tabiro2.exe").c_str()), 0) << processImage();
  EXPECT_TRUE(waitUntil([&] { return fileExists(profile); }, kStartTimeoutMs)) << profile;

  // The toolbar at the display's DPI, for a person to look at (not a check),
  // once it has painted itself.
  RECT r;
  GetWindowRect(toolbar, &r);
  HDC screen = GetDC(nullptr);
  waitUntil([&] { return GetPixel(screen, (r.left + r.right) / 4, (r.top + r.bottom) / 2) != RGB(0, 0, 0); },
            kStartTimeoutMs);
  ReleaseDC(nullptr, screen);
  saveScreenshot(artifactsRoot() + "\\release-toolbar.bmp", {0, 0, GetSystemMetrics(SM_CXSCREEN), r.bottom + 60});

  ASSERT_TRUE(pressKey(toolbar, VK_RETURN));
  EXPECT_EQ(WaitForSingleObject(process_, kStartTimeoutMs), WAIT_OBJECT_0) << "Enter did not quit the toolbar";
}

// A guided drive of the installed program started from the shortcut: its
// pictures are found beside the exe although the working folder is
// elsewhere, and the track log goes to that working folder, as the readme
// says. (No speech engine in this prefix: announcements play WAV files.)
TEST_F(ReleaseTest, GuidedDriveDrawsItsPicturesAndLogsInTheWorkingFolder) {
  const std::string navstubLog = artifactsRoot() + "\\release-navstub.log";
  DeleteFileA(navstubLog.c_str());
  writeProfile("[Tabiro Info]\r\nMapMode=0\r\nMap=0\r\nWavstart=1\r\nSaveTRK=1\r\nExeFilePath0=" +
               exePath("navstub.exe") + " --log " + navstubLog + " --gps-dialogs none --replay " +
               sourcePath("data/sample-drive.nmea") + " --replay-speed 8\r\n[Rot]\r\nFileName=" +
               installed("sample\\sample-drive.nyp") + "\r\n[Ovis]\r\nPOT=" + installed("sample\\sample-drive.pot") +
               "\r\nOvisUp2=40\r\n");
  HWND toolbar = startFromShortcut();
  ASSERT_TRUE(toolbar);
  StubLog navstub(navstubLog);
  ASSERT_TRUE(navstub.waitFor(isEvent("main", "documents"), kStartTimeoutMs));
  ASSERT_TRUE(pressKey(toolbar, '1'));
  ASSERT_TRUE(navstub.waitFor(isEvent("main", "gps on"), kStartTimeoutMs));

  DWORD id = GetProcessId(process_);
  HWND popup = nullptr;
  ASSERT_TRUE(waitUntil([&] {
    const auto shown = picturePopups(id);
    popup = shown.empty() ? nullptr : shown.front();
    return popup != nullptr;
  }, kDriveTimeoutMs)) << "no picture with the first turn";
  ASSERT_TRUE(GetDlgItem(popup, IDC_PICTURE_FRAME));
  EXPECT_TRUE(waitUntil([&] { return pictureColours(popup) >= 3; }, 5000))
      << "the picture beside the exe was not drawn";

  EXPECT_TRUE(waitUntil([&] { return !trackLogsIn(workingFolder_).empty(); }, kStartTimeoutMs))
      << "no track log in the shortcut's working folder " << workingFolder_;
  EXPECT_TRUE(trackLogsIn(releaseDir()).empty()) << "a track log in the program folder";
}

}  // namespace
}  // namespace e2e
