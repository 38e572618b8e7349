// Field access, look-ups, text forms, flight state and geometry helpers.
#include "kestrav/network/client_rules.h"
#include "kestrav/network/values.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;

namespace {

// Great-circle distance and course with the library's pi, as an independent
// reference for the program's own constants.
double ReferenceDistance(double lat1, double lon1, double lat2, double lon2) {
    const double r = M_PI / 180;
    double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
               std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
    return 2 * 3440 * std::asin(std::sqrt(h));
}

double ReferenceCourse(double lat1, double lon1, double lat2, double lon2) {
    const double r = M_PI / 180;
    double y = std::sin((lon2 - lon1) * r) * std::cos(lat2 * r);
    double x = std::cos(lat1 * r) * std::sin(lat2 * r) -
               std::sin(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r);
    return std::atan2(y, x) / r;
}

}  // namespace

TEST(FieldOf, MissingAndEmptyFieldsAreEmptyText) {
    EXPECT_EQ(FieldOf("a:b", 5), "");
    EXPECT_EQ(FieldOf("a::c", 1), "");
    EXPECT_EQ(FieldOf("a:b", 0), "a");
    EXPECT_EQ(FieldOf("a:b", 1), "b");
    EXPECT_EQ(FieldOf("a::c", 2), "c");
    EXPECT_EQ(FieldOf("a:b:", 2), "");
    EXPECT_EQ(FieldOf("", 0), "");
    EXPECT_EQ(FieldOf("a:b", -1), "");
}

TEST(Lookups, KeysCompareWithoutCaseAndUnknownAirportsAreAtZero) {
    NetworkModel model;
    model.Airports.Add("LHBP", Airport{"LHBP", "LHBP", "Budapest Liszt Ferenc", "HU", 47.43f, 19.26f});
    model.Friends.Add("123456");
    model.Friends.Add("abc");

    EXPECT_TRUE(model.Airports.Has("lhbp"));
    EXPECT_FALSE(model.Airports.Has("LHB"));
    EXPECT_TRUE(IsFriend(model, "123456"));
    EXPECT_TRUE(IsFriend(model, "ABC"));
    EXPECT_FALSE(IsFriend(model, "654321"));

    float lat = 0, lon = 0;
    EXPECT_TRUE(AirportLatLon(model, "lhbp", lat, lon));
    EXPECT_EQ(lat, 47.43f);
    EXPECT_EQ(lon, 19.26f);
    EXPECT_FALSE(AirportLatLon(model, "EDDF", lat, lon));
    EXPECT_FALSE(AirportLatLon(model, "", lat, lon));
}

TEST(ProfileAddress, TheIdGoesBeforeAFragmentOfTheBase) {
    EXPECT_EQ(ProfileAddress("https://www.ivao.aero/Member.aspx", "123 4"), "https://www.ivao.aero/Member.aspx?ID=123%204");
    EXPECT_EQ(ProfileAddress(" https://example.invalid/member#profile ", "55"),
              "https://example.invalid/member?ID=55#profile");
    EXPECT_EQ(ProfileAddress("file:///member#x", "55"), "");
}

TEST(PositionText, HemispheresDegreesAndMinutes) {
    EXPECT_EQ(LatitudeText(-47.6f), "S47*36.0'");
    EXPECT_EQ(LatitudeText(47.6f), "N47*36.0'");
    EXPECT_EQ(LatitudeText(47.5f), "N47*30.0'");
    EXPECT_EQ(LatitudeText(0), "N00*00.0'");
    EXPECT_EQ(LatitudeText(-0.01f), "S00*00.6'");
    EXPECT_EQ(LatitudeText(5.125f), "N05*07.5'");

    EXPECT_EQ(LongitudeText(-122.25f), "W122*15.0'");
    EXPECT_EQ(LongitudeText(19.25f), "E19*15.0'");
    EXPECT_EQ(LongitudeText(0), "E00*00.0'");
    EXPECT_EQ(LongitudeText(190), "W170*00.0'");
    EXPECT_EQ(LongitudeText(-190), "E170*00.0'");
    EXPECT_EQ(LongitudeText(180), "E180*00.0'");
    // Brought back by 360 only once; what is still beyond 180 shows as 180.
    EXPECT_EQ(LongitudeText(530), "E170*00.0'");
    EXPECT_EQ(LongitudeText(600), "E180*00.0'");
}

