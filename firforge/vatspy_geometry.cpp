// Rings of the VAT-Spy boundaries: areas, the point-in-ring test and the
// joining of pieces that the data cuts at the 180th meridian.
#include "firforge/vatspy_data.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <utility>

namespace kestrava {

namespace {

constexpr double kDegToRad = std::numbers::pi / 180.0;

double Wrap(double dlon) {
    while (dlon > 180) dlon -= 360;
    while (dlon < -180) dlon += 360;
    return dlon;
}

// The ring's longitudes made continuous across the 180th meridian.
Ring Unwrapped(const Ring& ring) {
    Ring out;
    out.reserve(ring.size());
    for (LatLon p : ring) {
        if (!out.empty()) p.second = out.back().second + Wrap(p.second - out.back().second);
        out.push_back(p);
    }
    return out;
}

// The ring with its edges along longitude 180 split at every latitude of
// `lats` that falls inside them.
Ring SplitMeridianEdges(const Ring& ring, const std::set<double>& lats) {
    Ring out;
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const LatLon& p = ring[i];
        const LatLon& q = ring[(i + 1) % n];
        out.push_back(p);
        if (p.second == 180.0 && q.second == 180.0) {
            const double low = std::min(p.first, q.first), high = std::max(p.first, q.first);
            std::vector<double> inner;
            for (double lat : lats)
                if (low < lat && lat < high) inner.push_back(lat);
            if (p.first > q.first) std::reverse(inner.begin(), inner.end());
            for (double lat : inner) out.push_back({lat, 180.0});
        }
    }
    return out;
}

}  // namespace

double SignedArea(const Ring& ring) {
    const Ring pts = Unwrapped(ring);
    double total = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) {
        const LatLon& a = pts[i];
        const LatLon& b = pts[(i + 1) % pts.size()];
        total -= (b.second - a.second) * kDegToRad *
                 (std::sin(a.first * kDegToRad) + std::sin(b.first * kDegToRad)) / 2;
    }
    return total;
}

bool RingContains(const Ring& ring, double lat, double lon) {
    const Ring pts = Unwrapped(ring);
    for (double x : {lon, lon + 360, lon - 360}) {
        bool inside = false;
        for (size_t i = 0; i < pts.size(); ++i) {
            const auto [la1, lo1] = pts[i];
            const auto [la2, lo2] = pts[(i + 1) % pts.size()];
            if ((la1 > lat) != (la2 > lat)) {
                const double cross = lo1 + (lat - la1) * (lo2 - lo1) / (la2 - la1);
                if (x < cross) inside = !inside;
            }
        }
        if (inside) return true;
    }
    return false;
}

// Both pieces are turned counter-clockwise and laid side by side (the west
// piece moved one turn east); the stretches of meridian both run along, in
// opposite directions, lie inside the union and cancel; the edges left over
// chain up into the union's outline (and the outline of any hole).
std::vector<Ring> JoinAtAntimeridian(Ring east, Ring west) {
    bool eastTouches = false, westTouches = false;
    for (const LatLon& p : east) eastTouches = eastTouches || p.second == 180.0;
    for (const LatLon& p : west) westTouches = westTouches || p.second == -180.0;
    if (!eastTouches || !westTouches) return {};
    for (LatLon& p : west) p.second += 360.0;
    if (SignedArea(east) < 0) std::reverse(east.begin(), east.end());
    if (SignedArea(west) < 0) std::reverse(west.begin(), west.end());
    std::set<double> lats;
    for (const Ring* ring : {&east, &west})
        for (const LatLon& p : *ring)
            if (p.second == 180.0) lats.insert(p.first);

    // Directed edges with their counts, in the order first met.
    using Edge = std::pair<LatLon, LatLon>;
    std::vector<std::pair<Edge, int>> edges;
    std::map<Edge, size_t> where;
    for (const Ring* piece : {&east, &west}) {
        const Ring ring = SplitMeridianEdges(*piece, lats);
        for (size_t i = 0; i < ring.size(); ++i) {
            const Edge edge{ring[i], ring[(i + 1) % ring.size()]};
            auto [it, added] = where.try_emplace(edge, edges.size());
            if (added) edges.push_back({edge, 0});
            ++edges[it->second].second;
        }
    }
    int cancelled = 0;
    for (size_t i = 0; i < edges.size(); ++i) {
        const auto& [u, v] = edges[i].first;
        auto back = where.find({v, u});
        if (back == where.end()) continue;
        const int common = std::min(edges[i].second, edges[back->second].second);
        if (common && u < v) {
            edges[i].second -= common;
            edges[back->second].second -= common;
            cancelled += common;
        }
    }
    if (!cancelled) return {};

    std::map<LatLon, std::vector<LatLon>> outgoing;
    for (const auto& [edge, count] : edges) {
        std::vector<LatLon>& targets = outgoing[edge.first];
        targets.insert(targets.end(), static_cast<size_t>(count), edge.second);
    }
    const auto next = [&](const LatLon& point, LatLon& to) {
        auto it = outgoing.find(point);
        if (it == outgoing.end() || it->second.empty()) return false;
        to = it->second.back();
        it->second.pop_back();
        return true;
    };
    std::vector<Ring> rings;
    for (const auto& entry : outgoing) {
        const LatLon start = entry.first;
        LatLon point;
        while (next(start, point)) {
            Ring ring{start};
            LatLon after;
            while (point != start && next(point, after)) {
                ring.push_back(point);
                point = after;
            }
            for (LatLon& p : ring)
                if (p.second > 180.0) p.second -= 360.0;
            if (ring.size() >= 3) rings.push_back(std::move(ring));
        }
    }
    return rings;
}

}  // namespace kestrava
