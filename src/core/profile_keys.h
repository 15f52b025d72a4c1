// The catalogue of profile sections and keys. Defaults are not here: every
// read site passes its own.
#pragma once

#include <string_view>

namespace tabiro {

struct ProfileKey {
  std::string_view section;
  std::string_view name;
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
constexpr ProfileKey kGps{section::kInfo, "GPS"};
constexpr ProfileKey kCenter{section::kInfo, "CENTER"};
constexpr ProfileKey kMatch{section::kInfo, "Match"};
constexpr ProfileKey kMap{section::kInfo, "Map"};
constexpr ProfileKey kMapMode{section::kInfo, "MapMode"};
constexpr ProfileKey kVer{section::kInfo, "Ver"};
constexpr ProfileKey kExeFilePath0{section::kInfo, "ExeFilePath0"};
constexpr ProfileKey kExeFilePath1{section::kInfo, "ExeFilePath1"};
constexpr ProfileKey kScale20{section::kInfo, "20"};
constexpr ProfileKey kScale7{section::kInfo, "7"};
constexpr ProfileKey kScale2{section::kInfo, "2"};
constexpr ProfileKey kScale1{section::kInfo, "1"};
constexpr ProfileKey kScale05{section::kInfo, "05"};
constexpr ProfileKey kSaveTrk{section::kInfo, "SaveTRK"};
constexpr ProfileKey kGuideCheck{section::kInfo, "guidecheck"};
constexpr ProfileKey kCheckTime{section::kInfo, "checktime"};
constexpr ProfileKey kSviewMode{section::kInfo, "SviewMode"};
constexpr ProfileKey kWavStart{section::kInfo, "Wavstart"};
constexpr ProfileKey kChaim{section::kInfo, "Chaim"};
constexpr ProfileKey kAntiTos{section::kInfo, "AntiTos"};
constexpr ProfileKey kDuck{section::kInfo, "Duck"};
constexpr ProfileKey kDuckLevel{section::kInfo, "DuckLevel"};

// "Rot"
constexpr ProfileKey kFileName{section::kRot, "FileName"};
constexpr ProfileKey kWayPoint{section::kRot, "WayPoint"};
constexpr ProfileKey kWayPointMax{section::kRot, "WayPointMax"};
constexpr ProfileKey kPointLevel{section::kRot, "PointLevel"};
constexpr ProfileKey kWavNavi{section::kRot, "Wavnavi"};
constexpr ProfileKey kWaveUp{section::kRot, "WaveUp"};
constexpr ProfileKey kNaviMode{section::kRot, "Navimode"};
constexpr ProfileKey kKomaTime{section::kRot, "Komatime"};
constexpr ProfileKey kKomaMode{section::kRot, "Komamode"};

// "Ovis"
constexpr ProfileKey kPot{section::kOvis, "POT"};
constexpr ProfileKey kOvisUp{section::kOvis, "OvisUp"};
constexpr ProfileKey kOvisUp2{section::kOvis, "OvisUp2"};

// "TOS"
constexpr ProfileKey kSystem{section::kTos, "System"};
constexpr ProfileKey kBidaku{section::kTos, "Bidaku"};
constexpr ProfileKey kCharacter{section::kTos, "Character"};
constexpr ProfileKey kChouon{section::kTos, "Chouon"};
constexpr ProfileKey kDateMode{section::kTos, "DateMode"};
constexpr ProfileKey kEibun{section::kTos, "Eibun"};
constexpr ProfileKey kExch{section::kTos, "Exch"};
constexpr ProfileKey kExkigo{section::kTos, "Exkigo"};
constexpr ProfileKey kKutou{section::kTos, "Kutou"};
constexpr ProfileKey kNovoice{section::kTos, "Novoice"};
constexpr ProfileKey kNumr{section::kTos, "Numr"};
constexpr ProfileKey kSpeed{section::kTos, "Speed"};
// The SAPI voice chosen in the voice dialog: its token's key name.
constexpr ProfileKey kSapiVoice{section::kTos, "SapiVoice"};
constexpr ProfileKey kVolume{section::kTos, "Volume"};
constexpr ProfileKey kOvis1{section::kTos, "ovis1"};
constexpr ProfileKey kOvis2{section::kTos, "ovis2"};
constexpr ProfileKey kChoku{section::kTos, "choku"};
constexpr ProfileKey kMoku{section::kTos, "moku"};
constexpr ProfileKey kMigi{section::kTos, "migi"};
constexpr ProfileKey kHidari{section::kTos, "hidari"};
constexpr ProfileKey kGpsLost{section::kTos, "gpslost"};
constexpr ProfileKey kGpsBack{section::kTos, "gpsback"};

// "MapMatch"
constexpr ProfileKey kHoseiL{section::kMapMatch, "hosei_L"};
constexpr ProfileKey kHoseiU{section::kMapMatch, "hosei_U"};
constexpr ProfileKey kHoseiD{section::kMapMatch, "hosei_D"};
constexpr ProfileKey kHoseiR{section::kMapMatch, "hosei_R"};

// "RECT"
constexpr ProfileKey kRectTop{section::kRect, "top"};
constexpr ProfileKey kRectLeft{section::kRect, "left"};

// "Receiver": where positions come from when no map program reads them.
constexpr ProfileKey kReceiverSource{section::kReceiver, "Source"};
constexpr ProfileKey kReceiverPort{section::kReceiver, "Port"};
constexpr ProfileKey kReceiverBaud{section::kReceiver, "Baud"};
constexpr ProfileKey kReceiverHost{section::kReceiver, "Host"};
constexpr ProfileKey kReceiverTcpPort{section::kReceiver, "TcpPort"};
constexpr ProfileKey kReceiverDatum{section::kReceiver, "Datum"};
}  // namespace key

}  // namespace tabiro