TEST(PositionText, MinutesThatRoundToSixtyCarryIntoTheDegree) {
    EXPECT_EQ(LatitudeText(47.9999f), "N48*00.0'");
    EXPECT_EQ(LongitudeText(-99.9999f), "W100*00.0'");
}

TEST(RatingNames, TablesPerNetworkAndEmptyOutsideThem) {
    EXPECT_EQ(PilotRatingName(kIvao, 2), "SFO");
    EXPECT_EQ(PilotRatingName(kIvao, 7), "SFC");
    EXPECT_EQ(PilotRatingName(kIvao, 10), "CSC");
    EXPECT_EQ(PilotRatingName(kIvao, 1), "");
    EXPECT_EQ(PilotRatingName(kIvao, 11), "");
    EXPECT_EQ(PilotRatingName(kVatsim, 5), "");

    EXPECT_EQ(ControllerRatingName(kIvao, 2), "S1");
    EXPECT_EQ(ControllerRatingName(kIvao, 5), "C1");
    EXPECT_EQ(ControllerRatingName(kIvao, 10), "I3");
    EXPECT_EQ(ControllerRatingName(kIvao, 0), "");
    EXPECT_EQ(ControllerRatingName(kVatsim, 0), "OBS");
    EXPECT_EQ(ControllerRatingName(kVatsim, 1), "OBS");
    EXPECT_EQ(ControllerRatingName(kVatsim, 4), "STU+");
    EXPECT_EQ(ControllerRatingName(kVatsim, 5), "CTR");
    EXPECT_EQ(ControllerRatingName(kVatsim, 7), "CTR+");
    EXPECT_EQ(ControllerRatingName(kVatsim, 8), "INS");
    EXPECT_EQ(ControllerRatingName(kVatsim, 10), "INS+");
    EXPECT_EQ(ControllerRatingName(kVatsim, 11), "");
    EXPECT_EQ(ControllerRatingName(kVatsim, -1), "");
    EXPECT_EQ(ControllerRatingName(kMerged, 5), "");
}

TEST(OnlineTime, CountsCalendarDaysAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(OnlineTime("20200515100000", "20200515113000"), "01:30");
    EXPECT_EQ(OnlineTime("20191231235900", "20200101000100"), "00:02");
    // 2020 is a leap year: 28 Feb 23:50 to 1 Mar 00:10 is one day and 20 minutes.
    EXPECT_EQ(OnlineTime("20200228235000", "20200301001000"), "24:20");
    EXPECT_EQ(OnlineTime("20190228235000", "20190301001000"), "00:20");
    EXPECT_EQ(OnlineTime("20200430235900", "20200501000000"), "00:01");
}

TEST(OnlineTime, LaterLogonIsZeroAndLongSessionsStopAt99Hours) {
    EXPECT_EQ(OnlineTime("20200515120000", "20200515110000"), "00:00");
    EXPECT_EQ(OnlineTime("20200510000000", "20200514035900"), "99:59");  // exactly 99:59
    EXPECT_EQ(OnlineTime("20200510000000", "20200514040000"), "99:59");  // 100 hours
    EXPECT_EQ(OnlineTime("20200101000000", "20200515000000"), "99:59");
    // Malformed stamps never fail.
    EXPECT_EQ(OnlineTime("", ""), "00:00");
}

TEST(FiledValues, CruiseSpeedForms) {
    EXPECT_EQ(CruiseKnots("M079"), 454);   // 79 x 5.75 = 454.25
    EXPECT_EQ(CruiseKnots("N0450"), 450);
    EXPECT_EQ(CruiseKnots("450"), 450);
    EXPECT_EQ(CruiseKnots("K0830"), 449);  // 830 / 1.85 = 448.6
    EXPECT_EQ(CruiseKnots("0"), 0);
    EXPECT_EQ(CruiseKnots("VFR"), 0);
    EXPECT_EQ(CruiseKnots(""), 0);
    EXPECT_EQ(CruiseKnots("N9999"), 0);  // above 3000
    EXPECT_EQ(CruiseKnots("3000"), 3000);
}

