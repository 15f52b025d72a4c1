// NMEA from a receiver: the line assembler and the RMC, GGA and VTG fields.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_receiver.h"
#include "gps/nmea.h"

namespace tabiro {
namespace {

using ::testing::ElementsAreArray;

std::string sentence(const std::string& body) { return testing::nmeaSentence(body); }

const std::string kRmc = sentence("GPRMC,011501.00,A,3540.6208,N,13945.5881,E,2.9,13.6,070326,7.3,W,A");
const std::string kGga = sentence("GPGGA,011501.00,3540.6208,N,13945.5881,E,1,08,1.0,3.6,M,39.5,M,,");

TEST(NmeaLineAssembler, GivesEachCheckedSentenceOnceWhateverTheReadsCut) {
  std::string wrongSum = kRmc;
  wrongSum.back() = wrongSum.back() == '0' ? '1' : '0';
  const std::string noSum = kRmc.substr(0, kRmc.size() - 3);
  // Its checksum is right: only its length drops it.
  const std::string longLine = sentence("GPTXT," + std::string(140, '1'));
  struct Case {
    const char* what;
    std::vector<std::string> reads;
    std::vector<std::string> sentences;
  } cases[] = {
      {"whole", {kRmc + "\r\n"}, {kRmc}},
      {"split in three",
       {kRmc.substr(0, 5), kRmc.substr(5, 20), kRmc.substr(25) + "\r", "\n"},
       {kRmc}},
      {"merged", {kRmc + "\r\n" + kGga + "\r\n" + kRmc + "\r\n"}, {kRmc, kGga, kRmc}},
      {"bare LF or CR", {kRmc + "\n" + kGga + "\r"}, {kRmc, kGga}},
      {"no line end yet", {kRmc}, {}},
      {"joined mid-sentence", {kGga.substr(20) + "\r\n" + kRmc + "\r\n"}, {kRmc}},
      {"wrong checksum", {wrongSum + "\r\n" + kGga + "\r\n"}, {kGga}},
      {"missing checksum", {noSum + "\r\n" + kGga + "\r\n"}, {kGga}},
      {"over-long", {longLine.substr(0, 100), longLine.substr(100) + "\r\n", kGga + "\r\n"}, {kGga}},
      {"gpsd JSON", {"{\"class\":\"TPV\",\"mode\":3}\r\n" + kRmc + "\r\n"}, {kRmc}},
      {"sentence that lost its end", {kGga.substr(0, 30) + kRmc + "\r\n"}, {kRmc}},
  };
  for (const Case& c : cases) {
    NmeaLineAssembler assembler;
    std::vector<std::string> got;
    for (const std::string& read : c.reads) {
      for (std::string& s : assembler.feed(read)) got.push_back(std::move(s));
    }
    EXPECT_THAT(got, ElementsAreArray(c.sentences)) << c.what;
  }
}

TEST(NmeaSentence, ReadsRmcGgaAndVtgFieldsOfEveryTalker) {
  using Type = NmeaSentence::Type;
  constexpr double kNone = -1;
  struct Case {
    std::string body;
    bool known;
    Type type;
    bool valid;
    double latitude, longitude;  // kNone: no position
    double speedKmh, course;     // kNone: none
  } cases[] = {
      {"GPRMC,011501.00,A,3540.2000,N,13945.3000,E,10.0,13.6,070326,,", true, Type::Rmc, true,
       35.67, 139.755, 18.52, 13.6},
      {"GNRMC,011501.00,A,3351.6000,S,15112.6000,W,0.0,,070326,,", true, Type::Rmc, true,
       -33.86, -151.21, 0, kNone},
      {"GLRMC,011501.00,V,3540.2000,N,13945.3000,E,,,070326,,", true, Type::Rmc, false, 35.67,
       139.755, kNone, kNone},
      {"GARMC,011501.00,A,,,,,,,070326,,", true, Type::Rmc, true, kNone, kNone, kNone, kNone},
      {"GBRMC,011501.00,A,3540.6000,X,13945.3000,E,1,2,070326,,", true, Type::Rmc, true, kNone,
       kNone, 1.852, 2},
      {"BDRMC,011501.00,A,3575.0000,N,13945.3000,E,1,2,070326,,", true, Type::Rmc, true, kNone,
       kNone, 1.852, 2},
      {"QZGGA,011501.00,3540.2000,N,13945.3000,E,1,08,1.0,3.6,M,39.5,M,,", true, Type::Gga, true,
       35.67, 139.755, kNone, kNone},
      {"GPGGA,011501.00,3540.2000,N,13945.3000,E,0,00,,,M,,M,,", true, Type::Gga, false, 35.67,
       139.755, kNone, kNone},
      {"GPGGA,011501.00,,,,,,00,,,M,,M,,", true, Type::Gga, false, kNone, kNone, kNone, kNone},
      {"INRMC,194101,A,4426.1130,N,07140.5596,W,5.2,77.3,160906,15.8,W", true, Type::Rmc, true,
       44.43521666666667, -71.67599333333334, 9.6304, 77.3},
      {"GQRMC,011501.00,A,3540.2000,N,13945.3000,E,0.0,,070326,,,A,V", true, Type::Rmc, true, 35.67,
       139.755, 0, kNone},
      // Mode indicator "N": data not valid, whatever the status says.
      {"GPRMC,011501.00,A,3540.2000,N,13945.3000,E,0.0,,070326,,,N", true, Type::Rmc, false, 35.67,
       139.755, 0, kNone},
      // Navigation status "V": the receiver gives none (u-blox on every fix).
      {"GNRMC,223745.00,A,3806.62964,N,12237.61382,W,0.040,,110720,,,D,V", true, Type::Rmc, true,
       38.110494, -122.626897, 0.07408, kNone},
      {"INGLL,4426.1130,N,07140.5579,W,194102,A", true, Type::Gll, true, 44.43521666666667,
       -71.67596500000001, kNone, kNone},
      {"GNGLL,3540.2000,N,13945.3000,E,011501.00,A,N", true, Type::Gll, false, 35.67, 139.755, kNone,
       kNone},
      {"GPVTG,54.7,T,,M,5.5,N,10.2,K,A", true, Type::Vtg, true, kNone, kNone, 10.2, 54.7},
      {"GNVTG,,T,,M,5.0,N,,K,N", true, Type::Vtg, true, kNone, kNone, 9.26, kNone},
      // Beyond what a receiver reports: noise, dropped rather than rounded into an overflow.
      {"GPRMC,011501.00,A,3540.2000,N,13945.3000,E,9999999999,360.1,070326,,", true, Type::Rmc,
       true, 35.67, 139.755, kNone, kNone},
      {"GPVTG,360,T,,M,1000,N,9999999,K,A", true, Type::Vtg, true, kNone, kNone, 1852, 360},
      {"PGRME,15.0,M,45.0,M,25.0,M", false},
      {"GPGSV,3,1,11,03,03,111,00", false},
      {"XXRMC,011501.00,A,3540.2000,N,13945.3000,E,1,2,070326,,", false},
      {"GPRMCX,011501.00,A,3540.2000,N,13945.3000,E,1,2,070326,,", false},
  };
  const auto opt = [](double v) { return v == kNone ? std::nullopt : std::optional<double>(v); };
  for (const Case& c : cases) {
    const std::optional<NmeaSentence> s = parseNmeaSentence(sentence(c.body));
    ASSERT_EQ(s.has_value(), c.known) << c.body;
    if (!s) continue;
    EXPECT_EQ(s->type, c.type) << c.body;
    EXPECT_EQ(s->valid, c.valid) << c.body;
    ASSERT_EQ(s->position.has_value(), c.latitude != kNone) << c.body;
    if (s->position) {
      EXPECT_NEAR(s->position->latitude, c.latitude, 1e-9) << c.body;
      EXPECT_NEAR(s->position->longitude, c.longitude, 1e-9) << c.body;
    }
    ASSERT_EQ(s->speedKmh.has_value(), opt(c.speedKmh).has_value()) << c.body;
    if (s->speedKmh) EXPECT_NEAR(*s->speedKmh, c.speedKmh, 1e-9) << c.body;
    EXPECT_EQ(s->course, opt(c.course)) << c.body;
  }
}

TEST(NmeaSentence, TakesTheTimeOfDayOnlyAsSixDigitsOfHoursMinutesAndSeconds) {
  const struct {
    const char* field;
    std::optional<std::int64_t> ms;
  } cases[] = {
      {"011501.25", 4501250}, {"235960", 86400000}, {"011501", 4501000}, {"", std::nullopt},
      {"11501.25", std::nullopt}, {"0115012", std::nullopt}, {"240000", std::nullopt},
      {"99999999999.9", std::nullopt},  // too big for any integer it is rounded to
  };
  for (const auto& c : cases) {
    const std::string body = std::string("GPRMC,") + c.field + ",A,3540.2,N,13945.3,E,,,070326,,";
    EXPECT_EQ(parseNmeaSentence(sentence(body))->timeOfDayMs, c.ms) << c.field;
  }
}

TEST(NmeaFixReader, MakesOneFixPerRmcTheGgaOfItsTimeDoesNotContradict) {
  const std::string rmcA = "GPRMC,1,A,3540.2000,N,13945.3000,E,10.0,90.0,070326,,";
  const std::string rmcNoSpeed = "GPRMC,1,A,3540.2000,N,13945.3000,E,,,070326,,";
  const std::string rmcV = "GPRMC,1,V,3540.2000,N,13945.3000,E,10.0,90.0,070326,,";
  const std::string ggaNoFix = "GPGGA,1,3540.2000,N,13945.3000,E,0,00,,,M,,M,,";
  const std::string ggaFix = "GPGGA,1,3540.2000,N,13945.3000,E,1,08,1.0,3.6,M,39.5,M,,";
  const std::string vtg = "GPVTG,45.0,T,,M,,N,30.0,K,A";
  // A u-blox epoch: RMC first, then the GGA of the same second.
  const auto rmcAt = [](const char* time, const char* status, const char* knots = "10.0") {
    return std::string("GNRMC,") + time + "," + status + ",3540.2000,N,13945.3000,E," + knots +
           ",90.0,070326,,,A,V";
  };
  const auto ggaAt = [](const char* time, const char* quality) {
    return std::string("GNGGA,") + time + ",3540.2000,N,13945.3000,E," + quality + ",08,1.0,3.6,M,39.5,M,,";
  };
  const auto gllAt = [](const char* time) {
    return std::string("INGLL,3540.2000,N,13945.3000,E,") + time + ",A";
  };
  struct Case {
    const char* what;
    std::vector<std::string> bodies;
    int fixes;
    std::optional<double> lastSpeed, lastCourse;
  } cases[] = {
      {"RMC A", {rmcA, rmcA}, 2, 18.52, 90.0},
      {"RMC V", {rmcV}, 0, {}, {}},
      {"GGA without fix", {rmcA, ggaNoFix, rmcA}, 1, 18.52, 90.0},
      {"GGA back", {ggaNoFix, rmcA, ggaFix, rmcA}, 1, 18.52, 90.0},
      {"GGA of the same time first", {ggaAt("101500.00", "0"), rmcAt("101500.00", "A")}, 0, {}, {}},
      {"RMC first: the last epoch's GGA without fix holds nothing back",
       {rmcAt("101500.00", "V"), ggaAt("101500.00", "0"), rmcAt("101501.00", "A"),
        ggaAt("101501.00", "1")},
       1, 18.52, 90.0},
      {"one fix per epoch, RMC of every system",
       {rmcAt("101500.00", "A"), "GA" + rmcAt("101500.00", "A").substr(2)}, 1, 18.52, 90.0},
      {"GLL of an epoch without RMC, with the last RMC's motion",
       {rmcAt("101500.00", "A"), gllAt("101501.00")}, 2, 18.52, 90.0},
      {"GGA of a receiver that sends RMC after it is waited for",
       {ggaAt("101500.00", "1"), rmcAt("101500.00", "A"), ggaAt("101501.00", "1")}, 1, 18.52, 90.0},
      {"joined between a GGA and its RMC, the reader learns to wait for the RMC",
       {rmcAt("101500.00", "A"), ggaAt("101501.00", "1"), rmcAt("101501.00", "A"),
        ggaAt("101502.00", "1"), rmcAt("101502.00", "A", "20.0")},
       3, 37.04, 90.0},
      {"VTG fills an RMC without speed and course", {vtg, rmcNoSpeed}, 1, 30.0, 45.0},
      {"no VTG: standing, no course", {rmcNoSpeed}, 1, 0.0, {}},
  };
  for (const Case& c : cases) {
    NmeaFixReader reader;
    int fixes = 0;
    std::optional<ReceivedFix> last;
    for (const std::string& body : c.bodies) {
      if (const auto fix = reader.take(*parseNmeaSentence(sentence(body)))) {
        ++fixes;
        last = fix;
      }
    }
    EXPECT_EQ(fixes, c.fixes) << c.what;
    if (!last) continue;
    EXPECT_NEAR(last->speedKmh, *c.lastSpeed, 1e-9) << c.what;
    EXPECT_EQ(last->course, c.lastCourse) << c.what;
  }
}

}  // namespace
}  // namespace tabiro
