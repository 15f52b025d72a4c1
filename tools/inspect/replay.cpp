#include "replay.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "core/modes.h"
#include "core/settings_store.h"
#include "core/shared_state.h"
#include "drive_file.h"
#include "gps/status_bar.h"
#include "guidance/camera_file.h"
#include "guidance/guidance_engine.h"
#include "guidance/pictures.h"
#include "guidance/route_file.h"
#include "guidance/text_file.h"

namespace tabiro::inspect {

namespace {

constexpr std::int64_t kReaderCycleMs = 400;
// A gap in a drive longer than this (a log of two GPS starts) is crossed at
// once: the engine would only see the same fix again and again.
constexpr std::int64_t kLongestGapMs = 10000;
// The car stands at the drive's last position a while, as it would.
constexpr std::int64_t kStandingMs = 5000;

struct Moment {
  std::int64_t timeMs = 0;
  std::string clock;
  std::int32_t speedKmh = 0;
  std::int32_t heading = 0;
  Coordinates position;
};

struct Announcement {
  Moment at;
  bool camera = false;
  int row = 0;  // waypoint or camera
  std::int64_t distance = 0;
  std::string phrase;
  std::string wavFile;
  AnnouncedPicture picture;
  bool pictureOnly = false;
  std::vector<int> commands;
};

// The engine's output, written down instead of played.
class Recorder : public GuidanceOutput {
 public:
  std::vector<Announcement> pending;
  std::vector<int> commands;

  void announce(const std::string& speechText, const AnnouncedPicture& picture,
                const std::string& wavFile) override {
    Announcement& a = add(picture);
    a.phrase = speechText;
    a.wavFile = wavFile;
  }
  void showPicture(const AnnouncedPicture& picture) override { add(picture).pictureOnly = true; }
  void toolbarCommand(int id) override { commands.push_back(id); }
  void showCurrentWaypoint() override {}
  void cancelRaiseTimers() override {}
  void rearmRaiseTimer() override {}

 private:
  Announcement& add(const AnnouncedPicture& picture) {
    Announcement& a = pending.emplace_back();
    a.camera = picture.kind == AnnouncedPicture::Kind::Camera;
    a.picture = picture;
    return a;
  }
};

// The closest the car came to a waypoint or camera, and how it went there.
struct Approach {
  std::int64_t distance = -1;
  Moment at;
  void consider(std::int64_t d, const Moment& m) {
    if (distance < 0 || d < distance) {
      distance = d;
      at = m;
    }
  }
};

// What a camera saw of the car while it was within "OvisUp".
struct CameraWatch {
  Approach closest;
  bool inRange = false;
  bool fastEnough = false;   // some pass in range at "OvisUp2" or more
  bool rightWay = false;     // some pass in range heading the camera's way
  bool bothTogether = false; // some pass with both
  std::int32_t fastest = 0;
  std::int32_t minHeading = 360, maxHeading = -1;
};

std::string timeText(const Moment& m) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%04.1f (%s)", static_cast<int>(m.timeMs / 60000),
                static_cast<double>(m.timeMs % 60000) / 1000, m.clock.c_str());
  return text;
}

std::string moveText(const Moment& m) {
  return "時速 " + std::to_string(m.speedKmh) + " km、方向 " + std::to_string(m.heading) + "°";
}

