#include "guidance/audio_ducking.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <set>
#include <string_view>

#include "core/atomic_file.h"
#include "guidance/music_players.h"

namespace tabiro {

namespace {

// A program may keep this many start-ups without a session before the
// volume it was left at is forgotten: one that is rarely used but still
// installed gets its level back when it next plays during a run.
constexpr int kUnmatchedStartsKept = 3;

// Levels read back within this are the one set: a mixer slider moves by
// whole percents.
constexpr float kSameLevel = 0.005f;

bool sameLevel(float a, float b) { return std::fabs(a - b) <= kSameLevel; }

std::string volumeText(float volume) {
  char text[32];
  // The shortest text that reads back as the very same float.
  const auto written = std::to_chars(text, text + sizeof text, volume);
  return std::string(text, written.ptr);
}

// One line per session: its volume, the level it was given, the start-ups
// it went unmatched, its program and its session identifier, tab-separated;
// the identifier last, so that nothing in it can shift the fields.
std::string formatRestoreFile(const std::vector<LoweredSession>& sessions) {
  std::string out;
  for (const LoweredSession& s : sessions) {
    out += volumeText(s.volume) + '\t' + volumeText(s.lowered) + '\t' +
           std::to_string(s.unmatchedStarts) + '\t' + s.executable + '\t' + s.sessionId + '\n';
  }
  return out;
}

std::optional<float> parseVolume(std::string_view text) {
  float volume = 0.0f;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), volume);
  if (read.ptr != text.data() + text.size() || !(volume >= 0.0f && volume <= 1.0f)) {
    return std::nullopt;
  }
  return volume;
}

std::optional<LoweredSession> parseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string_view fields[5];
  for (int i = 0; i < 4; ++i) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    fields[i] = line.substr(0, tab);
    line.remove_prefix(tab + 1);
  }
  fields[4] = line;
  LoweredSession s;
  const std::optional<float> volume = parseVolume(fields[0]);
  const std::optional<float> lowered = parseVolume(fields[1]);
  const auto starts = std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(),
                                      s.unmatchedStarts);
  if (!volume || !lowered || starts.ptr != fields[2].data() + fields[2].size() ||
      s.unmatchedStarts < 0 || fields[4].empty()) {
    return std::nullopt;
  }
  s.volume = *volume;
  s.lowered = *lowered;
  s.executable = std::string(fields[3]);
  s.sessionId = std::string(fields[4]);
  return s;
}

std::vector<LoweredSession> parseRestoreFile(std::string_view contents) {
  std::vector<LoweredSession> sessions;
  while (!contents.empty()) {
    const std::size_t end = std::min(contents.find('\n'), contents.size());
    if (auto s = parseLine(contents.substr(0, end))) sessions.push_back(std::move(*s));
    contents.remove_prefix(std::min(end + 1, contents.size()));
  }
  return sessions;
}

// The file holds what is still to be put back, and goes when nothing is.
bool saveRestoreFile(AppContext& ctx, const std::vector<LoweredSession>& sessions) {
  const std::string file = restoreFilePath(ctx.settings.path());
  if (sessions.empty()) {
    std::remove(file.c_str());
    return true;
  }
  return replaceFileAtomically(file, formatRestoreFile(sessions));
}

// Our own sound, and the players pauseMusic stops and resumes by itself.
std::set<std::uint32_t> processesLeftAlone(AppContext& ctx) {
  std::set<std::uint32_t> alone{ctx.audio.ownProcessId()};
  for (const char* player : {kWinampClass, kLayer3Class}) {
    if (const WindowHandle window = ctx.desktop.findWindow(player, nullptr)) {
      alone.insert(ctx.desktop.processId(window));
    }
  }
  return alone;
}

// The sessions this program may lower and put back: not its own, not the
// players', not Windows' own sounds, and none whose identifiers would break
// a line of the restore file, since after a crash it could not be mended.
std::vector<AudioSession> otherSessions(AppContext& ctx, std::vector<AudioSession> sessions) {
  const std::set<std::uint32_t> alone = processesLeftAlone(ctx);
  std::erase_if(sessions, [&](const AudioSession& s) {
    return alone.count(s.processId) || s.systemSounds || s.instanceId.empty() ||
           s.sessionId.empty() || s.sessionId.find_first_of("\r\n") != std::string::npos ||
           s.executable.find_first_of("\t\r\n") != std::string::npos;
  });
  return sessions;
}

constexpr std::size_t kUnmatched = static_cast<std::size_t>(-1);

// For each remembered session, the index of its session now, or kUnmatched:
// by its instance while that lives, else one of the same program's that no
// other has taken, at the level it was given if one is.
std::vector<std::size_t> matchSessions(const std::vector<LoweredSession>& remembered,
                                       const std::vector<AudioSession>& sessions) {
  std::vector<std::size_t> match(remembered.size(), kUnmatched);
  std::vector<bool> taken(sessions.size(), false);
  for (std::size_t r = 0; r < remembered.size(); ++r) {
    for (std::size_t i = 0; i < sessions.size() && !remembered[r].instanceId.empty(); ++i) {
      if (!taken[i] && sessions[i].instanceId == remembered[r].instanceId) {
        match[r] = i;
        taken[i] = true;
        break;
      }
    }
  }
  for (std::size_t r = 0; r < remembered.size(); ++r) {
    if (match[r] != kUnmatched) continue;
    const LoweredSession& left = remembered[r];
    for (std::size_t i = 0; i < sessions.size(); ++i) {
      const AudioSession& s = sessions[i];
      if (taken[i] || s.sessionId != left.sessionId || s.executable != left.executable) continue;
      if (match[r] == kUnmatched || sameLevel(s.volume, left.lowered)) match[r] = i;
      if (sameLevel(s.volume, left.lowered)) break;
    }
    if (match[r] != kUnmatched) taken[match[r]] = true;
  }
  return match;
}

