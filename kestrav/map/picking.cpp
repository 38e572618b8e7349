#include "picking.h"

#include "formats/text.h"
#include "kestrav/network/values.h"
#include "kestrav/render/scene.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

float RoundTrip(float value) { return static_cast<float>(ReadNumber(FormatSingle(value))); }

// Keeps the nearest five in record order among equals.
std::vector<ClientRef> Nearest(std::vector<ClientRef> candidates) {
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const ClientRef& a, const ClientRef& b) { return a.Distance < b.Distance; });
    if (candidates.size() > kPickPerKind) candidates.resize(kPickPerKind);
    return candidates;
}

template <typename Client>
ClientRef RefOf(const Client& c, int record, float n, float lambda) {
    return ClientRef{c.Callsign, c.RealName, c.MemberId, PickDistance(c.Latitude, c.Longitude, n, lambda),
                     c.Latitude, c.Longitude, record};
}

}  // namespace

float PickDistance(float latitude, float longitude, float n, float lambda) {
    const double dLat = static_cast<double>(RoundTrip(latitude)) + n;
    double dLon = static_cast<double>(RoundTrip(longitude)) - lambda;
    if (std::isfinite(dLon)) dLon = std::remainder(dLon, 360.0);
    return static_cast<float>(std::sqrt(dLat * dLat + dLon * dLon));
}

PickState PickClients(const NetworkModel& model, int network, const Settings& settings, bool friendsOnly,
                      float n, float lambda, float zoom) {
    PickState pick;
    if (network != kIvao && network != kVatsim) return pick;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    const float r = 20.0f / std::pow(zoom, 0.3f);
    const float latitude = -n;
    if (settings.ShowATC) {
        std::vector<ClientRef> found;
        for (int i = 0; i < s.AtcCount; ++i) {
            const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
            if (a.Facility <= 1 || !IsShown(model, friendsOnly, a.MemberId)) continue;
            if (Distance(latitude, lambda, a.Latitude, a.Longitude) < 2 * r) found.push_back(RefOf(a, i, n, lambda));
        }
        pick.PickAtc = Nearest(std::move(found));
    }
    if (settings.ShowPlanes) {
        std::vector<ClientRef> found;
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (!IsShown(model, friendsOnly, p.MemberId)) continue;
            if (Distance(latitude, lambda, p.Latitude, p.Longitude) < r) found.push_back(RefOf(p, i, n, lambda));
        }
        pick.PickPilots = Nearest(std::move(found));
    }
    return pick;
}

PickBox PickBoxAt(int count, double x, double y, double W, double H, double p) {
    PickBox box;
    box.Width = 187;
    box.Height = static_cast<float>(count * 12 + 4);
    box.Left = static_cast<float>((x - W / 2) / p);
    box.Bottom = static_cast<float>((H / 2 - y) / p - box.Height);
    const double halfWidth = W / (2 * p), halfHeight = H / (2 * p);
    if (box.Left + box.Width > halfWidth - 1) box.Left = static_cast<float>(halfWidth - box.Width - 1);
    if (box.Bottom < -halfHeight + 20) box.Bottom = static_cast<float>(-halfHeight + 20);
    return box;
}

int NearestPilot(const NetworkModel& model, int network, bool friendsOnly, float n, float lambda, float limit) {
    if (network != kIvao && network != kVatsim) return -1;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    int best = -1;
    float bestDistance = limit;
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (!IsShown(model, friendsOnly, p.MemberId)) continue;
        const float d = Distance(-n, lambda, p.Latitude, p.Longitude);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

std::string NearestAirport(const NetworkModel& model, int network, bool friendsOnly, float n, float lambda,
                           float limit) {
    std::string code;
    if (network != kIvao && network != kVatsim) return code;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    float best = limit;
    const auto consider = [&](float lat, float lon, const std::string& airport) {
        if (lat == 0 && lon == 0) return;
        const float d = Distance(-n, lambda, lat, lon);
        if (d < best) {
            best = d;
            code = airport;
        }
    };
    for (int i = 0; i < s.PilotCount; ++i) {
        const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        if (!IsShown(model, friendsOnly, p.MemberId)) continue;
        consider(p.DepLatitude, p.DepLongitude, p.Departure);
        consider(p.DestLatitude, p.DestLongitude, p.Destination);
    }
    return code;
}

}  // namespace kestrava
