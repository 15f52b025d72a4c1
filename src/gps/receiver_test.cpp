#include "gps/receiver_test.h"

#include <memory>

#include "gps/datum.h"
#include "gps/nmea.h"
#include "gps/receiver_reader.h"

namespace tabiro {

namespace {

using Failure = ReceiverTestReport::Failure;

Failure failureOf(LinkFailure failure) {
  switch (failure) {
    case LinkFailure::InUse:
      return Failure::PortInUse;
    case LinkFailure::Refused:
    case LinkFailure::Unreachable:
      return Failure::Unreachable;
    case LinkFailure::Absent:
    case LinkFailure::None:
      break;
  }
  return Failure::PortAbsent;
}

std::string failureLine(Failure failure) {
  switch (failure) {
    case Failure::None:
      return "受信できています。";
    case Failure::PortAbsent:
      return "ポートが見つかりません。ポート名と受信機の接続を確かめてください。";
    case Failure::PortInUse:
      return "ポートは他のプログラムが使っています。";
    case Failure::Unreachable:
      return "接続できません。ホストとポート番号を確かめてください。";
    case Failure::NoData:
      return "NMEAの文が届きません。受信機の電源と通信速度を確かめてください。";
    case Failure::NoFix:
      return "測位できていません。空の見える所でお待ちください。";
  }
  return {};
}

}  // namespace

ReceiverTestReport testReceiver(ReceiverLinks& links, Clock& clock, const ReceiverSettings& values,
                                int durationMs) {
  ReceiverTestReport report;
  if (values.source == PositionSource::StatusBar) {
    report.failure = Failure::NoData;
    return report;
  }
  LinkOpening opening = openReceiver(links, values);
  if (!opening.link) {
    report.failure = failureOf(opening.failure);
    return report;
  }
  NmeaLineAssembler lines;
  NmeaFixReader fixes;
  const std::int64_t end = clock.nowMs() + durationMs;
  std::string bytes;
  bool open = true;
  while (open && clock.nowMs() < end) {
    bytes.clear();
    open = readPaced(*opening.link, clock, bytes);
    for (const std::string& sentence : lines.feed(bytes)) {
      ++report.sentences;
      const auto parsed = parseNmeaSentence(sentence);
      if (!parsed) continue;
      if (const auto fix = fixes.take(*parsed)) {
        ++report.validFixes;
        report.lastPosition = coordinatesFromDegrees(fix->position);
        report.lastSpeedKmh = gpsFixFrom(*fix, FileDatum::Wgs84, 0).speedKmh;
      }
    }
  }
  opening.link->close();
  if (report.validFixes == 0) report.failure = report.sentences == 0 ? Failure::NoData : Failure::NoFix;
  return report;
}

std::vector<std::string> receiverTestLines(const ReceiverTestReport& report) {
  std::vector<std::string> lines{failureLine(report.failure)};
  if (report.failure == Failure::PortAbsent || report.failure == Failure::PortInUse ||
      report.failure == Failure::Unreachable) {
    return lines;
  }
  lines.push_back("受信した文: " + std::to_string(report.sentences));
  lines.push_back("有効な測位: " + std::to_string(report.validFixes));
  if (report.lastPosition) {
    lines.push_back("最後の位置 (WGS84): 北緯 " + coordinateText(report.lastPosition->latitude, 2) +
                    "  東経 " + coordinateText(report.lastPosition->longitude, 3));
  }
  if (report.lastSpeedKmh) lines.push_back("速度: " + std::to_string(*report.lastSpeedKmh) + " km/h");
  return lines;
}

}  // namespace tabiro
