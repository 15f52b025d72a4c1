// The release as a Windows user installs it: e2e/release_test.sh unzips
// Tabiro2-<version>-win64.zip into the program folder of a fresh prefix and
// names the folder in TABIRO_RELEASE_DIR; these tests then start the toolbar
// from a shortcut whose working folder is elsewhere. In the ordinary suite,
// without the variable, they are skipped.
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "harness.h"

namespace e2e {
namespace {

constexpr int kStartTimeoutMs = 30000;  // a fresh prefix starts its first program slowly

std::string releaseDir() {
  const char* dir = std::getenv("TABIRO_RELEASE_DIR");
  return dir ? dir : "";
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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
    HWND toolbar = waitForWindow(nullptr, "Tabiro2", kStartTimeoutMs);
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

}  // namespace
}  // namespace e2e
