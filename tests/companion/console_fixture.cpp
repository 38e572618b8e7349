#include "console_fixture.h"

using namespace kestrava;

namespace companiontest {

void AddAirports(NetworkModel& model) {
    model.Airports.Add("EDDF", Airport{"EDDF", "Frankfurt Airport", "Frankfurt am Main", "DE", 50.0f, 8.5f});
    model.Airports.Add("LHBP", Airport{"LHBP", "Budapest Liszt Ferenc", "Budapest", "HU", 47.5f, 19.25f});
    model.Airports.Add("EDDM", Airport{"EDDM", "Munich Airport", "Munich", "DE", 48.35f, 11.78f});
    model.Airports.Add("KJFK", Airport{"KJFK", "John F Kennedy International Airport", "New York", "US", 40.64f, -73.78f});
    model.Sectors.Add("EDGG", SectorEntry{"EDGG", "Langen Radar", "DE", 50.5f, 8.5f, 0});
    model.Sectors.Add("EDMM", SectorEntry{"EDMM", "Munich Radar", "DE", 48.5f, 11.5f, 0});
}

namespace {

AtcClient Atc(const std::string& callsign, const std::string& id, const std::string& name, std::int16_t facility,
              const std::string& location, float lat, float reportedLat, float range) {
    AtcClient a;
    a.Callsign = callsign;
    a.MemberId = id;
    a.RealName = name;
    a.Facility = static_cast<FacilityKind>(facility);
    a.Location = location;
    a.Latitude = lat;
    a.Longitude = 8.5f;
    a.ReportedLatitude = reportedLat;
    a.ReportedLongitude = 8.5f;
    a.VisualRange = range;
    a.Rating = 5;
    a.LogonTime = "20261208110000";
    return a;
}

PilotClient Pilot(const std::string& callsign, const std::string& id, const std::string& name, float lat, float speed,
                  const std::string& from, const std::string& to) {
    PilotClient p;
    p.Callsign = callsign;
    p.MemberId = id;
    p.RealName = name;
    p.Latitude = lat;
    p.Longitude = 8.5f;
    p.GroundSpeed = speed;
    p.Departure = from;
    p.Destination = to;
    p.AircraftType = "B738";
    p.LogonTime = "20261208120000";
    return p;
}

}  // namespace

void FillFrankfurt(NetworkModel& model) {
    Snapshot& s = model.Networks[kIvao];
    s.AtcClients[0] = Atc("EDDF_TWR", "222222", "Bo Tower", 4, "EDDF", 50.0f, 50.0f, 60);
    s.AtcClients[0].Frequency = "119.900";
    s.AtcClients[0].AtisText = "eu2.ts.ivao.aero/EDDF_TWR^\xA7" "Frankfurt Tower information ECHO^\xA7$ voice^\xA7^\xA7QNH 1013";
    // Shown 12 nm north, reporting from 30 nm.
    s.AtcClients[1] = Atc("EDDF_APP", "333333", "Cy Approach", 5, "EDDF", 50.2f, 50.5f, 100);
    // Shown 30 nm north, reporting from 180 nm: nearer than EDMM_CTR (148 nm)
    // by the one, farther by the other.
    s.AtcClients[2] = Atc("EDGG_CTR", "444444", "Di Centre", 6, "EDGG", 50.5f, 53.0f, 300);
    s.AtcClients[2].AdminRating = 11;
    s.AtcClients[3] = Atc("EDMM_CTR", "555555", "Ed M\xFCller", 6, "EDMM", 48.5f, 48.5f, 50);
    s.AtcClients[3].Longitude = s.AtcClients[3].ReportedLongitude = 11.5f;
    s.AtcClients[4] = Atc("AB_OBS", "123456", "Ann Example", 0, "", 50.25f, 50.25f, 0);
    s.AtcCount = 5;
    s.ObserverCount = 1;

    PilotClient& dlh = s.Pilots[0] = Pilot("DLH123", "123456", "Ann Example", 50.0f, 0, "EDDF", "LHBP");
    dlh.HomeAirport = "EDDM";
    dlh.Rating = 5;
    dlh.Altitude = 364;
    dlh.Heading = 70;
    dlh.FlightRules = "I";
    dlh.FlightKind = "S";
    dlh.AircraftFull = "B738/M-SDFGRWY/S";
    dlh.DepartureTime = "1200";
    dlh.CruiseSpeed = "0450";
    dlh.PlannedAltitude = "35000";
    dlh.Route = "TOBAK Y180";
    dlh.EnrouteTime = "0130";
    dlh.Alternate = "LHDC";
    dlh.Remarks = "PBN/A1";
    dlh.PersonsOnBoard = 150;
    PilotClient& baw = s.Pilots[1] = Pilot("BAW1", "654321", "Bea Smith", 50.6f, 250, "LHBP", "EDDF");
    baw.Altitude = 12000.5f;
    baw.Heading = 5;
    s.Pilots[2] = Pilot("N123", "777777", "Cal Free", 50.0f, 5, "", "");
    s.PilotCount = 3;

    s.UpdateStamp = "20261208123000";
    s.ReloadMinutes = 1;
    s.ProfileUrl = "https://www.ivao.aero/members/person/details.asp";
    model.ClientTotal[kIvao] = 8;
    model.CurrentNetwork = kIvao;
}

}  // namespace companiontest
