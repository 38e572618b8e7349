// The VAT-Spy data into firdisplay.dat and firlist.dat (rules in
// vatspy_data.h).
#include "firforge/vatspy_data.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "firforge/sector_writer.h"
#include "formats/text.h"

namespace kestrava {

namespace {

constexpr int kFirstNumber = 100;
constexpr int kLastNumber = 9999;
constexpr double kMaxEdge = 4.0;  // degrees; longer edges are split
constexpr const char* kEndOfLine = "\r\n";

double Wrap(double dlon) {
    while (dlon > 180) dlon -= 360;
    while (dlon < -180) dlon += 360;
    return dlon;
}

// Rounded to 2 decimals the way a decimal printer rounds (the exact binary
// value, halves to even), read back as the nearest double.
double RoundToHundredths(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return std::strtod(buffer, nullptr);
}

// Floor division of two positive numbers as exactly as a remainder allows.
double FloorDivide(double x, double y) {
    const double mod = std::fmod(x, y);
    const double div = (x - mod) / y;
    double whole = std::floor(div);
    if (div - whole > 0.5) whole += 1.0;
    return whole;
}

struct Bounds {
    double South, North, West, East;
};

Bounds RingBounds(const Ring& ring) {
    Bounds b{ring[0].first, ring[0].first, ring[0].second, ring[0].second};
    double lon = ring[0].second;
    for (size_t i = 1; i < ring.size(); ++i) {
        lon += Wrap(ring[i].second - lon);
        b.South = std::min(b.South, ring[i].first);
        b.North = std::max(b.North, ring[i].first);
        b.West = std::min(b.West, lon);
        b.East = std::max(b.East, lon);
    }
    return b;
}

// ------------------------------------------------------------------ regions

// Joins pieces cut at the 180th meridian; returns the number of joins.
int JoinCutPieces(std::vector<Ring>& rings) {
    int joins = 0;
    for (bool changed = true; changed;) {
        changed = false;
        for (size_t i = 0; i < rings.size() && !changed; ++i) {
            for (size_t j = 0; j < rings.size(); ++j) {
                if (i == j) continue;
                std::vector<Ring> joined = JoinAtAntimeridian(rings[i], rings[j]);
                if (joined.empty()) continue;
                std::vector<Ring> rest;
                for (size_t k = 0; k < rings.size(); ++k)
                    if (k != i && k != j) rest.push_back(std::move(rings[k]));
                for (Ring& ring : joined) rest.push_back(std::move(ring));
                rings = std::move(rest);
                ++joins;
                changed = true;
                break;
            }
        }
    }
    return joins;
}

void Settle(VatSpyRegion& region, std::vector<Ring> rings, bool hasLabel) {
    std::vector<Ring> unique;
    for (Ring& ring : rings) {
        if (std::find(unique.begin(), unique.end(), ring) != unique.end())
            ++region.Duplicates;
        else
            unique.push_back(std::move(ring));
    }
    region.Joins = JoinCutPieces(unique);
    std::vector<std::pair<double, size_t>> bySize;
    for (size_t i = 0; i < unique.size(); ++i) bySize.push_back({std::fabs(SignedArea(unique[i])), i});
    std::stable_sort(bySize.begin(), bySize.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    // The largest ring that holds the label: the label marks the part the
    // region is known by (Moncton's own ring, not the larger piece it shares
    // with Gander). Without such a ring, the largest one.
    size_t chosen = bySize.front().second;
    if (hasLabel) {
        for (const auto& [area, index] : bySize)
            if (RingContains(unique[index], region.LabelLat, region.LabelLon)) {
                chosen = index;
                break;
            }
    }
    region.Outline = std::move(unique[chosen]);
    region.LeftOut = static_cast<int>(unique.size()) - 1;
    if (!hasLabel) {
        const Bounds b = RingBounds(region.Outline);
        region.LabelLat = (b.South + b.North) / 2;
        region.LabelLon = Wrap((b.West + b.East) / 2);
    }
}

using RegionKey = std::pair<std::string, bool>;  // boundary id, oceanic

std::vector<VatSpyRegion> BuildRegions(const std::vector<BoundaryFeature>& features,
                                       std::map<RegionKey, size_t>& index, int& holes) {
    std::vector<VatSpyRegion> regions;
    std::vector<std::vector<Ring>> rings;
    std::vector<bool> labelled;
    holes = 0;
    for (const BoundaryFeature& f : features) {
        auto [it, added] = index.try_emplace(RegionKey{f.Id, f.Oceanic}, regions.size());
        if (added) {
            VatSpyRegion region;
            region.BoundaryId = f.Id;
            region.Oceanic = f.Oceanic;
            region.LabelLat = f.LabelLat;
            region.LabelLon = f.LabelLon;
            regions.push_back(std::move(region));
            rings.emplace_back();
            labelled.push_back(f.HasLabel);
        }
        for (const Ring& ring : f.Rings) rings[it->second].push_back(ring);
        holes += f.Holes;
    }
    for (size_t i = 0; i < regions.size(); ++i) Settle(regions[i], std::move(rings[i]), labelled[i]);
    return regions;
}

// -------------------------------------------------------------- place codes

struct Airport {
    double Lat, Lon;
    std::string Code, Country;
    bool operator<(const Airport& o) const {
        return std::tie(Lat, Lon, Code, Country) < std::tie(o.Lat, o.Lon, o.Code, o.Country);
    }
};
using CodeCountry = std::pair<std::string, std::string>;

class AirportPlaces {
public:
    explicit AirportPlaces(std::string_view airportsDat) {
        ForEachLine(airportsDat, [&](std::string_view line) {
            std::vector<std::string> f = Split(line, ":");
            if (f.size() >= 6 && !f[3].empty()) airports_.push_back({ReadNumber(f[4]), ReadNumber(f[5]), f[0], f[3]});
        });
        std::sort(airports_.begin(), airports_.end());
        for (const Airport& a : airports_) lats_.push_back(a.Lat);
    }

    // The country and the rule (1-4) that found it; "ZZ" and 0 when none.
    std::pair<std::string, int> PlaceCode(const std::string& icaoText, const VatSpyRegion& region) {
        const std::string icao = ToUpper(icaoText);
        const std::vector<CodeCountry>& in = Inside(region);
        const auto sharing = [&](size_t letters) {
            std::vector<CodeCountry> out;
            for (const CodeCountry& p : in)
                if (p.first.substr(0, letters) == icao.substr(0, letters)) out.push_back(p);
            return out;
        };
        const std::vector<CodeCountry> steps[] = {sharing(2), WithPrefix(icao.substr(0, 2)), sharing(1), in};
        for (int step = 0; step < 4; ++step)
            if (auto country = MostCommon(steps[step])) return {*country, step + 1};
        return {"ZZ", 0};
    }

private:
    const std::vector<CodeCountry>& Inside(const VatSpyRegion& region) {
        auto [it, added] = inside_.try_emplace(&region);
        if (!added) return it->second;
        const Bounds b = RingBounds(region.Outline);
        const size_t lo = std::lower_bound(lats_.begin(), lats_.end(), b.South) - lats_.begin();
        const size_t hi = std::upper_bound(lats_.begin(), lats_.end(), b.North) - lats_.begin();
        for (size_t i = lo; i < hi; ++i) {
            const Airport& a = airports_[i];
            bool within = false;
            for (double x : {a.Lon, a.Lon + 360, a.Lon - 360}) within = within || (b.West <= x && x <= b.East);
            if (within && RingContains(region.Outline, a.Lat, a.Lon)) it->second.push_back({a.Code, a.Country});
        }
        return it->second;
    }

    const std::vector<CodeCountry>& WithPrefix(const std::string& prefix) {
        auto [it, added] = byPrefix_.try_emplace(prefix);
        if (added)
            for (const Airport& a : airports_)
                if (StartsWith(a.Code, prefix)) it->second.push_back({a.Code, a.Country});
        return it->second;
    }

    static std::optional<std::string> MostCommon(const std::vector<CodeCountry>& pairs) {
        std::map<std::string, int> counts;
        for (const CodeCountry& p : pairs) ++counts[p.second];
        std::optional<std::string> best;
        int bestCount = 0;
        for (const auto& [country, count] : counts)  // ties: the first country in order
            if (count > bestCount) {
                best = country;
                bestCount = count;
            }
        return best;
    }

    std::vector<Airport> airports_;
    std::vector<double> lats_;
    std::map<const VatSpyRegion*, std::vector<CodeCountry>> inside_;
    std::map<std::string, std::vector<CodeCountry>> byPrefix_;
};

// ----------------------------------------------------------------- writing

bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r') || (c >= 0x1C && c <= 0x1F); }

// A UTF-8 field that can sit between colons: no control characters, single
// blanks, trimmed, no colon ("Group: 308th" becomes "Group - 308th").
std::string CleanField(std::string_view text) {
    std::string spaced;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const unsigned char c1 = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        const unsigned char c2 = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
        if (c == ':') {
            spaced += c1 == ' ' ? " -" : "-";
        } else if (c < 0x20 || c == 0x7F || IsBlank(c)) {
            spaced += ' ';
        } else if (c == 0xC2 && ((c1 >= 0x80 && c1 <= 0x9F) || c1 == 0xA0)) {  // C1 controls, no-break space
            spaced += ' ';
            ++i;
        } else if (c == 0xE2 && c1 == 0x80 && ((c2 >= 0x80 && c2 <= 0x8A) || c2 == 0xA8 || c2 == 0xA9 || c2 == 0xAF)) {
            spaced += ' ';  // the typographic spaces and separators
            i += 2;
        } else {
            spaced += static_cast<char>(c);
        }
    }
    std::string out;
    for (size_t i = 0; i < spaced.size();) {
        while (i < spaced.size() && spaced[i] == ' ') ++i;
        size_t end = spaced.find(' ', i);
        if (end == std::string::npos) end = spaced.size();
        if (end > i) {
            if (!out.empty()) out += ' ';
            out.append(spaced, i, end - i);
        }
        i = end;
    }
    return out;
}

std::string OceanicName(const std::string& name) {
    if (ToLower(name).find("oceanic") != std::string::npos) return name;
    return Trim(name + " Oceanic");
}

// The polygon block of a region; returns the points added on long edges.
int AppendPolygon(std::string& out, int number, const Ring& ring) {
    struct Vertex {
        float Lat, Lon;
        std::string Text;
    };
    // Vertices are compared as written: two points that give the same text
    // are one vertex.
    std::vector<Vertex> vertices;
    for (const auto& [lat, lon] : ring) {
        std::string text = FormatSinglePlain(static_cast<float>(lat)) + ":" + FormatSinglePlain(static_cast<float>(lon));
        if (vertices.empty() || vertices.back().Text != text)
            vertices.push_back({static_cast<float>(lat), static_cast<float>(lon), std::move(text)});
    }
    if (vertices.size() > 1 && vertices.front().Text == vertices.back().Text) vertices.pop_back();
    vertices.push_back(vertices.front());
    out += "DISPLAY_LIST_" + std::to_string(number) + kEndOfLine;
    int added = 0;
    const Vertex* previous = nullptr;
    for (const Vertex& v : vertices) {
        if (previous) {
            const double pLat = previous->Lat, pLon = previous->Lon;
            const double dLat = static_cast<double>(v.Lat) - pLat;
            const double dLon = Wrap(static_cast<double>(v.Lon) - pLon);
            const bool samePole = std::fabs(v.Lat) == 90 && v.Lat == previous->Lat;
            const double d = std::hypot(dLat, dLon);
            if (d > kMaxEdge && !samePole) {
                const int n = static_cast<int>(FloorDivide(d, kMaxEdge)) + 1;
                for (int j = 1; j <= n; ++j) {
                    const double t = static_cast<double>(j) / (n + 1);
                    const double lat = RoundToHundredths(pLat + dLat * t);
                    const double lon = RoundToHundredths(Wrap(pLon + dLon * t));
                    out += FormatSinglePlain(static_cast<float>(lat)) + ":" + FormatSinglePlain(static_cast<float>(lon)) +
                           kEndOfLine;
                    ++added;
                }
            }
        }
        out += v.Text + kEndOfLine;
        previous = &v;
    }
    return added;
}

struct Entry {
    std::string Id;
    size_t Region;
    std::string Name;
    std::string Icao;
};

bool IsCallsignId(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

}  // namespace

bool ConvertVatSpyData(const VatSpyFile& file, const std::vector<BoundaryFeature>& features,
                       std::string_view airportsDat, VatSpyConversion& out, std::string& error) {
    out = {};
    std::map<RegionKey, size_t> index;
    out.Regions = BuildRegions(features, index, out.HolesLeftOut);
    std::vector<VatSpyRegion>& regions = out.Regions;
    const auto find = [&](const std::string& id, bool oceanic) -> std::optional<size_t> {
        auto it = index.find({id, oceanic});
        if (it == index.end()) return std::nullopt;
        return it->second;
    };

    std::vector<Entry> entries;
    std::set<std::string> taken;
    const auto add = [&](const std::string& id, std::optional<size_t> region, const std::string& name,
                         const std::string& icao) {
        if (id.empty() || !region || !taken.insert(ToUpper(id)).second) return false;
        entries.push_back({id, *region, name, icao});
        return true;
    };
    for (const VatSpyFir& row : file.Firs) {
        auto domestic = find(row.Boundary, false), oceanic = find(row.Boundary, true);
        const std::string rowId = row.CallsignPrefix.empty() ? row.Icao : row.CallsignPrefix;
        add(rowId, domestic ? domestic : oceanic, row.Name, row.Icao);
        if (domestic && oceanic) {
            add(rowId + "_O", oceanic, OceanicName(row.Name), row.Icao);
            add(row.Boundary + "_O", oceanic, OceanicName(row.Name), row.Icao);
        }
    }
    for (const VatSpyFir& row : file.Firs) {
        if (row.CallsignPrefix.empty() || !IsCallsignId(row.Icao)) continue;
        auto domestic = find(row.Boundary, false), oceanic = find(row.Boundary, true);
        add(row.Icao, domestic ? domestic : oceanic, row.Name, row.Icao);
    }
    // A region that no row reaches (its rows' prefixes were all taken by
    // earlier rows) is listed under its boundary id written the way call
    // signs are ("OBBB-S" as "OBBB_S"), with the name of a row that names it.
    std::vector<bool> listed(regions.size(), false);
    for (const Entry& e : entries) listed[e.Region] = true;
    for (size_t r = 0; r < regions.size(); ++r) {
        if (listed[r]) continue;
        const VatSpyRegion& region = regions[r];
        std::string name;
        for (const VatSpyFir& row : file.Firs)
            if (row.Boundary == region.BoundaryId) {
                name = row.Name;
                break;
            }
        std::string id = region.BoundaryId;
        std::replace(id.begin(), id.end(), '-', '_');
        if (region.Oceanic && find(region.BoundaryId, false)) {
            id += "_O";
            name = OceanicName(name);
        }
        if (add(id, r, name, region.BoundaryId) || add(region.BoundaryId, r, name, region.BoundaryId))
            out.Notes.push_back("Listed by its boundary id: " + Utf8ToCp1252(entries.back().Id));
        else
            out.Notes.push_back("Not listed, its ids are taken: " + Utf8ToCp1252(region.BoundaryId));
    }

    int next = kFirstNumber;
    for (const Entry& e : entries) {
        VatSpyRegion& region = regions[e.Region];
        if (region.Number) continue;
        if (next > kLastNumber) {
            error = "More than " + std::to_string(kLastNumber - kFirstNumber + 1) + " polygons";
            return false;
        }
        region.Number = next++;
        out.AddedPoints += AppendPolygon(out.Display, region.Number, region.Outline);
        ++out.Polygons;
    }
    out.Display += std::string("DISPLAY_LIST_END") + kEndOfLine;

    AirportPlaces places(airportsDat);
    for (const Entry& e : entries) {
        const VatSpyRegion& region = regions[e.Region];
        const std::string place = places.PlaceCode(e.Icao.empty() ? region.BoundaryId : e.Icao, region).first;
        std::string name = CleanField(e.Name);
        if (name.empty()) name = "Unknown";
        out.List += Utf8ToCp1252(CleanField(e.Id)) + ":" + Utf8ToCp1252(name) + ":" + place + ":" +
                    FormatSinglePlain(static_cast<float>(region.LabelLat)) + ":" +
                    FormatSinglePlain(static_cast<float>(region.LabelLon)) + ":" + std::to_string(region.Number) +
                    kEndOfLine;
        ++out.Sectors;
    }
    out.FirRows = static_cast<int>(file.Firs.size());
    out.UirRows = static_cast<int>(file.Uirs.size());
    out.Countries = static_cast<int>(file.Countries.size());
    return true;
}

bool ConvertVatSpyTexts(std::string_view vatSpyDat, std::string_view boundariesJson, std::string_view airportsDat,
                        VatSpyConversion& out, std::string& error) {
    VatSpyFile file;
    std::vector<BoundaryFeature> features;
    if (!ReadVatSpyDat(vatSpyDat, file, error)) return false;
    if (!ReadBoundaries(boundariesJson, features, error)) return false;
    return ConvertVatSpyData(file, features, airportsDat, out, error);
}

}  // namespace kestrava
