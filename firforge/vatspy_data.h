// The VAT-Spy data project's files (VATSpy.dat and Boundaries.geojson) and
// their conversion into the pair firdisplay.dat + firlist.dat.
//
// Regions: the features of Boundaries.geojson grouped by their "id"
// property, domestic and oceanic ("oceanic" = "1") apart. Pieces cut at the
// 180th meridian are joined back into one ring; a region keeps the largest
// ring that holds its label (else the largest ring), as each sector id draws
// one polygon.
//
// Polygons: a "DISPLAY_LIST_<N>" header, then the ring's vertices as
// "<lat>:<lon>" single-precision numbers, consecutive repeats left out,
// edges longer than 4 degrees split into equal parts (the added points
// rounded to 0.01 degree), the first vertex repeated as the last; numbers
// run from 100 upwards in the order the sector list first uses them.
//
// Sector list, "id:name:place:label lat:label lon:N":
// - one line per [FIRs] row under its call-sign prefix (its ICAO code when
//   the row has none) for the row's boundary, named after the row;
// - where a boundary has an oceanic region beside the domestic one, the
//   oceanic one as "<id>_O" for the row's id and for the boundary id;
// - then each row's ICAO code that is not yet an id and can stand before
//   "_CTR" in a call sign; the first line of an id wins (ids compared
//   without regard to case);
// - a region no row reaches under its boundary id ("OBBB-S" as "OBBB_S").
// Place codes: the most common country of airports.dat's airports inside
// the region sharing the ICAO code's first two letters, else of all airports
// with those letters, else inside the region sharing the first letter, else
// inside the region at all; "ZZ" when none.
//
// Plain C++ (no Qt): firforge's window, the viewer's sector update and the
// data build's command-line converter share it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "firforge/conversion.h"

namespace kestrava {

// ---------------------------------------------------------------- VATSpy.dat

struct VatSpyCountry {
    std::string Name;    // UTF-8, as every text of the files
    std::string Prefix;  // the ICAO prefix ("ED")
};

struct VatSpyFir {
    std::string Icao;
    std::string Name;
    std::string CallsignPrefix;  // may be empty
    std::string Boundary;        // the boundary id keying the polygon (the ICAO code when empty)
};

struct VatSpyUir {
    std::string Id;
    std::string Name;
    std::vector<std::string> Firs;  // ICAO codes of [FIRs] rows
};

struct VatSpyFile {
    std::vector<VatSpyCountry> Countries;
    std::vector<VatSpyFir> Firs;
    std::vector<VatSpyUir> Uirs;
};

// Reads the [Countries], [FIRs] and [UIRs] sections (other sections, blank
// lines and ";" comments are passed over; a UTF-8 byte-order mark is
// allowed). False with a message naming the line when the file has no
// [FIRs] section or a line of these sections has too few "|" fields.
bool ReadVatSpyDat(std::string_view text, VatSpyFile& file, std::string& error);

// The boundary ids of the FIRs a UIR spans, in its order: each ICAO code of
// the UIR gives the boundaries of the [FIRs] rows with that code (once each).
std::vector<std::string> ExpandUir(const VatSpyFile& file, const VatSpyUir& uir);

// ---------------------------------------------------------- Boundaries.geojson

using LatLon = std::pair<double, double>;  // latitude, longitude
using Ring = std::vector<LatLon>;          // open: no closing repeat

struct BoundaryFeature {
    std::string Id;
    bool Oceanic = false;
    bool HasLabel = false;
    double LabelLat = 0;
    double LabelLon = 0;
    std::vector<Ring> Rings;  // the outer ring of each polygon
    int Holes = 0;            // inner rings, left out
};

// Limits on a Boundaries.geojson: its size and the positions it may hold.
inline constexpr std::size_t kMaxBoundaryBytes = 64u << 20;
inline constexpr std::size_t kMaxBoundaryPoints = 2'000'000;

// Reads the features of a GeoJSON FeatureCollection of Polygons and
// MultiPolygons. False with a message (naming the feature where one is at
// fault) for a text that is not a JSON object with a "features" list, a
// feature without an "id" or without a geometry, a geometry of another type,
// coordinates that are not numbers or lie beyond +-90 / +-180, an outer ring
// of fewer than 3 points, or more than kMaxBoundaryBytes / kMaxBoundaryPoints.
bool ReadBoundaries(std::string_view json, std::vector<BoundaryFeature>& features, std::string& error);

// ------------------------------------------------------------------ geometry

// Area on an equal-area map; positive for a counter-clockwise ring.
double SignedArea(const Ring& ring);
// Even-odd test, the point tried at its longitude and one turn either side.
bool RingContains(const Ring& ring, double lat, double lon);
// The union of a piece touching longitude 180 and one touching -180, as
// rings; empty when they share no stretch of the meridian.
std::vector<Ring> JoinAtAntimeridian(Ring east, Ring west);

// ----------------------------------------------------------------- conversion

struct VatSpyRegion {
    std::string BoundaryId;
    bool Oceanic = false;
    double LabelLat = 0;
    double LabelLon = 0;
    Ring Outline;       // the ring drawn
    int Joins = 0;      // pieces joined at the 180th meridian
    int LeftOut = 0;    // other rings of the region, not drawn
    int Duplicates = 0; // repeated rings dropped
    int Number = 0;     // its polygon number; 0 while unused
};

struct VatSpyConversion {
    std::string Display;  // firdisplay.dat, CR LF lines
    std::string List;     // firlist.dat, Windows-1252
    std::vector<VatSpyRegion> Regions;
    int Polygons = 0;
    int Sectors = 0;       // lines of the list
    int FirRows = 0;
    int UirRows = 0;
    int Countries = 0;
    int AddedPoints = 0;   // points added on long edges
    int HolesLeftOut = 0;
    std::vector<std::string> Notes;  // regions listed by their boundary id, or not at all
};

// Converts read files (airportsDat: the text of airports.dat for place
// codes; empty gives "ZZ" throughout). False with a message when the
// polygons would run past number 9999.
bool ConvertVatSpyData(const VatSpyFile& file, const std::vector<BoundaryFeature>& features,
                       std::string_view airportsDat, VatSpyConversion& out, std::string& error);

// The files of a folder (VATSpy.dat, Boundaries.geojson) read and converted;
// the message names the file and the step that failed.
bool ConvertVatSpyTexts(std::string_view vatSpyDat, std::string_view boundariesJson, std::string_view airportsDat,
                        VatSpyConversion& out, std::string& error);

// The firforge conversion of request.InputPath (VATSpy.dat or
// Boundaries.geojson; the other file lies beside it) with the place codes of
// request.AirportsPath; logs what it did and writes the pair into
// request.OutputFolder, ending the log with the two files' full paths (and
// "No sectors found: the written pair is empty" for an empty pair).
bool ConvertVatSpyRequest(const ConversionRequest& request, const LogSink& log);

// The log lines of a conversion: what was read, written and left out.
std::vector<std::string> DescribeConversion(const VatSpyConversion& conversion);

}  // namespace kestrava
