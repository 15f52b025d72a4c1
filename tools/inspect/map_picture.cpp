#include "map_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string_view>
#include <utility>

#include "gps/status_bar.h"
#include "guidance/text_file.h"
#include "import_common.h"
#include "platform/sjis.h"
#include "replay.h"

namespace tabiro::inspect {

namespace {

constexpr double kMetresPerUnit = 30.87 / kUnitsPerSecond;  // of latitude
constexpr double kWidth = 1000;
constexpr double kMargin = 60;
constexpr double kSmallestExtentMetres = 400;
// Cameras this far around the route and the drive are drawn; those farther
// are only counted, so that a country's list leaves the route its size.
constexpr double kFrameMarginMetres = 1000;
constexpr const char* kFont = "IPAGothic, 'IPAexGothic', 'Noto Sans CJK JP', 'Yu Gothic', Meiryo, sans-serif";

struct Picture {
  std::vector<RouteWaypoint> waypoints;
  std::vector<CameraEntry> cameras;
  std::vector<Coordinates> drive;
  std::vector<FiredAnnouncement> fired;
};

// Shift-JIS text as XML character data: markup bytes escaped, two-byte
// characters (whose trail bytes never are markup) kept whole.
std::string xmlText(std::string_view text) {
  return sjis::replaceSingleBytes(text, [](char c) -> std::string {
    switch (c) {
      case '&': return "&amp;";
      case '<': return "&lt;";
      case '>': return "&gt;";
      case '"': return "&quot;";
      case '\r':
      case '\n': return "";
    }
    if (static_cast<unsigned char>(c) < 0x20) return " ";
    return std::string(1, c);
  });
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

// The box round some points; `all` not empty.
struct Bounds {
  explicit Bounds(const std::vector<Coordinates>& all)
      : minLat(all.front().latitude), maxLat(minLat), minLon(all.front().longitude), maxLon(minLon) {
    for (const Coordinates& c : all) {
      minLat = std::min<double>(minLat, c.latitude);
      maxLat = std::max<double>(maxLat, c.latitude);
      minLon = std::min<double>(minLon, c.longitude);
      maxLon = std::max<double>(maxLon, c.longitude);
    }
  }
  double minLat, maxLat, minLon, maxLon;
};

// Plane coordinates of the picture: east to the right, north up.
class Projection {
 public:
  explicit Projection(const std::vector<Coordinates>& all) {
    const auto [minLat, maxLat, minLon, maxLon] = Bounds(all);
    const double midLat = (minLat + maxLat) / 2;
    lonMetres_ = kMetresPerUnit * std::cos(midLat / kUnitsPerDegree * 3.141592653589793 / 180);
    const double east = std::max((maxLon - minLon) * lonMetres_, kSmallestExtentMetres);
    const double north = std::max((maxLat - minLat) * kMetresPerUnit, kSmallestExtentMetres);
    centreLat_ = midLat;
    centreLon_ = (minLon + maxLon) / 2;
    const double inner = kWidth - 2 * kMargin;
    pixelsPerMetre_ = inner / east;
    height_ = std::clamp(north * pixelsPerMetre_, 400.0, 1200.0);
    pixelsPerMetre_ = std::min(pixelsPerMetre_, height_ / north);
    height_ += 2 * kMargin;
  }
  double x(const Coordinates& c) const { return kWidth / 2 + (c.longitude - centreLon_) * lonMetres_ * pixelsPerMetre_; }
  double y(const Coordinates& c) const { return height_ / 2 - (c.latitude - centreLat_) * kMetresPerUnit * pixelsPerMetre_; }
  std::string at(const Coordinates& c) const { return "x=\"" + number(x(c)) + "\" y=\"" + number(y(c)) + "\""; }
  double height() const { return height_; }
  double pixelsPerMetre() const { return pixelsPerMetre_; }

 private:
  double centreLat_ = 0, centreLon_ = 0, lonMetres_ = 0, pixelsPerMetre_ = 1, height_ = 0;
};

std::string polyline(const std::vector<Coordinates>& points, const Projection& p, const char* style) {
  std::string out = "<polyline fill=\"none\" " + std::string(style) + " points=\"";
  for (const Coordinates& c : points) out += number(p.x(c)) + "," + number(p.y(c)) + " ";
  return out + "\"/>\n";
}

// Labels go where they cover no other label and no marker: the first free
// place of a few around their point, else the first of them. Widths are
// guessed from the Shift-JIS bytes, half an em each, as in a Gothic face.
class LabelPlaces {
 public:
  void reserve(double x, double y, double radius) { reserve(x - radius, y - radius, x + radius, y + radius); }
  void reserve(double left, double top, double right, double bottom) { taken_.push_back({left, top, right, bottom}); }
  // A drawn line, as points every few pixels along it.
  void reserveLine(const std::vector<Coordinates>& line, const Projection& p) {
    for (std::size_t i = 1; i < line.size(); ++i) {
      const double x0 = p.x(line[i - 1]), y0 = p.y(line[i - 1]), x1 = p.x(line[i]), y1 = p.y(line[i]);
      const int steps = 1 + static_cast<int>(std::hypot(x1 - x0, y1 - y0) / 4);
      for (int k = 0; k <= steps; ++k) reserve(x0 + (x1 - x0) * k / steps, y0 + (y1 - y0) * k / steps, 2);
    }
  }

  // The start and baseline of a label for the mark of `radius` at (x, y).
  std::pair<double, double> place(double x, double y, double radius, std::string_view text, double size) {
    const double w = static_cast<double>(text.size()) * size / 2;
    const double g = radius + 3;
    const std::pair<double, double> candidates[] = {
        {x + g, y + size / 3},      {x - g - w, y + size / 3}, {x + g * 0.7, y - g},
        {x + g * 0.7, y + g + size}, {x - w / 2, y - g - 2},    {x - w / 2, y + g + size},
        {x - g * 0.7 - w, y - g},   {x - g * 0.7 - w, y + g + size}};
    for (const auto& [left, baseline] : candidates) {
      const Box box{left - 2, baseline - size, left + w + 2, baseline + size / 4};
      if (std::none_of(taken_.begin(), taken_.end(), [&](const Box& t) { return t.overlaps(box); })) {
        taken_.push_back(box);
        return {left, baseline};
      }
    }
    return candidates[0];
  }

 private:
  struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  };
  std::vector<Box> taken_;
};

// A label with a halo of the background, readable across the lines.
std::string label(std::pair<double, double> at, double size, const char* colour, const std::string& text) {
  return "<text x=\"" + number(at.first) + "\" y=\"" + number(at.second) + "\" font-size=\"" + number(size) +
         "\" fill=\"" + colour + "\" stroke=\"#f7f6f0\" stroke-width=\"3\" paint-order=\"stroke\">" + text +
         "</text>\n";
}

std::string chomp(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// A scale bar of a round length, about a fifth of the picture wide.
std::string scaleBar(const Projection& p) {
  const double target = kWidth / 5 / p.pixelsPerMetre();
  double length = 1;
  for (const double step : {1.0, 2.0, 5.0}) {
    for (double decade = 1; decade <= 1e6; decade *= 10) {
      if (step * decade <= target) length = std::max(length, step * decade);
    }
  }
  const double w = length * p.pixelsPerMetre();
  const double y = p.height() - 25;
  const std::string label = length >= 1000 ? number(length / 1000).substr(0, number(length / 1000).size() - 2) + " km"
                                           : std::to_string(static_cast<int>(length)) + " m";
  return "<g stroke=\"#222\" stroke-width=\"2\"><line x1=\"20\" y1=\"" + number(y) + "\" x2=\"" + number(20 + w) +
         "\" y2=\"" + number(y) + "\"/><line x1=\"20\" y1=\"" + number(y - 6) + "\" x2=\"20\" y2=\"" + number(y + 6) +
         "\"/><line x1=\"" + number(20 + w) + "\" y1=\"" + number(y - 6) + "\" x2=\"" + number(20 + w) + "\" y2=\"" +
         number(y + 6) + "\"/></g>\n<text x=\"" + number(20 + w / 2) + "\" y=\"" + number(y - 10) +
         "\" text-anchor=\"middle\" font-size=\"14\">" + label + "</text>\n";
}

// Whether each camera lies within kFrameMarginMetres of the box round the
// route and the drive; every one when there is neither.
std::vector<bool> camerasInFrame(const Picture& pic) {
  std::vector<Coordinates> framed = pic.drive;
  for (const RouteWaypoint& w : pic.waypoints) framed.push_back(w.position);
  std::vector<bool> in(pic.cameras.size(), framed.empty());
  if (framed.empty()) return in;
  const auto [minLat, maxLat, minLon, maxLon] = Bounds(framed);
  const double latMargin = kFrameMarginMetres / kMetresPerUnit;
  const double lonMargin = latMargin / std::cos((minLat + maxLat) / 2 / kUnitsPerDegree * 3.141592653589793 / 180);
  for (std::size_t i = 0; i < pic.cameras.size(); ++i) {
    const Coordinates c = pic.cameras[i].position;
    in[i] = c.latitude >= minLat - latMargin && c.latitude <= maxLat + latMargin && c.longitude >= minLon - lonMargin &&
            c.longitude <= maxLon + lonMargin;
  }
  return in;
}

std::string svg(const Picture& pic) {
  const std::vector<bool> inFrame = camerasInFrame(pic);
  const auto outside = static_cast<std::size_t>(std::count(inFrame.begin(), inFrame.end(), false));
  std::vector<Coordinates> all = pic.drive;
  for (const RouteWaypoint& w : pic.waypoints) all.push_back(w.position);
  for (std::size_t i = 0; i < pic.cameras.size(); ++i) {
    if (inFrame[i]) all.push_back(pic.cameras[i].position);
  }
  const Projection p(all);
  std::string out = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(kWidth) + "\" height=\"" +
                    number(p.height()) + "\" viewBox=\"0 0 " + number(kWidth) + " " + number(p.height()) +
                    "\" font-family=\"" + kFont + "\">\n"
                    "<rect width=\"100%\" height=\"100%\" fill=\"#f7f6f0\"/>\n";
  out += "<text x=\"20\" y=\"30\" font-size=\"18\" font-weight=\"bold\">ルート " +
         std::to_string(pic.waypoints.size()) + " 地点・オービス " + std::to_string(pic.cameras.size()) + " 件" +
         (pic.drive.empty() ? std::string() : "・走行 " + std::to_string(pic.drive.size()) + " 点") + "</text>\n";
  if (!pic.drive.empty()) out += polyline(pic.drive, p, "stroke=\"#3b6fd4\" stroke-width=\"3\" stroke-opacity=\"0.75\"");
  std::vector<Coordinates> route;
  for (const RouteWaypoint& w : pic.waypoints) route.push_back(w.position);
  if (route.size() > 1) out += polyline(route, p, "stroke=\"#2a9d4b\" stroke-width=\"1.5\" stroke-dasharray=\"6 5\"");

  // Every mark first, then the labels by rank: waypoints, cameras, firings.
  LabelPlaces places;
  places.reserve(kWidth - 40, 45, 30);                             // the north arrow
  places.reserve(0, 0, 480, 40);                                   // the title
  places.reserve(0, p.height() - 55, kWidth / 5 + 40, p.height());  // the scale bar
  places.reserve(kWidth - 430, p.height() - 70, kWidth, p.height());  // the legend
  for (const RouteWaypoint& w : pic.waypoints) places.reserve(p.x(w.position), p.y(w.position), 13);
  for (std::size_t i = 0; i < pic.cameras.size(); ++i) {
    if (inFrame[i]) places.reserve(p.x(pic.cameras[i].position), p.y(pic.cameras[i].position), 16);
  }
  for (const FiredAnnouncement& f : pic.fired) places.reserve(p.x(f.position), p.y(f.position), 8);
  places.reserveLine(pic.drive, p);
  places.reserveLine(route, p);
  std::vector<std::pair<double, double>> waypointLabels, cameraLabels;
  for (const RouteWaypoint& w : pic.waypoints) {
    waypointLabels.push_back(places.place(p.x(w.position), p.y(w.position), 13, chomp(w.text), 15));
  }
  for (std::size_t i = 0; i < pic.cameras.size(); ++i) {
    const CameraEntry& c = pic.cameras[i];
    cameraLabels.push_back(inFrame[i] ? places.place(p.x(c.position), p.y(c.position), 16, c.text, 12)
                                      : std::pair<double, double>{});
  }

  // Where each announcement fired, tied to what it announced.
  for (const FiredAnnouncement& f : pic.fired) {
    const bool known = f.camera ? f.row >= 1 && f.row <= static_cast<int>(pic.cameras.size()) && inFrame[f.row - 1]
                                : f.row >= 1 && f.row <= static_cast<int>(pic.waypoints.size());
    if (!known) continue;
    const Coordinates target = f.camera ? pic.cameras[f.row - 1].position : pic.waypoints[f.row - 1].position;
    out += "<line x1=\"" + number(p.x(f.position)) + "\" y1=\"" + number(p.y(f.position)) + "\" x2=\"" +
           number(p.x(target)) + "\" y2=\"" + number(p.y(target)) +
           "\" stroke=\"#f08c00\" stroke-width=\"1.5\" stroke-dasharray=\"2 3\"/>\n";
    out += "<g transform=\"translate(" + number(p.x(f.position)) + "," + number(p.y(f.position)) +
           ")\"><path d=\"M0,-8 L8,0 L0,8 L-8,0 Z\" fill=\"#f08c00\" stroke=\"#fff\"/></g>\n";
    const std::string text = (f.camera ? "警告 オービス " : "案内 地点 ") + std::to_string(f.row);
    out += label(places.place(p.x(f.position), p.y(f.position), 8, text, 12), 12, "#a05a00", text);
  }

  for (const CameraEntry& c : pic.cameras) {
    if (!inFrame[&c - pic.cameras.data()]) continue;
    const std::string at = number(p.x(c.position)) + "," + number(p.y(c.position));
    if (c.direction == CameraTable::kAnyDirection) {
      out += "<circle cx=\"" + number(p.x(c.position)) + "\" cy=\"" + number(p.y(c.position)) +
             "\" r=\"9\" fill=\"#fff\" stroke=\"#d62828\" stroke-width=\"4\"/>\n";
    } else {
      out += "<g transform=\"translate(" + at + ") rotate(" + std::to_string(c.direction) +
             ")\"><path d=\"M0,-16 L9,9 L0,4 L-9,9 Z\" fill=\"#d62828\" stroke=\"#fff\" stroke-width=\"1.5\"/></g>\n";
    }
    out += label(cameraLabels[&c - pic.cameras.data()], 12, "#9b1c1c", xmlText(c.text));
  }
  int n = 0;
  for (const RouteWaypoint& w : pic.waypoints) {
    ++n;
    out += "<circle cx=\"" + number(p.x(w.position)) + "\" cy=\"" + number(p.y(w.position)) +
           "\" r=\"12\" fill=\"#2a9d4b\" stroke=\"#fff\" stroke-width=\"2\"/>\n<text " + p.at(w.position) +
           " dy=\"5\" text-anchor=\"middle\" font-size=\"13\" font-weight=\"bold\" fill=\"#fff\">" +
           std::to_string(n) + "</text>\n" +
           label(waypointLabels[n - 1], 15, "#14532d", xmlText(chomp(w.text)));
  }

  // North arrow and legend.
  out += "<g transform=\"translate(" + number(kWidth - 40) + ",45)\"><path d=\"M0,-25 L10,10 L0,3 L-10,10 Z\" "
         "fill=\"#222\"/><text y=\"30\" text-anchor=\"middle\" font-size=\"16\">北</text></g>\n";
  const double ly = p.height() - 30;
  const double lx = kWidth - 420;
  out += "<g font-size=\"13\"><circle cx=\"" + number(lx) + "\" cy=\"" + number(ly) +
         "\" r=\"7\" fill=\"#2a9d4b\"/><text x=\"" + number(lx + 12) + "\" y=\"" + number(ly + 5) +
         "\">地点</text><path transform=\"translate(" + number(lx + 70) + "," + number(ly) +
         ")\" d=\"M0,-10 L6,6 L0,3 L-6,6 Z\" fill=\"#d62828\"/><text x=\"" + number(lx + 82) + "\" y=\"" +
         number(ly + 5) + "\">オービス（向きは警告する進行方向、○は全方向）</text>";
  if (outside > 0) {
    out += "<text x=\"" + number(lx) + "\" y=\"" + number(ly + 22) + "\">ほかにルートと走行から離れたオービス " +
           std::to_string(outside) + " 件（描いていません）</text>";
  }
  if (!pic.drive.empty()) {
    out += "<line x1=\"" + number(lx) + "\" y1=\"" + number(ly - 22) + "\" x2=\"" + number(lx + 20) + "\" y2=\"" +
           number(ly - 22) + "\" stroke=\"#3b6fd4\" stroke-width=\"3\"/><text x=\"" + number(lx + 26) + "\" y=\"" +
           number(ly - 17) + "\">走行</text><path transform=\"translate(" + number(lx + 80) + "," + number(ly - 22) +
           ")\" d=\"M0,-6 L6,0 L0,6 L-6,0 Z\" fill=\"#f08c00\"/><text x=\"" + number(lx + 92) + "\" y=\"" +
           number(ly - 17) + "\">案内・警告した所</text>";
  }
  out += "</g>\n" + scaleBar(p) + "</svg>\n";
  return out;
}

std::optional<std::ifstream> open(const std::string& path, std::ostream& err) {
  std::ifstream file;
  if (!openForReading(file, path)) {
    err << fileOpenErrorText(path) << "\n";
    return std::nullopt;
  }
  return file;
}

}  // namespace

int drawMap(const std::vector<std::string>& args, std::ostream& err) {
  std::vector<std::string> files;
  std::string out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      out = args[++i];
    } else if (args[i].rfind("-", 0) == 0) {
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (out.empty() || files.size() < 2 || files.size() > 3) return 2;
  auto routeFile = open(files[0], err);
  auto cameraFile = open(files[1], err);
  std::optional<std::ifstream> driveFile;
  if (files.size() == 3) driveFile = open(files[2], err);
  if (!routeFile || !cameraFile || (files.size() == 3 && !driveFile)) return 1;

  const RouteScan route = scanRoute(*routeFile);
  const CameraScan cameras = scanCameras(*cameraFile);
  Picture pic;
  pic.waypoints = route.waypoints;
  // The cameras the engine walks: the list ends at a row without a position.
  for (const CameraEntry& c : cameras.cameras) {
    if (c.position.latitude == 0 || c.position.longitude == 0) break;
    pic.cameras.push_back(c);
  }
  if (driveFile) {
    const Drive drive = readDrive(*driveFile);
    for (const DriveSample& s : drive.samples) {
      const auto lat = parseLatitude(s.latitudeText);
      const auto lon = parseLongitude(s.longitudeText);
      if (lat && lon) pic.drive.push_back({lat->value, lon->value});
    }
    pic.fired = firedAlong(route, cameras, drive);
  }
  if (pic.waypoints.empty() && pic.cameras.empty() && pic.drive.empty()) {
    err << "エラー: 地点もオービスも走行の位置もなく、描くものがありません。" << out << " は書きませんでした。\n";
    return 1;
  }
  if (!writeWholeFile(out, svg(pic), err)) return 1;
  err << out << " に地点 " << pic.waypoints.size() << "、オービス " << pic.cameras.size() << "、走行 "
      << pic.drive.size() << " 点、案内 " << pic.fired.size() << " 回を描きました。\n";
  return 0;
}

}  // namespace tabiro::inspect
