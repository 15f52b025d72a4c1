// The catalogue of profile sections and keys, each with its one default: what
// a read answers when the profile lacks the key. No read site has its own.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tabiro {

// Where a value lives; enough to write it or to ask whether it is stored.
struct ProfileKey {
  std::string_view section;
  std::string_view name;
};

// A key holding a number, and what it reads as when not stored.
struct NumberKey : ProfileKey {
  std::int32_t def;
};

// A key holding text, and what it reads as when not stored.
struct TextKey : ProfileKey {
  std::string_view def;
};

namespace section {
constexpr std::string_view kInfo = "Tabiro Info";
constexpr std::string_view kRot = "Rot";
constexpr std::string_view kOvis = "Ovis";
constexpr std::string_view kTos = "TOS";
constexpr std::string_view kMapMatch = "MapMatch";
constexpr std::string_view kRect = "RECT";
constexpr std::string_view kReceiver = "Receiver";
}  // namespace section

namespace key {
// "Tabiro Info"
constexpr NumberKey kGps{section::kInfo, "GPS", 0};
constexpr NumberKey kCenter{section::kInfo, "CENTER", 0};
constexpr NumberKey kMatch{section::kInfo, "Match", 0};
constexpr NumberKey kMap{section::kInfo, "Map", 0};
constexpr NumberKey kMapMode{section::kInfo, "MapMode", 0};
constexpr NumberKey kVer{section::kInfo, "Ver", 0};
constexpr TextKey kExeFilePath0{section::kInfo, "ExeFilePath0", ""};
constexpr TextKey kExeFilePath1{section::kInfo, "ExeFilePath1", ""};
constexpr NumberKey kScale20{section::kInfo, "20", 0};
constexpr NumberKey kScale7{section::kInfo, "7", 0};
constexpr NumberKey kScale2{section::kInfo, "2", 0};
constexpr NumberKey kScale1{section::kInfo, "1", 0};
constexpr NumberKey kScale05{section::kInfo, "05", 0};
constexpr NumberKey kSaveTrk{section::kInfo, "SaveTRK", 0};
constexpr NumberKey kGuideCheck{section::kInfo, "guidecheck", 0};
constexpr NumberKey kCheckTime{section::kInfo, "checktime", 90};  // seconds
constexpr NumberKey kSviewMode{section::kInfo, "SviewMode", 0};
constexpr NumberKey kWavStart{section::kInfo, "Wavstart", 0};
constexpr NumberKey kChaim{section::kInfo, "Chaim", 0};
constexpr NumberKey kAntiTos{section::kInfo, "AntiTos", 0};
// Lowering the music players during an announcement is on unless switched off.
constexpr NumberKey kDuck{section::kInfo, "Duck", 1};
constexpr NumberKey kDuckLevel{section::kInfo, "DuckLevel", 20};  // percent

// "Rot"
constexpr TextKey kFileName{section::kRot, "FileName", ""};
constexpr NumberKey kWayPoint{section::kRot, "WayPoint", 1};
constexpr NumberKey kWayPointMax{section::kRot, "WayPointMax", 50};
constexpr NumberKey kPointLevel{section::kRot, "PointLevel", 0};
constexpr NumberKey kWavNavi{section::kRot, "Wavnavi", 1};
constexpr NumberKey kWaveUp{section::kRot, "WaveUp", 30};  // seconds of lead before a waypoint
constexpr NumberKey kNaviMode{section::kRot, "Navimode", 0};
constexpr NumberKey kKomaTime{section::kRot, "Komatime", 5};  // seconds a picture stays
constexpr NumberKey kKomaMode{section::kRot, "Komamode", 0};

// "Ovis"
constexpr TextKey kPot{section::kOvis, "POT", ""};
constexpr NumberKey kOvisUp{section::kOvis, "OvisUp", 500};   // metres
constexpr NumberKey kOvisUp2{section::kOvis, "OvisUp2", 60};  // km/h

// "TOS": the speech engine's settings and the spoken phrases.
constexpr NumberKey kSystem{section::kTos, "System", 0};
constexpr NumberKey kBidaku{section::kTos, "Bidaku", 1};
constexpr NumberKey kCharacter{section::kTos, "Character", 1};
constexpr NumberKey kChouon{section::kTos, "Chouon", 1};
constexpr NumberKey kDateMode{section::kTos, "DateMode", 0};
constexpr NumberKey kEibun{section::kTos, "Eibun", 1};
constexpr NumberKey kExch{section::kTos, "Exch", 1};
constexpr NumberKey kExkigo{section::kTos, "Exkigo", 0};
constexpr NumberKey kKutou{section::kTos, "Kutou", 0};
constexpr NumberKey kNovoice{section::kTos, "Novoice", 1};
constexpr NumberKey kNumr{section::kTos, "Numr", 1};
constexpr NumberKey kSpeed{section::kTos, "Speed", 13};
// The SAPI voice chosen in the voice dialog: its token's key name.
constexpr TextKey kSapiVoice{section::kTos, "SapiVoice", ""};
constexpr NumberKey kVolume{section::kTos, "Volume", 65535};
constexpr TextKey kOvis1{section::kTos, "ovis1", "この先、オービス"};
constexpr TextKey kOvis2{section::kTos, "ovis2", "です。スピード注意！"};
constexpr TextKey kChoku{section::kTos, "choku", "この先、直進です。"};
constexpr TextKey kMoku{section::kTos, "moku", "まもなく目的地です。"};
constexpr TextKey kMigi{section::kTos, "migi", "まもなく右方向です。"};
constexpr TextKey kHidari{section::kTos, "hidari", "まもなく左方向です。"};
constexpr TextKey kGpsLost{section::kTos, "gpslost", "GPSの信号が途絶えました。"};
constexpr TextKey kGpsBack{section::kTos, "gpsback", "GPSの信号が戻りました。"};

// "MapMatch": pixels a map-matching correction moves the map.
constexpr NumberKey kHoseiL{section::kMapMatch, "hosei_L", 30};
constexpr NumberKey kHoseiU{section::kMapMatch, "hosei_U", 30};
constexpr NumberKey kHoseiD{section::kMapMatch, "hosei_D", 30};
constexpr NumberKey kHoseiR{section::kMapMatch, "hosei_R", 30};

// "RECT": the toolbar's place; the defaults are also the least honoured.
constexpr NumberKey kRectTop{section::kRect, "top", -3};
constexpr NumberKey kRectLeft{section::kRect, "left", -1};

// "Receiver": where positions come from when no map program reads them.
constexpr NumberKey kReceiverSource{section::kReceiver, "Source", 0};
constexpr TextKey kReceiverPort{section::kReceiver, "Port", "COM3"};
constexpr NumberKey kReceiverBaud{section::kReceiver, "Baud", 4800};
constexpr TextKey kReceiverHost{section::kReceiver, "Host", "127.0.0.1"};
constexpr NumberKey kReceiverTcpPort{section::kReceiver, "TcpPort", 10110};
constexpr NumberKey kReceiverDatum{section::kReceiver, "Datum", 0};

// Every key, for whatever walks the whole catalogue.
inline constexpr std::array kNumberKeys{
    kGps,       kCenter,     kMatch,     kMap,       kMapMode,  kVer,       kScale20,
    kScale7,    kScale2,     kScale1,    kScale05,   kSaveTrk,  kGuideCheck, kCheckTime,
    kSviewMode, kWavStart,   kChaim,     kAntiTos,   kDuck,     kDuckLevel, kWayPoint,
    kWayPointMax, kPointLevel, kWavNavi, kWaveUp,    kNaviMode, kKomaTime,  kKomaMode,
    kOvisUp,    kOvisUp2,    kSystem,    kBidaku,    kCharacter, kChouon,   kDateMode,
    kEibun,     kExch,       kExkigo,    kKutou,     kNovoice,  kNumr,      kSpeed,
    kVolume,    kHoseiL,     kHoseiU,    kHoseiD,    kHoseiR,   kRectTop,   kRectLeft,
    kReceiverSource, kReceiverBaud, kReceiverTcpPort, kReceiverDatum};
inline constexpr std::array kTextKeys{
    kExeFilePath0, kExeFilePath1, kFileName, kPot,    kOvis1,        kOvis2,        kChoku,
    kMoku,         kMigi,         kHidari,   kGpsLost, kGpsBack,     kSapiVoice,    kReceiverPort,
    kReceiverHost};
}  // namespace key

}  // namespace tabiro
