#include "track_logs.h"

#include <windows.h>

#include <cstdio>
#include <sstream>

#include "harness.h"

namespace e2e {

std::vector<std::string> trackLogs() {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((binDir() + "\\????????.log").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    found.push_back(binDir() + "\\" + data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

void removeTrackLogs() {
  for (const std::string& path : trackLogs()) DeleteFileA(path.c_str());
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) result.push_back(line);
  }
  return result;
}

long tenths(const std::string& text) {
  int degrees = 0, minutes = 0;
  double seconds = 0;
  if (sscanf(text.c_str(), "%d:%d:%lf", &degrees, &minutes, &seconds) != 3) return -1;
  return static_cast<long>((degrees * 3600 + minutes * 60) * 10 + seconds * 10 + 0.5);
}

}  // namespace e2e
