#include "guidance/audio_ducking.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <set>
#include <string_view>

#include "core/atomic_file.h"
#include "guidance/music_players.h"

namespace tabiro {

namespace {

// One line per session: process id, volume and identifier, tab-separated;
// the identifier last, so that nothing in it can shift the fields.
std::string formatRestoreFile(const std::vector<LoweredSession>& sessions) {
  std::string out;
  for (const LoweredSession& s : sessions) {
    char volume[32];
    // The shortest text that reads back as the very same float.
    const auto written = std::to_chars(volume, volume + sizeof volume, s.volume);
    out += std::to_string(s.processId);
    out += '\t';
    out.append(volume, written.ptr);
    out += '\t';
    out += s.id;
    out += '\n';
  }
  return out;
}

std::optional<LoweredSession> parseLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t tab1 = line.find('\t');
  const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos || tab2 + 1 == line.size()) return std::nullopt;
  LoweredSession s;
  const char* first = line.data();
  if (std::from_chars(first, first + tab1, s.processId).ptr != first + tab1) return std::nullopt;
  const auto volume = std::from_chars(first + tab1 + 1, first + tab2, s.volume);
  if (volume.ptr != first + tab2 || !(s.volume >= 0.0f && s.volume <= 1.0f)) return std::nullopt;
  s.id = std::string(line.substr(tab2 + 1));
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

bool isRemembered(const std::vector<LoweredSession>& remembered, const AudioSession& s) {
  return std::any_of(remembered.begin(), remembered.end(), [&](const LoweredSession& r) {
    return r.processId == s.processId && r.id == s.id;
  });
}

// A silent session has nothing to lower; a remembered one is lowered already,
// and its volume now is not its own. An identifier that would break a line
// of the restore file cannot be restored after a crash, so it is not lowered.
bool shouldLower(const AudioSession& s, const std::set<std::uint32_t>& alone,
                 const std::vector<LoweredSession>& remembered) {
  return !s.expired && !s.muted && s.volume > 0.0f && !alone.count(s.processId) &&
         !s.id.empty() && s.id.find_first_of("\r\n") == std::string::npos &&
         !isRemembered(remembered, s);
}

void putBack(AudioSessions& audio, const std::vector<LoweredSession>& sessions,
             const std::string& restoreFile) {
  // A session that has gone meanwhile has nothing to restore.
  for (const LoweredSession& s : sessions) audio.setVolume(s.processId, s.id, s.volume);
  std::remove(restoreFile.c_str());
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
  const std::optional<std::vector<AudioSession>> sessions = ctx.audio.list();
  if (!sessions) return;

  const std::set<std::uint32_t> alone = processesLeftAlone(ctx);
  std::vector<LoweredSession> all = lowered.sessions;
  const std::size_t firstNew = all.size();
  for (const AudioSession& s : *sessions) {
    if (shouldLower(s, alone, all)) all.push_back({s.processId, s.id, s.volume});
  }
  if (all.size() == firstNew) return;
  // Written before anything is lowered, or nothing is lowered at all.
  if (!replaceFileAtomically(restoreFilePath(ctx.settings.path()), formatRestoreFile(all))) return;
  lowered.sessions = std::move(all);

  const float factor = static_cast<float>(percent) / 100.0f;
  for (std::size_t i = firstNew; i < lowered.sessions.size(); ++i) {
    const LoweredSession& s = lowered.sessions[i];
    ctx.audio.setVolume(s.processId, s.id, s.volume * factor);
  }
}

void restoreOtherSessions(AppContext& ctx) {
  LoweredSessions& lowered = ctx.state.lowered;
  const std::lock_guard<std::mutex> lock(lowered.mutex);
  if (lowered.announcements == 0) return;
  if (--lowered.announcements > 0 || lowered.sessions.empty()) return;
  putBack(ctx.audio, lowered.sessions, restoreFilePath(ctx.settings.path()));
  lowered.sessions.clear();
}

void restoreSessionsLeftLowered(AppContext& ctx) {
  const std::string file = restoreFilePath(ctx.settings.path());
  if (const std::optional<std::string> contents = readWholeFile(file)) {
    putBack(ctx.audio, parseRestoreFile(*contents), file);
  }
}

}  // namespace tabiro