TEST(FiledValues, PlannedAltitudeForms) {
    EXPECT_DOUBLE_EQ(PlannedFeet("350"), 35000);
    EXPECT_DOUBLE_EQ(PlannedFeet("FL350"), 35000);
    EXPECT_DOUBLE_EQ(PlannedFeet("F350"), 35000);
    EXPECT_DOUBLE_EQ(PlannedFeet("A045"), 4500);
    EXPECT_DOUBLE_EQ(PlannedFeet("35000"), 35000);
    EXPECT_DOUBLE_EQ(PlannedFeet("500"), 50000);
    EXPECT_DOUBLE_EQ(PlannedFeet("501"), 501);
    EXPECT_DOUBLE_EQ(PlannedFeet("VFR"), 0);
    EXPECT_DOUBLE_EQ(PlannedFeet(""), 0);
}

namespace {

// A flight from 0N 0E to 0N 10E (600 nm apart along the equator).
PilotClient EquatorFlight(float longitude, float groundSpeed, float altitude) {
    PilotClient p;
    p.Departure = "DDDD";
    p.Destination = "AAAA";
    p.DepLatitude = 0;
    p.DepLongitude = 0;
    p.DestLatitude = 0;
    p.DestLongitude = 10;
    p.Latitude = 0;
    p.Longitude = longitude;
    p.GroundSpeed = groundSpeed;
    p.Altitude = altitude;
    p.CruiseSpeed = "N0300";
    p.PlannedAltitude = "FL300";
    return p;
}

}  // namespace

TEST(FlightStatus, PhasesOfAFlight) {
    const std::string stamp = "20200515100000";
    EXPECT_EQ(FlightStatus(EquatorFlight(0, 0, 0), stamp).Status, "Boarding");
    EXPECT_EQ(FlightStatus(EquatorFlight(0, 20, 0), stamp).Status, "Departing");
    EXPECT_EQ(FlightStatus(EquatorFlight(1, 250, 5000), stamp).Status, "Climbing");
    EXPECT_EQ(FlightStatus(EquatorFlight(5, 450, 30000), stamp).Status, "En route");
    EXPECT_EQ(FlightStatus(EquatorFlight(8.5f, 300, 20000), stamp).Status, "Descending");
    EXPECT_EQ(FlightStatus(EquatorFlight(9.5f, 160, 3000), stamp).Status, "Approach");
    EXPECT_EQ(FlightStatus(EquatorFlight(10, 30, 0), stamp).Status, "Landed");
    EXPECT_EQ(FlightStatus(EquatorFlight(10, 0, 0), stamp).Status, "On blocks");
    EXPECT_EQ(FlightStatus(EquatorFlight(5, 0, 0), stamp).Status, "Diverted");
    EXPECT_EQ(FlightStatus(EquatorFlight(5, 30, 0), stamp).Status, "Unknown");

    PilotClient noDestination = EquatorFlight(5, 450, 30000);
    noDestination.Destination = "A";
    EXPECT_EQ(FlightStatus(noDestination, stamp).Status, "N/A");
}

TEST(FlightStatus, ArrivalTextForEtaZeroNoneAndPastMidnight) {
    // Parked at the destination: eta 0.
    FlightState parked = FlightStatus(EquatorFlight(10, 0, 0), "20200515100000");
    EXPECT_EQ(parked.Eta, 0);
    EXPECT_EQ(parked.Arrival, "-");

    // No destination coordinates: no eta.
    PilotClient unknown = EquatorFlight(5, 450, 30000);
    unknown.DestLatitude = 0;
    unknown.DestLongitude = 0;
    FlightState none = FlightStatus(unknown, "20200515100000");
    EXPECT_EQ(none.Eta, -1);
    EXPECT_EQ(none.Arrival, "?");

    // Half way at 300 kt and 30000 ft: 300.2 nm x 60 / 300 + 30000 / 3000 =
    // 70 minutes, 73 with the 5 % allowance; from 23:30 that is 00:43.
    FlightState late = FlightStatus(EquatorFlight(5, 300, 30000), "20200515233000");
    EXPECT_EQ(late.Status, "En route");
    EXPECT_EQ(late.Eta, 70);
    EXPECT_EQ(late.Arrival, "0043Z");

    // Boarding with a filed cruise speed: 600.4 nm at 300 kt is 120 minutes,
    // 126 with the allowance.
    FlightState boarding = FlightStatus(EquatorFlight(0, 0, 0), "20200515100000");
    EXPECT_EQ(boarding.Eta, 120);
    EXPECT_EQ(boarding.Arrival, "1206Z");

    // A day or more away gives "?".
    PilotClient slow = EquatorFlight(5, 51, 0);
    slow.DestLongitude = 170;
    slow.PlannedAltitude = "0";
    FlightState far = FlightStatus(slow, "20200515100000");
    EXPECT_GT(far.Eta, 1440);
    EXPECT_EQ(far.Arrival, "?");
}

