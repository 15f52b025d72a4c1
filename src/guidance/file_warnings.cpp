#include "guidance/file_warnings.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace tabiro {

namespace {

// At guidance start a box shows this many warnings of a file; the rest are
// counted, for tabiro-inspect lists them all.
constexpr std::size_t kWarningsShown = 3;

struct KindWords {
  std::size_t lineBytes;
  int rows;
  const char* entries;  // what the table holds, counted
  const char* name;     // the file, for the driver
  const char* command;  // the tabiro-inspect command that lists it
  const char* sought;   // what a file of the kind gives guidance
  const char* unlike;   // why a file without any, and without a warning, is of another kind
};

KindWords wordsFor(GuidanceFile kind) {
  if (kind == GuidanceFile::Route) {
    return {kRouteLineBytes, WaypointTable::kRows, "個の地点", "ルートファイル", "route", "地点",
            "目印の行 \"NPOIs100@NRA/R1;\" がなく、ルートファイルではないようです。"};
  }
  return {kCameraLineBytes, CameraTable::kRows, "行", "オービスファイル", "cameras", "オービス",
          "1行目に位置（kei= と ido=）がなく、オービスファイルではないようです。"};
}

// The file's heading, the first warnings, and how many more there are.
std::string paragraph(const std::string& heading, const std::vector<FileWarning>& warnings,
                      GuidanceFile kind) {
  std::string text = heading + "\n";
  const std::size_t shown = std::min(warnings.size(), kWarningsShown);
  for (std::size_t i = 0; i < shown; ++i) text += "  " + fileWarningText(warnings[i], kind) + "\n";
  if (warnings.size() > shown) {
    text += "  ほか" + std::to_string(warnings.size() - shown) + "件（tabiro-inspect " +
            wordsFor(kind).command + " で全部を確かめられます）。\n";
  }
  return text;
}

// Whether a warning tells why a file gave guidance nothing; a long line or a
// northward camera does not.
bool explainsNothingLoaded(const FileWarning& w) {
  return w.issue != FileIssue::LongLine && w.issue != FileIssue::TooManyEntries &&
         w.issue != FileIssue::DirectionIsNorth;
}

std::string loadMessage(GuidanceFile kind, const std::string& path, bool nothingLoaded,
                        const std::vector<FileWarning>& warnings) {
  const KindWords words = wordsFor(kind);
  const std::string file = std::string(words.name) + " " + path;
  if (!nothingLoaded) return warnings.empty() ? std::string() : paragraph(file + ":", warnings, kind);
  std::string heading = file + " に" + words.sought + "が見つかりません。";
  if (std::none_of(warnings.begin(), warnings.end(), explainsNothingLoaded)) heading += words.unlike;
  return paragraph(heading, warnings, kind);
}

}  // namespace

std::string fileWarningText(const FileWarning& w, GuidanceFile kind) {
  const KindWords words = wordsFor(kind);
  const std::string line = std::to_string(w.line) + "行目";
  const std::string count = std::to_string(w.count);
  switch (w.issue) {
    case FileIssue::LongLine:
      return line + ": 行が" + std::to_string(words.lineBytes) +
             "バイトより長く、残りは別の行として読まれます。";
    case FileIssue::CrLfMarker:
      return line + ": 目印の行 \"NPOIs100@NRA/R1;\" が CR LF で終わっています。"
                    "改行を LF だけにしないと地点は読み込まれません。";
    case FileIssue::MarkerSkipped:
      return line + ": 目印の行が目印でない行のすぐ後にあるため調べられず、この地点は"
                    "読み込まれません（前の行を消すか、もう1行加えてください）。";
    case FileIssue::MarkerInBlock:
      return line + ": 目印の行が前の地点の行として読まれました。前の地点が7行に足りません。";
    case FileIssue::BlockCutShort:
      return line + ": この地点の7行の途中でファイルが終わっています。";
    case FileIssue::TooManyEntries:
      return line + "から: 表に入りきらない" + count + words.entries + "は読み込まれません（最大" +
             std::to_string(words.rows) + "）。";
    case FileIssue::ListEnds:
      return line + ": 緯度か経度が0の行（空行や見出しの行）で一覧が終わるため、後の" + count +
             "件のオービスは警報されません。";
    case FileIssue::DirectionIsNorth:
      return line + ": \"deg=\" の後に数字がなく CR LF でもないため、方向は0（北）と"
                    "読まれます。全方向にするには \"deg=\" の直後を CR LF にしてください。";
  }
  return line;
}

std::string routeLoadMessage(const std::string& path, const RouteScan& scan) {
  return loadMessage(GuidanceFile::Route, path, scan.waypoints.empty(), scan.warnings);
}

std::string cameraLoadMessage(const std::string& path, const CameraScan& scan) {
  // The engine's list ends at the first row without a position; an empty
  // file is only a list still to be filled with "AD".
  const bool noCamera = !scan.cameras.empty() && (scan.cameras.front().position.latitude == 0 ||
                                                  scan.cameras.front().position.longitude == 0);
  return loadMessage(GuidanceFile::Cameras, path, noCamera, scan.warnings);
}

}  // namespace tabiro