// Puts back every remembered session still at the level it was given; one
// the user has set meanwhile keeps the user's level. What cannot be put back
// now stays remembered: a session whose set failed, and one whose program
// has no session now (Windows gives it the lowered level when it plays
// again) unless, at a start-up, its program is gone or was missed too often.
void putBack(AppContext& ctx, std::vector<LoweredSession>& remembered, bool atStartUp) {
  std::optional<std::vector<AudioSession>> listed = ctx.audio.list();
  if (!listed) return;
  const std::vector<AudioSession> sessions = otherSessions(ctx, std::move(*listed));
  const std::vector<std::size_t> match = matchSessions(remembered, sessions);

  std::vector<LoweredSession> kept;
  std::vector<LoweredSession> restoring;
  std::vector<VolumeChange> changes;
  for (std::size_t r = 0; r < remembered.size(); ++r) {
    LoweredSession s = std::move(remembered[r]);
    if (match[r] != kUnmatched) {
      const AudioSession& now = sessions[match[r]];
      if (!sameLevel(now.volume, s.lowered)) continue;
      s.instanceId = now.instanceId;
      changes.push_back({now.instanceId, s.volume});
      restoring.push_back(std::move(s));
      continue;
    }
    s.instanceId.clear();
    if (atStartUp) {
      if (!s.executable.empty() && !ctx.audio.programExists(s.executable)) continue;
      if (++s.unmatchedStarts >= kUnmatchedStartsKept) continue;
    }
    kept.push_back(std::move(s));
  }
  if (!changes.empty()) {
    const std::vector<bool> done = ctx.audio.setVolumes(changes);
    for (std::size_t i = 0; i < restoring.size(); ++i) {
      if (i >= done.size() || !done[i]) kept.push_back(std::move(restoring[i]));
    }
  }
  remembered = std::move(kept);
  saveRestoreFile(ctx, remembered);
}

}  // namespace

std::string restoreFilePath(const std::string& profilePath) {
  const std::size_t dot = profilePath.find_last_of('.');
  const std::size_t folder = profilePath.find_last_of("\\/");
  const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
  return (hasExtension ? profilePath.substr(0, dot) : profilePath) + ".vol";
}

void lowerOtherSessions(AppContext& ctx) {
  LoweredSessions& lowered = ctx.state.lowered;
  const std::lock_guard<std::mutex> lock(lowered.mutex);
  ++lowered.announcements;
  const int percent = std::clamp(ctx.settings.readInt(key::kDuckLevel),
                                 kDuckLevelMin, kDuckLevelMax);
  if (ctx.settings.readInt(key::kDuck) == 0 || percent == kDuckLevelMax) return;
  std::optional<std::vector<AudioSession>> listed = ctx.audio.list();
  if (!listed) return;
  const std::vector<AudioSession> sessions = otherSessions(ctx, std::move(*listed));
  const float factor = static_cast<float>(percent) / 100.0f;

  // A remembered session is lowered already, its level now not its own; one
  // left lowered earlier is lowered from the volume it had then, unless the
  // user has set it since.
  std::vector<LoweredSession> all;
  std::vector<VolumeChange> changes;
  std::vector<bool> remembered(sessions.size(), false);
  const std::vector<std::size_t> match = matchSessions(lowered.sessions, sessions);
  for (std::size_t r = 0; r < lowered.sessions.size(); ++r) {
    LoweredSession s = lowered.sessions[r];
    if (match[r] != kUnmatched) {
      const AudioSession& now = sessions[match[r]];
      if (s.instanceId.empty()) {
        if (!sameLevel(now.volume, s.lowered)) continue;
        s.instanceId = now.instanceId;
        s.lowered = s.volume * factor;
        changes.push_back({s.instanceId, s.lowered});
      }
      remembered[match[r]] = true;
    }
    all.push_back(std::move(s));
  }
  // A silent session has nothing to lower.
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    const AudioSession& s = sessions[i];
    if (remembered[i] || s.expired || s.muted || s.volume <= 0.0f) continue;
    all.push_back({s.instanceId, s.sessionId, s.executable, s.volume, s.volume * factor, 0});
    changes.push_back({s.instanceId, s.volume * factor});
  }
  if (changes.empty()) return;
  // Written before anything is lowered, or nothing is lowered at all.
  if (!saveRestoreFile(ctx, all)) return;
  lowered.sessions = std::move(all);
  ctx.audio.setVolumes(changes);
}

void restoreOtherSessions(AppContext& ctx) {
  LoweredSessions& lowered = ctx.state.lowered;
  const std::lock_guard<std::mutex> lock(lowered.mutex);
  if (lowered.announcements == 0) return;
  if (--lowered.announcements > 0 || lowered.sessions.empty()) return;
  putBack(ctx, lowered.sessions, false);
}

void restoreSessionsLeftLowered(AppContext& ctx) {
  LoweredSessions& lowered = ctx.state.lowered;
  const std::lock_guard<std::mutex> lock(lowered.mutex);
  const std::optional<std::string> contents = readWholeFile(restoreFilePath(ctx.settings.path()));
  if (!contents) return;
  lowered.sessions = parseRestoreFile(*contents);
  putBack(ctx, lowered.sessions, true);
}

}  // namespace tabiro