TEST(Geometry, ArcCosAtItsLimitsUsesTheProgramsPi) {
    EXPECT_FLOAT_EQ(ArcCos(-2), 3.14159f);
    EXPECT_FLOAT_EQ(ArcCos(-1), 3.14159f);
    EXPECT_NE(ArcCos(-1), static_cast<float>(M_PI));
    EXPECT_FLOAT_EQ(ArcCos(0), 1.570795f);
    EXPECT_FLOAT_EQ(ArcCos(1), 0);
    EXPECT_FLOAT_EQ(ArcCos(2), 0);
    // Both branches agree with the true arc cosine (to the program's pi) and
    // meet at one half.
    for (float x : {-0.99f, -0.5f, -0.4999f, -0.2f, 0.2f, 0.4999f, 0.5f, 0.99f})
        EXPECT_NEAR(ArcCos(x), std::acos(x), 1e-5) << x;
    EXPECT_NEAR(ArcCos(0.5f), ArcCos(0.49999f), 1e-4);
}

TEST(Geometry, DistanceMatchesTheGreatCircle) {
    EXPECT_FLOAT_EQ(Distance(10, 20, 10, 20), 0);
    EXPECT_NEAR(Distance(0, 0, 0, 1), 60.04, 0.01);
    // London Heathrow to New York Kennedy.
    float d = Distance(51.4706f, -0.4619f, 40.6398f, -73.7789f);
    EXPECT_NEAR(d, ReferenceDistance(51.4706, -0.4619, 40.6398, -73.7789), 2.0);
    EXPECT_FLOAT_EQ(d, Distance(40.6398f, -73.7789f, 51.4706f, -0.4619f));
    EXPECT_NEAR(Distance(0, 0, 0, 180), 3440 * 3.14159, 0.5);
}

TEST(Geometry, BearingCoversEveryBranchWithoutNormalising) {
    EXPECT_EQ(Bearing(0, 0, 0, 10), 90);     // y > 0, x = 0
    EXPECT_EQ(Bearing(0, 0, 0, -10), 270);   // y < 0, x = 0: not -90
    EXPECT_EQ(Bearing(0, 0, 10, 0), 0);      // y = 0, x > 0
    EXPECT_EQ(Bearing(0, 0, -10, 0), 180);   // y = 0, x < 0
    EXPECT_EQ(Bearing(20, 30, 20, 30), 0);   // same point

    struct Case { float lat, lon; };
    for (Case c : {Case{10, 10}, Case{-10, 10}, Case{10, -10}, Case{-5, -10}, Case{50, 100}}) {
        double expected = ReferenceCourse(0, 0, c.lat, c.lon);
        EXPECT_NEAR(Bearing(0, 0, c.lat, c.lon), expected, 1.0) << c.lat << " " << c.lon;
    }
    // y < 0 and x < 0 stays negative: about -117, not 243.
    EXPECT_NEAR(Bearing(0, 0, -5, -10), -117, 1);
    // y > 0 and x < 0.
    EXPECT_GT(Bearing(0, 0, -10, 10), 90);
    EXPECT_LT(Bearing(0, 0, 10, -10), 0);
}

TEST(Geometry, GlobeCoordinatesPutTheAxesWhereTheViewExpectsThem) {
    EXPECT_NEAR(GlobeZ(0, 0), 1, 1e-6);
    EXPECT_NEAR(GlobeX(0, 0), 0, 1e-6);
    EXPECT_NEAR(GlobeX(0, 90), 1, 1e-5);
    EXPECT_NEAR(GlobeZ(0, 90), 0, 1e-5);
    EXPECT_NEAR(GlobeY(90), 1, 1e-6);
    EXPECT_NEAR(GlobeY(-30), -0.5, 1e-5);
    float x = GlobeX(47.5f, 19.25f), y = GlobeY(47.5f), z = GlobeZ(47.5f, 19.25f);
    EXPECT_NEAR(x * x + y * y + z * z, 1, 1e-5);
}
