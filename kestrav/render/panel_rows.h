// What the list window and the airport window show, as plain text over the
// model: the 113-character rows of the four list tabs with their pages,
// summaries and name sort; the airport timetable with its row placement;
// the radar's aircraft; and where a click in either panel lands.
// render/panels.h compiles these into display list 41.
#pragma once

#include "kestrav/network/model.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

// The list window's tabs.
constexpr int kFriendsTab = 0, kControllersTab = 1, kPilotsTab = 2, kObserversTab = 3;
// The airport window's tabs.
constexpr int kTimetableTab = 0, kRadarTab = 1;

constexpr size_t kRowWidth = 113;
constexpr int kPanelHalfWidth = 345;

// The state both panels share.
struct PanelState {
    // List window: the rows of the current tab in list order. Airport
    // window: the timetable by display row (the header rows hold nothing).
    std::vector<std::string> Lines;
    int Rows = 2;           // PanelRows: list lines per page + 1
    bool Rebuild = false;   // the next build collects the rows anew
    bool Sorted = false;    // the rows are sorted by name
    std::string Summary;    // the list window's bottom line
    // Airport window.
    std::string Airport;    // PanelAirport
    int InboundCount = 0;
    int OutboundCount = 0;
    int DepartHeaderRow = 0;
};

// PanelRows for a window `heightPixels` high: (height - 112) / 12, never
// below 2 so that a page holds a line; the airport window takes at most 57.
int PanelRows(double heightPixels);
int AirportPanelRows(double heightPixels);
// The panel's half-height in pixels: 6 x rows + 21.
inline int PanelHalfHeight(int rows) { return 6 * rows + 21; }

// --- List window -------------------------------------------------------------

const std::string& ListHeader(int tab);
const std::string& KindWord(int tab);  // "friends", "controllers", ...

// `text` cut to `width` characters and filled with blanks to it.
std::string Cell(std::string_view text, size_t width);

// Name cells: the name, a blank and the rating text, and the supervisor or
// administrator mark; cut to `cut`, filled to `width`. A VATSIM pilot shows
// the name alone.
std::string AtcNameCell(int network, const AtcClient& atc, size_t width, size_t cut);
std::string PilotNameCell(int network, const PilotClient& pilot, size_t width, size_t cut);

// Where a controller works: "Frankfurt - Frankfurt Airport TWR, DE",
// "Langen Radar CTR, DE" or "EDXX TWR".
std::string PositionText(const NetworkModel& model, const AtcClient& atc);

// The Friends tab's action: "Observing", "Controlling as ...", "Flying from
// EDDF (DE) to LHBP (HU) with B738" (cut to 55 and closed with ")") or
// "Flying (no flight plan sent yet)".
std::string FriendAction(const NetworkModel& model, const AtcClient& atc);
std::string FriendAction(const NetworkModel& model, const PilotClient& pilot);

// "EDDF (Frankfurt Airport, DE)" for a known airport, else the code; longer
// than `longest` characters it keeps `longest` - 1 and ends with ")".
std::string AirportCell(const NetworkModel& model, const std::string& code, size_t longest);

// Every row of a tab for network `network`, in record order.
std::vector<std::string> TabRows(const NetworkModel& model, int network, int tab);

// Sorts by the 31 characters of the name column in upper case, ascending;
// equal names keep their order.
void SortRows(std::vector<std::string>& rows, int tab);

// A page of `total` rows with `perPage` on a page: the page kept to the
// last one, the first and last row shown (1-based) and the summary.
struct ListPage {
    int Page = 0;
    int First = 0;
    int Last = 0;
    std::string Summary;
};
ListPage PageOf(int total, int perPage, int page, int tab, const std::string& network);

// The list window made ready to draw: rows collected when flagged, the page
// kept in range, the summary written.
void PrepareListWindow(PanelState& panel, int& page, int tab, const NetworkModel& model, double heightPixels);

// The callsign of a row: its call column, trimmed.
std::string RowCallsign(std::string_view row);

// --- Where a click lands ---------------------------------------------------------

enum class PanelPart { Outside, Tab, CloseBox, PrevPage, NextPage, Header, Row, Nothing };
struct PanelHit {
    PanelPart Part = PanelPart::Nothing;
    int Index = 0;  // the tab, or the row (1-based)
};

// A point in pixels from the window's centre (y upwards) over the list
// window with `rows` PanelRows; the exact tab boundaries select nothing.
PanelHit HitListWindow(double px, double py, int rows);
// The same over the airport window: its tabs are in the bottom band.
PanelHit HitAirportWindow(double px, double py, int rows);

// --- Airport window -----------------------------------------------------------------

extern const std::string kArrivalsHeader;
extern const std::string kDeparturesHeader;

// "EDDF Frankfurt Airport (Frankfurt, DE)", or the code alone when unknown.
std::string AirportTitle(const NetworkModel& model, const std::string& code);

// Time to go of an inbound pilot `distance` nm out: "hh:mm", "--:--" when
// parked at the airport, "n/a" beyond 80 hours or without a usable speed.
std::string TimeToGo(const PilotClient& pilot, double distance);

// One row of the timetable.
std::string FormatTimetableRow(const NetworkModel& model, int network, const PilotClient& pilot, bool inbound);

// Collects the inbound and outbound rows of `code` into panel.Lines by
// display row, with the counts and the departures header's row.
void BuildTimetable(PanelState& panel, const NetworkModel& model, int network, const std::string& code);

// An aircraft on the radar: its place in pixels from the radar's centre,
// the angle its symbol points to, its speed for the trail, the symbol's
// size (in half window heights) and its label's alpha.
struct RadarBlip {
    double X = 0;
    double Y = 0;
    float Heading = 0;
    float Speed = 0;
    float Size = 0.05f;
    float LabelAlpha = 0.8f;
    std::string Callsign;
};
// Outbound and inbound aircraft within 100 nm, then inbound aircraft
// farther out on the ring; none at 40 kt or less.
std::vector<RadarBlip> RadarBlips(const NetworkModel& model, int network, const std::string& code, double radius);

}  // namespace kestrava
