#include "picking.h"

#include "formats/text.h"
#include "kestrav/network/values.h"
#include "kestrav/render/scene.h"

#include <algorithm>
#include <cmath>

namespace kestrava {

namespace {

float RoundTrip(float value) { return static_cast<float>(ReadNumber(FormatSingle(value))); }

// The key without the text round trip; it differs from PickDistance by
// less than kKeySlack (two coordinates of at most 180 degrees, each moved
// by at most half a unit in their 7th significant digit).
float RawDistance(float latitude, float longitude, float n, float lambda) {
    const double dLat = static_cast<double>(latitude) + n;
    double dLon = static_cast<double>(longitude) - lambda;
    if (std::isfinite(dLon)) dLon = std::remainder(dLon, 360.0);
    return static_cast<float>(std::sqrt(dLat * dLat + dLon * dLon));
}
constexpr float kKeySlack = 2e-4f;

struct Candidate {
    float Raw;
    int Record;
};

// The nearest five by PickDistance, in record order among equals. Only the
// candidates whose raw key can still reach the five get the exact key.
template <typename Client>
std::vector<ClientRef> Nearest(std::vector<Candidate> found, const std::vector<Client>& clients, float n,
                               float lambda) {
    if (found.size() > kPickPerKind) {
        std::vector<float> raw;
        raw.reserve(found.size());
        for (const Candidate& c : found) raw.push_back(c.Raw);
        std::nth_element(raw.begin(), raw.begin() + (kPickPerKind - 1), raw.end());
        const float limit = raw[kPickPerKind - 1] + 2 * kKeySlack;
        std::erase_if(found, [&](const Candidate& c) { return c.Raw > limit; });
    }
    std::vector<ClientRef> nearest;
    for (const Candidate& c : found) {
        const Client& client = clients[static_cast<size_t>(c.Record)];
        nearest.push_back(ClientRef{client.Callsign, client.RealName, client.MemberId,
                                    PickDistance(client.Latitude, client.Longitude, n, lambda), client.Latitude,
                                    client.Longitude, c.Record});
    }
    std::stable_sort(nearest.begin(), nearest.end(),
                     [](const ClientRef& a, const ClientRef& b) { return a.Distance < b.Distance; });
    if (nearest.size() > kPickPerKind) nearest.resize(kPickPerKind);
    return nearest;
}

}  // namespace

float PickDistance(float latitude, float longitude, float n, float lambda) {
    return RawDistance(RoundTrip(latitude), RoundTrip(longitude), n, lambda);
}

PickState PickClients(const NetworkModel& model, int network, const Settings& settings, bool friendsOnly,
                      float n, float lambda, float zoom) {
    PickState pick;
    if (network != kIvao && network != kVatsim) return pick;
    const Snapshot& s = model.Networks[static_cast<size_t>(network)];
    const float r = 20.0f / std::pow(zoom, 0.3f);
    const float latitude = -n;
    if (settings.Layers.ShowATC) {
        std::vector<Candidate> found;
        for (int i = 0; i < s.AtcCount; ++i) {
            const AtcClient& a = s.AtcClients[static_cast<size_t>(i)];
            if (Observes(a.Facility) || !IsShown(model, friendsOnly, a.MemberId)) continue;
            if (Distance(latitude, lambda, a.Latitude, a.Longitude) < 2 * r)
                found.push_back({RawDistance(a.Latitude, a.Longitude, n, lambda), i});
        }
        pick.PickAtc = Nearest(std::move(found), s.AtcClients, n, lambda);
    }
    if (settings.Layers.ShowPlanes) {
        std::vector<Candidate> found;
        for (int i = 0; i < s.PilotCount; ++i) {
            const PilotClient& p = s.Pilots[static_cast<size_t>(i)];
            if (!IsShown(model, friendsOnly, p.MemberId)) continue;
            if (Distance(latitude, lambda, p.Latitude, p.Longitude) < r)
                found.push_back({RawDistance(p.Latitude, p.Longitude, n, lambda), i});
        }
        pick.PickPilots = Nearest(std::move(found), s.Pilots, n, lambda);
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
