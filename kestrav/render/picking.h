// Finding clients and airports near a point of the globe: the pick behind a
// left click, the nearest pilot or airport behind a right click or a Shift
// click. Plain logic over the model, no window.
#pragma once

#include "formats/settings.h"
#include "kestrav/network/model.h"
#include "kestrav/render/popup_text.h"

#include <string>
#include <vector>

namespace kestrava {

// One client named by a click.
struct ClientRef {
    std::string Callsign;
    std::string RealName;
    std::string MemberId;
    float Distance = 0;  // the pick's sort key, degrees
    float Latitude = 0;
    float Longitude = 0;
    int Record = -1;     // its slot in the snapshot
};

// The candidates under a click: up to five controllers and five pilots,
// nearest first, and the box of the pick list when there are several.
struct PickState {
    std::vector<ClientRef> PickAtc;
    std::vector<ClientRef> PickPilots;
    PickBox Box;
    int Count() const { return static_cast<int>(PickAtc.size() + PickPilots.size()); }
};

constexpr size_t kPickPerKind = 5;

// The clients of network `network` near the point (negated latitude n,
// longitude lambda) at this zoom: controllers (facility above 1, with
// ShowATC) within 2R, pilots (with ShowPlanes) within R, R = 20 / zoom^0.3
// nautical miles; only friends while friends-only is on. Each kind sorted
// by its distance in degrees (positions as their 7-digit text gives them),
// the nearest five kept.
PickState PickClients(const NetworkModel& model, int network, const Settings& settings, bool friendsOnly,
                      float n, float lambda, float zoom);

// The pick list's box for `count` rows, hanging below the click at (x, y)
// in a W x H window (twips, p twips per pixel), kept inside the window.
PickBox PickBoxAt(int count, double x, double y, double W, double H, double p);

// The sort key: the distance in degrees between the client's position, as
// its text of 7 significant digits reads back, and the point; the longitude
// difference taken the short way round.
float PickDistance(float latitude, float longitude, float n, float lambda);

// The nearest shown pilot within `limit` nautical miles: its slot, or -1.
int NearestPilot(const NetworkModel& model, int network, bool friendsOnly, float n, float lambda, float limit);

// The departure or destination airport of a shown pilot nearest to the
// point within `limit` nautical miles (positions of exactly 0, 0 are
// unknown airports and never match); empty when none.
std::string NearestAirport(const NetworkModel& model, int network, bool friendsOnly, float n, float lambda,
                           float limit);

}  // namespace kestrava
