// tabiro_demo.exe: the guided drive of scripts/demo on a virtual display.
// Once Tabiro2.exe (started by the script in build/demo, with the profile it
// wrote) shows its toolbar, it presses GPS by the key "1" as a user would,
// watches the drive and prints its timeline: each announcement with its
// time, position, distance to its waypoint or camera (from the car then and
// from the position the toolbar had read last when its chime began), phrase,
// WAV file and
// picture, what Navin' You was sent after it, and the track log.
// Screenshots at every announcement go to --out.
//
//   tabiro_demo.exe --out DIR --navstub-log FILE --speech-log FILE --sound-log FILE --route R.nyp
//                   --cameras C.pot --profile Tabiro2.ini [--seconds N]
//
// With a GPS receiver in place of Navin' You (scripts/demo --receiver),
// --feed-log FILE (the feeder's sentence log) replaces --navstub-log, and
// the file --start-mark FILE is made once GPS is pressed, so that the
// feeder starts with it as the stand-in's replay does.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "core/settings_store.h"
#include "gps/datum.h"
#include "guidance/camera_file.h"
#include "guidance/guidance_engine.h"
#include "guidance/route_file.h"
#include "guided_drive.h"
#include "harness.h"
#include "stub.h"

namespace e2e {
namespace {

struct Fix {
  uint64_t timeMs;
  int kmh;
  long latitudeTenths, longitudeTenths;  // as the stand-in logs them
};

std::vector<Fix> fixesOf(StubLog& navstub) {
  std::vector<Fix> fixes;
  for (const LogEntry& e : navstub.matching(isEvent("statusbar", "fix "))) {
    Fix f{e.timeMs, 0, 0, 0};
    unsigned index = 0;
    if (std::sscanf(e.event.c_str(), "fix %u %d %ld %ld", &index, &f.kmh, &f.latitudeTenths, &f.longitudeTenths) == 4)
      fixes.push_back(f);
  }
  return fixes;
}

// The feeder's log: "MONOTONIC_MS $GPRMC,..." per sentence as it went out,
// in WGS84; the monotonic clock is the one Wine's tick count runs on. The
// positions are taken back to the Tokyo datum of the route and the cameras.
std::vector<Fix> fixesOfFeed(const std::string& path) {
  std::vector<Fix> fixes;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    double ms = 0, lat = 0, lon = 0, knots = 0;
    char status = 0, ns = 0, ew = 0;
    if (std::sscanf(line.c_str(), "%lf $G%*cRMC,%*[^,],%c,%lf,%c,%lf,%c,%lf", &ms, &status, &lat, &ns, &lon, &ew,
                    &knots) != 7 || status != 'A')
      continue;
    const tabiro::GeoDegrees wgs84{std::floor(lat / 100) + std::fmod(lat, 100) / 60,
                                   std::floor(lon / 100) + std::fmod(lon, 100) / 60};
    const tabiro::GeoDegrees tokyo = tabiro::tokyoFromWgs84(wgs84);
    fixes.push_back({static_cast<uint64_t>(ms), static_cast<int>(std::lround(knots * 1.852)),
                     std::lround(tokyo.latitude * 36000), std::lround(tokyo.longitude * 36000)});
  }
  return fixes;
}

// When the toolbar's position reader asked the status bar for the longitude,
// the last part of each reading.
std::vector<uint64_t> readingsOf(StubLog& navstub) {
  std::vector<uint64_t> times;
  for (const LogEntry& e : navstub.matching(isMessage("statusbar", SB_GETTEXTA)))
    if (e.wParam == 4) times.push_back(e.timeMs);
  return times;
}

// When each sound began, from the sound sink's log (scripts/lib/sound-sink).
std::vector<uint64_t> soundStartsOf(StubLog& sounds) {
  std::vector<uint64_t> starts;
  for (const LogEntry& e : sounds.matching(isEvent("sound", "played "))) {
    unsigned long long start = 0;
    if (std::sscanf(e.event.c_str(), "played %llu", &start) == 1) starts.push_back(start);
  }
  return starts;
}

uint64_t lastAtOrBefore(const std::vector<uint64_t>& times, uint64_t timeMs) {
  uint64_t found = 0;
  for (uint64_t t : times)
    if (t <= timeMs) found = t;
  return found;
}

std::optional<Fix> fixAt(const std::vector<Fix>& fixes, uint64_t timeMs) {
  std::optional<Fix> found;
  for (const Fix& f : fixes)
    if (f.timeMs <= timeMs) found = f;
  return found;
}

std::string dms(long tenths) {
  char text[32];
  std::snprintf(text, sizeof text, "%ld°%02ld′%04.1f″", tenths / 36000, tenths / 600 % 60, (tenths % 600) / 10.0);
  return text;
}

std::int32_t units(long tenths) { return static_cast<std::int32_t>(std::lround(tenths * 25.6)); }

// The screenshot as the script keeps it: build/demo/announce-1.png.
std::string pictureFile(const std::string& bmp) {
  std::string name = bmp.substr(bmp.find_last_of('\\') + 1);
  return "build/demo/" + name.substr(0, name.rfind('.')) + ".png";
}

std::string chomp(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// The track log the toolbar wrote into the working folder: MMDDhhmm.log.
void printTrackLog(std::ostream& out) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA("????????.log", &data);
  if (find == INVALID_HANDLE_VALUE) {
    out << "GPS記録: 作業フォルダーに記録はありません。\n";
    return;
  }
  do {
    std::ifstream in(data.cFileName, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(chomp(line));
    out << "GPS記録 " << data.cFileName << ": " << lines.size() << " 行\n";
    if (!lines.empty()) out << "  最初 " << lines.front() << "\n  最後 " << lines.back() << "\n";
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

class Timeline {
 public:
  Timeline(const tabiro::RouteScan& route, const tabiro::CameraScan& cameras, tabiro::SettingsStore& settings)
      : route_(route), cameras_(cameras), settings_(settings) {}

  void print(const std::vector<DriveEvent>& events, const std::vector<Fix>& fixes,
             const std::vector<uint64_t>& readings, const std::vector<uint64_t>& sounds, StubLog& navstub,
             uint64_t startMs, std::ostream& out) {
    // Everything Navin' You did but show a fix: its slider moving for a
    // scale, its guide window, ...
    const std::vector<LogEntry> actions = navstub.matching(
        [](const LogEntry& e) { return e.isEvent && e.window != "statusbar" && e.event.rfind("fix ", 0) != 0; });
    for (size_t i = 0; i < events.size(); ++i) {
      const DriveEvent& e = events[i];
      char when[32];
      std::snprintf(when, sizeof when, "%+7.1f 秒", (static_cast<double>(e.timeMs) - startMs) / 1000);
      out << when << "  ";
      const auto fix = fixAt(fixes, e.timeMs);
      if (fix) out << "北緯 " << dms(fix->latitudeTenths) << " 東経 " << dms(fix->longitudeTenths) << " 時速 " << fix->kmh << " km  ";
      if (e.kind == DriveEvent::Kind::Picture) {
        out << "絵 " << e.text << (e.caption.empty() ? "" : "「" + e.caption + "」");
      } else {
        // The announcement begins with its chime, the phrase follows it: the
        // fix the toolbar had read last when the chime began is the one the
        // engine announced on, unless the announcement came late.
        const uint64_t chime = lastAtOrBefore(sounds, e.timeMs);
        std::optional<Fix> read;
        if (const uint64_t reading = lastAtOrBefore(readings, chime)) read = fixAt(fixes, reading);
        out << "「" << e.text << "」" << target(e, fix, read);
      }
      if (!e.screenshot.empty()) out << "  画面 " << pictureFile(e.screenshot);
      out << "\n";
      // What Navin' You did until the next phrase: the map actions a
      // waypoint's tags asked for.
      if (e.kind != DriveEvent::Kind::Speech) continue;
      uint64_t until = UINT64_MAX;
      for (size_t j = i + 1; j < events.size() && until == UINT64_MAX; ++j)
        if (events[j].kind == DriveEvent::Kind::Speech) until = events[j].timeMs;
      std::string sent;
      std::string slider;  // a run of slider steps as its first and last place
      for (const LogEntry& a : actions) {
        if (a.timeMs < e.timeMs || a.timeMs >= until) continue;
        if (a.event.rfind("slider ", 0) == 0) {
          const std::string to = a.event.substr(7);
          slider = slider.empty() ? to : slider.substr(0, slider.find(" → ")) + " → " + to;
          continue;
        }
        if (!slider.empty()) sent += "  スライダー " + slider;
        slider.clear();
        sent += "  " + a.window + " " + a.event;
      }
      if (!slider.empty()) sent += "  スライダー " + slider;
      if (!sent.empty()) out << "           Navin' You:" << sent << "\n";
    }
  }

 private:
  // The camera named in a phrase, or the waypoint the toolbar showed: its
  // distance and the WAV file played in place of speech.
  std::string target(const DriveEvent& e, const std::optional<Fix>& fix, const std::optional<Fix>& read) {
    auto metres = [](const Fix& f, tabiro::Coordinates p) {
      const double d =
          tabiro::distanceMetres(units(f.latitudeTenths), units(f.longitudeTenths), p.latitude, p.longitude);
      return std::to_string(static_cast<long>(d)) + " m";
    };
    auto distance = [&](tabiro::Coordinates p) {
      if (!fix) return std::string();
      return "まで " + metres(*fix, p) + (read ? "（チャイムの時に読んでいた位置から " + metres(*read, p) + "）" : std::string());
    };
    for (size_t n = 0; n < cameras_.cameras.size(); ++n) {
      const tabiro::CameraEntry& c = cameras_.cameras[n];
      if (!c.text.empty() && e.text.find(c.text) != std::string::npos)
        return "  オービス " + std::to_string(n + 1) + " \"" + c.text + "\" " + distance(c.position) + "  " +
               tabiro::cameraWavFile(c.text);
    }
    if (e.waypoint >= 1 && static_cast<size_t>(e.waypoint) <= route_.waypoints.size()) {
      const tabiro::RouteWaypoint& w = route_.waypoints[static_cast<size_t>(e.waypoint) - 1];
      const tabiro::TurnPhrase phrase = tabiro::turnPhrase(settings_, w.text);
      if (phrase.speechText == e.text)
        return "  地点 " + std::to_string(e.waypoint) + " \"" + chomp(w.text) + "\" " + distance(w.position) + "  " +
               phrase.wavFile;
    }
    return {};
  }

  const tabiro::RouteScan& route_;
  const tabiro::CameraScan& cameras_;
  tabiro::SettingsStore& settings_;
};

template <typename Scan, typename Reader>
Scan readScan(const std::string& path, Reader reader) {
  std::ifstream in(path, std::ios::binary);
  return reader(in);
}

int runDemo(const stub::Args& args) {
  const std::string out = args.value("out");
  const int seconds = static_cast<int>(args.integer("seconds", 120));
  StubLog navstub(args.value("navstub-log"));
  StubLog speech(args.value("speech-log"));
  StubLog sounds(args.value("sound-log"));
  const auto route = readScan<tabiro::RouteScan>(args.value("route"), tabiro::scanRoute);
  const auto cameras = readScan<tabiro::CameraScan>(args.value("cameras"), tabiro::scanCameras);
  tabiro::SettingsStore settings(args.value("profile"));

  const std::string feedLog = args.value("feed-log");
  const bool receiver = !feedLog.empty();
  HWND toolbar = waitForShownWindow(nullptr, "Tabiro2", 30000);
  const bool ready = toolbar && (receiver || (waitForWindow("Navin' You", nullptr, 30000) &&
                                              navstub.waitFor(isEvent("main", "documents"), 30000)));
  if (!ready) {
    std::cout << (receiver ? "demo: ツールバーが出ません\n" : "demo: ツールバーか Navin' You が出ません\n");
    return 1;
  }
  std::cout << (receiver ? "demo: ツールバーが起動しました（地図ソフトなし、GPS受信機 COM9）。GPS をキー 1 で開始します。\n"
                         : "demo: ツールバーと Navin' You（代役）が起動しました。GPS をキー 1 で開始します。\n");
  const uint64_t start = GetTickCount64();
  if (!pressKey(toolbar, '1')) std::cout << "demo: キー 1 を押せませんでした\n";
  if (args.has("start-mark")) std::ofstream(args.value("start-mark")) << start << "\n";

  DriveWatcher watcher(speech, toolbar, out + "\\announce");
  const uint64_t deadline = start + static_cast<uint64_t>(seconds) * 1000;
  uint64_t endSeen = 0;
  const auto feedSize = [&feedLog]() -> uint64_t {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(feedLog.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  };
  uint64_t fed = 0;
  uint64_t lastFed = 0;
  while (GetTickCount64() < deadline && IsWindow(toolbar)) {
    watcher.poll();
    if (receiver && feedSize() > fed) {
      fed = feedSize();
      lastFed = GetTickCount64();
    }
    // The drive is over when the stand-in says so, or the feeder has been
    // silent for three seconds.
    const bool over = receiver ? fed && GetTickCount64() > lastFed + 3000
                               : !navstub.matching(isEvent("statusbar", "replay end")).empty();
    if (!endSeen && over) endSeen = GetTickCount64();
    if (endSeen && GetTickCount64() > endSeen + 8000) break;  // the end announcement has had its time
    Sleep(kPollMs);
  }
  saveScreenshot(out + "\\end.bmp");

  // A receiver's fix is read the moment the feeder sends it; the stand-in's
  // status bar is read when the toolbar's reader asks.
  const std::vector<Fix> fixes = receiver ? fixesOfFeed(feedLog) : fixesOf(navstub);
  std::vector<uint64_t> readings;
  if (receiver)
    for (const Fix& fix : fixes) readings.push_back(fix.timeMs);
  else
    readings = readingsOf(navstub);
  std::cout << "demo: 時刻はキー 1 からの秒数\n";
  Timeline(route, cameras, settings)
      .print(watcher.events(), fixes, readings, soundStartsOf(sounds), navstub, start, std::cout);
  if (watcher.events().empty()) std::cout << "demo: 案内はありませんでした\n";
  printTrackLog(std::cout);
  return 0;
}

}  // namespace
}  // namespace e2e

int main() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  return e2e::runDemo(stub::Args::fromProcess());
}