std::string chomp(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// The picture the worker would show: the junction a waypoint's tag asks for,
// or the camera's kind; a turn without a known tag shows none.
std::string pictureText(const Announcement& a, const std::string& waypointText) {
  const std::string file = a.camera ? cameraPictureFor(a.picture.cameraText) : turnPictureFor(waypointText);
  return file.empty() ? std::string("絵なし") : "絵 " + file;
}

struct Files {
  RouteScan route;
  CameraScan cameras;
  Drive drive;
};

std::optional<Files> readFiles(const std::string& routePath, const std::string& camerasPath,
                               const std::string& drivePath, std::ostream& err) {
  std::ifstream route, cameras, drive;
  bool ok = true;
  for (auto [file, path] : {std::pair{&route, &routePath}, {&cameras, &camerasPath}, {&drive, &drivePath}}) {
    if (!openForReading(*file, *path)) {
      err << fileOpenErrorText(*path) << "\n";
      ok = false;
    }
  }
  if (!ok) return std::nullopt;
  return Files{scanRoute(route), scanCameras(cameras), readDrive(drive)};
}

// A copy of the profile (or an empty one) for the engine to write its
// waypoint and stage into; the user's profile stays untouched.
class ScratchProfile {
 public:
  explicit ScratchProfile(const std::string& from) {
    path_ = std::filesystem::temp_directory_path() /
            ("tabiro-replay-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".ini");
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!from.empty()) out << std::ifstream(from, std::ios::binary).rdbuf();
  }
  ~ScratchProfile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

class Replay {
 public:
  Replay(const Files& files, SettingsStore& settings, std::ostream& out)
      : files_(files), settings_(settings), out_(out), state_(std::make_unique<SharedState>()) {}

  void run();
  const std::vector<Announcement>& announcements() const { return announcements_; }

 private:
  void pass(const Moment& now);
  void record(Recorder& recorder, const Moment& now, int waypoint);
  void watch(const Moment& now);
  void printAnnouncement(const Announcement& a);
  void printNeverFired();

  const Files& files_;
  SettingsStore& settings_;
  std::ostream& out_;
  std::unique_ptr<SharedState> state_;
  EngineLimits limits_;
  EngineState engine_;
  std::vector<Announcement> announcements_;
  std::vector<Approach> waypoints_;
  std::vector<CameraWatch> cameras_;
  std::optional<Moment> ended_;
  int passes_ = 0;
};

void Replay::run() {
  SharedState& s = *state_;
  const int rows = storeRoute(files_.route, s.waypoints);
  settings_.writeInt(key::kWayPointMax, rows);
  storeCameras(files_.cameras, s.cameras);
  // As at a program start: the first waypoint, stage 0.
  settings_.writeInt(key::kWayPoint, 1);
  writePointLevel(settings_, PointLevel::Far);
  store(s.guidanceRun, 1);
  store(s.positionReaderRun, 1);
  limits_ = readEngineLimits(settings_);
  waypoints_.resize(static_cast<std::size_t>(rows) + 1);
  cameras_.resize(files_.cameras.cameras.size() + 1);

  out_ << "設定: OvisUp " << limits_.ovisUp << " m、OvisUp2 " << limits_.ovisUp2 << " km/h、WaveUp "
       << settings_.readInt(key::kWaveUp) << " 秒\n";
  const auto& samples = files_.drive.samples;
  std::size_t next = 0;
  GpsFix fix;
  HeadingFromMoves heading;
  const std::int64_t end = samples.back().timeMs + kStandingMs;
  for (std::int64_t t = 0; t <= end && load(s.guidanceRun) != 0; t += kReaderCycleMs) {
    if (next < samples.size() && samples[next].timeMs - t > kLongestGapMs) t = samples[next].timeMs - kLongestGapMs;
    while (next < samples.size() && samples[next].timeMs <= t) ++next;
    const DriveSample& sample = samples[next - 1];
    // As the reader: a cycle without a position is no fix and makes no pass.
    if (!applyStatusTexts(fix, heading, sample.speedText, sample.latitudeText,
                          sample.longitudeText)) {
      continue;
    }
    publishFix(s, fix);
    pass({t, sample.clock, fix.speedKmh, fix.heading, {fix.latitude, fix.longitude}});
  }
  out_ << passes_ << " 回の位置で案内を試しました（" << kReaderCycleMs << " ms ごと）。\n";
  if (ended_) out_ << timeText(*ended_) << "  最後の地点を過ぎ、案内が終わりました。\n";
  printNeverFired();
}

void Replay::pass(const Moment& now) {
  ++passes_;
  const int waypoint = settings_.readInt(key::kWayPoint);
  watch(now);
  Recorder recorder;
  guidancePass(settings_, *state_, limits_, engine_, recorder);
  record(recorder, now, waypoint);
  if (load(state_->guidanceRun) == 0) ended_ = now;
}

// Closest approaches, and what each camera saw while the car was in range.
void Replay::watch(const Moment& now) {
  const GpsFix fix = state_->gpsFix.get();
  for (std::size_t w = 1; w < waypoints_.size(); ++w) {
    const Waypoint& row = state_->waypoints.row(static_cast<int>(w));
    waypoints_[w].consider(static_cast<std::int64_t>(distanceMetres(fix.latitude, fix.longitude,
                                                                     load(row.latitude), load(row.longitude))),
                           now);
  }
  for (std::size_t c = 1; c < cameras_.size(); ++c) {
    const Camera& row = state_->cameras.row(static_cast<int>(c));
    const auto d = static_cast<std::int64_t>(
        distanceMetres(fix.latitude, fix.longitude, load(row.latitude), load(row.longitude)));
    CameraWatch& w = cameras_[c];
    w.closest.consider(d, now);
    if (d >= limits_.ovisUp) continue;
    const bool fast = now.speedKmh >= limits_.ovisUp2;
    const bool way = watchesHeading(load(row.direction), now.heading);
    w.inRange = true;
    w.fastEnough |= fast;
    w.rightWay |= way;
    w.bothTogether |= fast && way;
    w.fastest = std::max(w.fastest, now.speedKmh);
    w.minHeading = std::min(w.minHeading, now.heading);
    w.maxHeading = std::max(w.maxHeading, now.heading);
  }
}

void Replay::record(Recorder& recorder, const Moment& now, int waypoint) {
  const GpsFix fix = state_->gpsFix.get();
  for (Announcement& a : recorder.pending) {
    a.at = now;
    if (a.camera) {
      a.row = engine_.heldCamera;
      const Camera& c = state_->cameras.row(a.row);
      a.distance = static_cast<std::int64_t>(
          distanceMetres(fix.latitude, fix.longitude, load(c.latitude), load(c.longitude)));
    } else {
      a.row = waypoint;
      const Waypoint& w = state_->waypoints.row(waypoint);
      a.distance = static_cast<std::int64_t>(
          distanceMetres(fix.latitude, fix.longitude, load(w.latitude), load(w.longitude)));
      a.commands = recorder.commands;
    }
    printAnnouncement(a);
    announcements_.push_back(a);
  }
  // A turn with no voice tag is still a turn: its commands are printed alone.
  if (recorder.pending.empty() && !recorder.commands.empty()) {
    Announcement a;
    a.at = now;
    a.row = waypoint;
    a.commands = recorder.commands;
    printAnnouncement(a);
  }
}

void Replay::printAnnouncement(const Announcement& a) {
  out_ << timeText(a.at) << "  ";
  if (a.camera) {
    out_ << "オービス " << a.row << " \"" << state_->cameras.row(a.row).text.get() << "\"";
  } else {
    out_ << "地点 " << a.row << " \"" << chomp(state_->waypoints.row(a.row).text.get()) << "\"";
  }
  out_ << "  " << a.distance << " m  " << moveText(a.at) << "\n";
  if (!a.phrase.empty()) out_ << "    「" << a.phrase << "」  " << a.wavFile << "\n";
  if (a.pictureOnly || !a.phrase.empty()) {
    out_ << "    " << pictureText(a, state_->waypoints.row(a.row).text.get()) << (a.pictureOnly ? "（絵だけ）" : "")
         << "\n";
  }
  if (!a.commands.empty()) {
    out_ << "    ツールバーのコマンド";
    for (const int id : a.commands) out_ << " " << id;
    out_ << "\n";
  }
}

void Replay::printNeverFired() {
  const int last = settings_.readInt(key::kWayPoint);
  bool any = false;
  auto title = [&] {
    if (!any) out_ << "案内されなかったもの:\n";
    any = true;
  };
  for (std::size_t w = 1; w < waypoints_.size(); ++w) {
    const int row = static_cast<int>(w);
    const bool announced = std::any_of(announcements_.begin(), announcements_.end(),
                                       [&](const Announcement& a) { return !a.camera && a.row == row; });
    if (announced) continue;
    title();
    const Approach& a = waypoints_[w];
    out_ << "  地点 " << row << " \"" << chomp(state_->waypoints.row(row).text.get()) << "\": ";
    if (row < last) {
      out_ << "音声のタグがなく、言葉はありません。";
    } else if (row > last) {
      out_ << "地点 " << last << " を過ぎなかったため、順番が来ませんでした。";
    } else {
      out_ << "近づきませんでした（" << (a.distance < 1200 ? "案内の距離" : "1200 m ") << "の内に入らず）。";
    }
    if (a.distance >= 0) out_ << "最も近づいたのは " << a.distance << " m（" << timeText(a.at) << "、" << moveText(a.at) << "）";
    out_ << "\n";
  }
  for (std::size_t c = 1; c < cameras_.size(); ++c) {
    const int row = static_cast<int>(c);
    const bool announced = std::any_of(announcements_.begin(), announcements_.end(),
                                       [&](const Announcement& a) { return a.camera && a.row == row; });
    if (announced) continue;
    const Camera& camera = state_->cameras.row(row);
    if (load(camera.latitude) == 0 || load(camera.longitude) == 0) break;  // the list ends here
    title();
    const CameraWatch& w = cameras_[c];
    const std::int32_t direction = load(camera.direction);
    out_ << "  オービス " << row << " \"" << camera.text.get() << "\"（方向 "
         << (direction == CameraTable::kAnyDirection ? std::string("全方向") : std::to_string(direction) + "°")
         << "）: ";
    if (!w.inRange) {
      out_ << limits_.ovisUp << " m の内に入りませんでした。";
    } else if (!w.fastEnough && !w.rightWay) {
      out_ << "遅すぎ（最高 時速 " << w.fastest << " km、OvisUp2 " << limits_.ovisUp2
           << " km/h 未満）、向きも違いました（方向 " << w.minHeading << "°〜" << w.maxHeading << "°）。";
    } else if (!w.fastEnough) {
      out_ << "遅すぎました（" << limits_.ovisUp << " m の内で最高 時速 " << w.fastest << " km、OvisUp2 "
           << limits_.ovisUp2 << " km/h 未満）。";
    } else if (!w.rightWay) {
      out_ << "向きが違いました（" << limits_.ovisUp << " m の内の方向 " << w.minHeading << "°〜" << w.maxHeading
           << "°、オービスは ±60° の内だけ）。";
    } else if (!w.bothTogether) {
      out_ << "速さと向きが同時にそろいませんでした。";
    } else {
      out_ << "条件がそろった時、ほかのオービスを警告中か、オービスが後ろにありました。";
    }
    out_ << "最も近づいたのは " << w.closest.distance << " m（" << timeText(w.closest.at) << "、"
         << moveText(w.closest.at) << "）\n";
  }
  if (!any) out_ << "案内されなかった地点とオービスはありません。\n";
}

}  // namespace

std::vector<FiredAnnouncement> firedAlong(const RouteScan& route, const CameraScan& cameras, const Drive& drive) {
  if (drive.samples.empty()) return {};
  const Files files{route, cameras, drive};
  ScratchProfile scratch("");
  SettingsStore settings(scratch.path());
  std::ostream quiet(nullptr);
  Replay replayed(files, settings, quiet);
  replayed.run();
  std::vector<FiredAnnouncement> fired;
  for (const Announcement& a : replayed.announcements()) fired.push_back({a.at.position, a.camera, a.row});
  return fired;
}

int replay(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> files;
  std::string profile;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--profile" && i + 1 < args.size()) {
      profile = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 3) return 2;
  if (!profile.empty()) {
    std::ifstream check;
    if (!openForReading(check, profile)) {
      err << fileOpenErrorText(profile) << "\n";
      return 1;
    }
  }
  const auto read = readFiles(files[0], files[1], files[2], err);
  if (!read) return 1;
  out << "ルート " << files[0] << ": 地点 " << read->route.waypoints.size() << "\n"
      << "オービス " << files[1] << ": " << read->cameras.cameras.size() << " 行\n"
      << "走行 " << files[2] << ": "
      << (read->drive.kind == Drive::Kind::Nmea ? "NMEA" : "GPS 記録") << " " << read->drive.samples.size() << " 点\n";
  for (const int line : read->drive.badLines) err << files[2] << " " << line << "行目: 記録の行ではないため飛ばします。\n";
  if (read->drive.samples.empty()) {
    err << files[2] << ": 位置が1つもありません。\n";
    return 1;
  }
  ScratchProfile scratch(profile);
  SettingsStore settings(scratch.path());
  Replay(*read, settings, out).run();
  return 0;
}

}  // namespace tabiro::inspect
