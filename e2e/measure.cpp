// Prints how long Tabiro2 takes from process start to a visible toolbar with
// no map program configured, and how many times the profile is written while
// the toolbar repaints 100 times without moving (it must be none), with one
// move as the check that a repaint does save a changed place.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

namespace e2e {
namespace {

HWND visibleToolbar() {
  HWND toolbar = FindWindowA(nullptr, "Tabiro2");
  return toolbar && IsWindowVisible(toolbar) ? toolbar : nullptr;
}

// Milliseconds from CreateProcess to a visible toolbar; -1 on a time-out.
double startUpMs(Processes& processes) {
  LARGE_INTEGER frequency, begin, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  if (!processes.start(exePath("Tabiro2.exe"), {})) return -1;
  for (;;) {
    QueryPerformanceCounter(&now);
    const double ms = 1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) / frequency.QuadPart;
    if (visibleToolbar()) return ms;
    if (ms > 30000) return -1;
    Sleep(1);
  }
}

// Counts the changes to the files of one folder while it lives.
class FolderWatch {
 public:
  explicit FolderWatch(const std::string& folder)
      : folder_(folder),
        dir_(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)),
        thread_([this] { watch(); }) {}
  ~FolderWatch() {
    stop_ = true;
    CancelIoEx(dir_, nullptr);
    // A change of our own wakes the watch where cancelling does not.
    const std::string wake = folder_ + "\\measure.wake";
    CloseHandle(CreateFileA(wake.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DeleteFileA(wake.c_str());
    thread_.join();
    CloseHandle(dir_);
  }
  int changes() const { return changes_; }

 private:
  void watch() {
    alignas(DWORD) char buffer[16384];
    DWORD bytes = 0;
    while (!stop_ && ReadDirectoryChangesW(dir_, buffer, sizeof buffer, FALSE,
                                           FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                               FILE_NOTIFY_CHANGE_SIZE,
                                           &bytes, nullptr, nullptr)) {
      for (DWORD offset = 0; bytes > 0 && !stop_;) {
        const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + offset);
        ++changes_;
        if (!info->NextEntryOffset) break;
        offset += info->NextEntryOffset;
      }
    }
  }
  std::string folder_;
  HANDLE dir_;
  std::atomic<bool> stop_{false};
  std::atomic<int> changes_{0};
  std::thread thread_;
};

void repaint(HWND toolbar) {
  RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  send(toolbar, WM_NULL);  // the repaint has been handled once this returns
}

int measure() {
  const std::string profileFolder = profilePath().substr(0, profilePath().find_last_of('\\'));
  std::vector<double> times;
  for (int run = 0; run < 5; ++run) {
    removeProfile();
    Processes processes;
    times.push_back(startUpMs(processes));
    processes.killAll();
  }
  std::sort(times.begin(), times.end());
  std::printf("start-up to toolbar visible, no map program (5 runs): min %.0f ms, median %.0f ms, max %.0f ms\n",
              times.front(), times[times.size() / 2], times.back());

  removeProfile();
  Processes processes;
  if (startUpMs(processes) < 0) {
    std::printf("the toolbar did not show\n");
    return 1;
  }
  HWND toolbar = visibleToolbar();
  // Let the start-up writes and the first place save settle.
  waitUntil([] { return readProfile().find("[RECT]") != std::string::npos; });
  repaint(toolbar);
  Sleep(500);
  int still = 0;
  {
    FolderWatch watch(profileFolder);
    Sleep(200);
    for (int i = 0; i < 100; ++i) repaint(toolbar);
    Sleep(500);
    still = watch.changes();
  }
  int moved = 0;
  {
    FolderWatch watch(profileFolder);
    Sleep(200);
    SetWindowPos(toolbar, nullptr, 30, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    repaint(toolbar);
    Sleep(500);
    moved = watch.changes();
  }
  std::printf("file events in the profile folder during 100 repaints without a move: %d\n", still);
  std::printf("file events after one move and a repaint (two keys saved, each by temp file and rename): %d\n", moved);
  processes.killAll();
  removeProfile();
  return still == 0 && moved > 0 ? 0 : 1;
}

}  // namespace
}  // namespace e2e

int main() { return e2e::measure(); }
