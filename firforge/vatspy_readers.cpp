// Readers of VATSpy.dat and Boundaries.geojson.
#include "firforge/vatspy_data.h"

#include <simdjson.h>

#include <cmath>
#include <string>

#include "formats/text.h"

namespace kestrava {

namespace {

using simdjson::SUCCESS;
using simdjson::dom::array;
using simdjson::dom::element;
using simdjson::dom::object;

// The fields a line of each section needs.
constexpr size_t kCountryFields = 2;
constexpr size_t kFirFields = 4;
constexpr size_t kUirFields = 3;

std::string LineRef(int number) { return "VATSpy.dat line " + std::to_string(number); }

bool TooFewFields(const std::vector<std::string>& fields, size_t needed, const std::string& section, int number,
                  std::string& error) {
    if (fields.size() >= needed) return false;
    error = LineRef(number) + ": a " + section + " line needs " + std::to_string(needed) +
            " fields separated by \"|\", it has " + std::to_string(fields.size());
    return true;
}

}  // namespace

bool ReadVatSpyDat(std::string_view text, VatSpyFile& file, std::string& error) {
    file = {};
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::string section;
    bool sawFirs = false;
    int number = 0;
    bool failed = false;
    ForEachLine(text, [&](std::string_view line) {
        ++number;
        if (failed) return;
        if (!line.empty() && line.front() == '[') {
            section = ToUpper(Trim(line));
            sawFirs = sawFirs || section == "[FIRS]";
            return;
        }
        std::string_view content = TrimView(line);
        if (content.empty() || content.front() == ';') return;
        if (section != "[COUNTRIES]" && section != "[FIRS]" && section != "[UIRS]") return;
        std::vector<std::string> fields = Split(line, "|");
        for (std::string& field : fields) field = Trim(field);
        if (section == "[COUNTRIES]") {
            if ((failed = TooFewFields(fields, kCountryFields, "[Countries]", number, error))) return;
            file.Countries.push_back({fields[0], fields[1]});
        } else if (section == "[FIRS]") {
            if ((failed = TooFewFields(fields, kFirFields, "[FIRs]", number, error))) return;
            file.Firs.push_back({fields[0], fields[1], fields[2], fields[3].empty() ? fields[0] : fields[3]});
        } else {
            if ((failed = TooFewFields(fields, kUirFields, "[UIRs]", number, error))) return;
            VatSpyUir uir{fields[0], fields[1], {}};
            for (std::string& fir : Split(fields[2], ","))
                if (!Trim(fir).empty()) uir.Firs.push_back(Trim(fir));
            file.Uirs.push_back(std::move(uir));
        }
    });
    if (failed) return false;
    if (!sawFirs) {
        error = "VATSpy.dat has no [FIRs] section";
        return false;
    }
    return true;
}

std::vector<std::string> ExpandUir(const VatSpyFile& file, const VatSpyUir& uir) {
    std::vector<std::string> boundaries;
    for (const std::string& icao : uir.Firs)
        for (const VatSpyFir& fir : file.Firs)
            if (EqualsNoCase(fir.Icao, icao)) {
                bool seen = false;
                for (const std::string& b : boundaries) seen = seen || b == fir.Boundary;
                if (!seen) boundaries.push_back(fir.Boundary);
            }
    return boundaries;
}

namespace {

struct GeoJsonReader {
    std::string& Error;
    size_t Points = 0;
    std::string Where;  // "feature 12 (EDGG)"

    bool Fail(const std::string& message) {
        Error = "Boundaries.geojson: " + Where + (Where.empty() ? "" : ": ") + message;
        return false;
    }

    // A position [lon, lat] within the globe's ranges.
    bool Position(element e, LatLon& point) {
        array position;
        if (e.get_array().get(position) != SUCCESS) return Fail("a position that is not a list of numbers");
        double values[2];
        size_t count = 0;
        for (element value : position) {
            if (count >= 2) break;
            if (value.get_double().get(values[count]) != SUCCESS)
                return Fail("a coordinate that is not a number");
            ++count;
        }
        if (count < 2) return Fail("a position with fewer than 2 numbers");
        const double lon = values[0], lat = values[1];
        if (!(std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180))
            return Fail("the position " + FormatDecimal(lat) + ", " + FormatDecimal(lon) +
                        " lies beyond +-90 latitude or +-180 longitude");
        point = {lat, lon};
        return true;
    }

    bool ReadRing(element e, Ring* ring) {
        array positions;
        if (e.get_array().get(positions) != SUCCESS) return Fail("a ring that is not a list of positions");
        Ring points;
        for (element p : positions) {
            if (++Points > kMaxBoundaryPoints)
                return Fail("more than " + std::to_string(kMaxBoundaryPoints) + " positions");
            LatLon point;
            if (!Position(p, point)) return false;
            if (ring) points.push_back(point);
        }
        if (!ring) return true;
        if (points.size() > 1 && points.front() == points.back()) points.pop_back();
        if (points.size() < 3) return Fail("a ring of fewer than 3 points");
        *ring = std::move(points);
        return true;
    }

    bool ReadPolygon(element e, BoundaryFeature& feature) {
        array rings;
        if (e.get_array().get(rings) != SUCCESS) return Fail("a polygon that is not a list of rings");
        bool first = true;
        for (element r : rings) {
            if (first) {
                Ring ring;
                if (!ReadRing(r, &ring)) return false;
                feature.Rings.push_back(std::move(ring));
                first = false;
            } else {
                if (!ReadRing(r, nullptr)) return false;
                ++feature.Holes;
            }
        }
        if (first) return Fail("a polygon without rings");
        return true;
    }

    bool ReadFeature(element e, size_t index, BoundaryFeature& feature) {
        Where = "feature " + std::to_string(index + 1);
        object o, properties, geometry;
        if (e.get_object().get(o) != SUCCESS) return Fail("not an object");
        if (o["properties"].get_object().get(properties) != SUCCESS) return Fail("no \"properties\" object");
        std::string_view id;
        if (properties["id"].get_string().get(id) != SUCCESS || id.empty()) return Fail("no \"id\" text");
        feature.Id = std::string(id);
        Where += " (" + Utf8ToCp1252(id) + ")";
        std::string_view oceanic;
        std::int64_t oceanicNumber = 0;
        feature.Oceanic = (properties["oceanic"].get_string().get(oceanic) == SUCCESS && oceanic == "1") ||
                          (properties["oceanic"].get_int64().get(oceanicNumber) == SUCCESS && oceanicNumber == 1);
        double lat = 0, lon = 0;
        feature.HasLabel = LabelValue(properties, "label_lat", lat) && LabelValue(properties, "label_lon", lon) &&
                           std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
        feature.LabelLat = lat;
        feature.LabelLon = lon;
        if (o["geometry"].get_object().get(geometry) != SUCCESS) return Fail("no geometry");
        std::string_view type;
        if (geometry["type"].get_string().get(type) != SUCCESS) return Fail("a geometry without a \"type\"");
        element coordinatesElement;
        array coordinates;
        if (geometry["coordinates"].get(coordinatesElement) != SUCCESS ||
            coordinatesElement.get_array().get(coordinates) != SUCCESS)
            return Fail("a geometry without \"coordinates\"");
        if (type == "Polygon") return ReadPolygon(coordinatesElement, feature);
        if (type != "MultiPolygon") return Fail("a geometry of type \"" + Utf8ToCp1252(type) + "\"");
        for (element polygon : coordinates)
            if (!ReadPolygon(polygon, feature)) return false;
        if (feature.Rings.empty()) return Fail("a MultiPolygon without polygons");
        return true;
    }

    // A label coordinate given as a number or as the text of one.
    static bool LabelValue(object properties, std::string_view key, double& value) {
        element e;
        if (properties[key].get(e) != SUCCESS) return false;
        std::string_view text;
        if (e.get_string().get(text) == SUCCESS) {
            if (!IsWholeNumber(text)) return false;
            value = ReadNumber(text);
        } else if (e.get_double().get(value) != SUCCESS) {
            return false;
        }
        return std::isfinite(value);
    }
};

}  // namespace

bool ReadBoundaries(std::string_view json, std::vector<BoundaryFeature>& features, std::string& error) {
    features.clear();
    if (json.size() > kMaxBoundaryBytes) {
        error = "Boundaries.geojson is larger than " + std::to_string(kMaxBoundaryBytes >> 20) + " MiB";
        return false;
    }
    if (json.substr(0, 3) == "\xEF\xBB\xBF") json.remove_prefix(3);
    simdjson::padded_string padded(json);
    simdjson::dom::parser parser;
    element root;
    if (const auto code = parser.parse(padded).get(root); code != SUCCESS) {
        error = std::string("Boundaries.geojson is not JSON (") + simdjson::error_message(code) + ")";
        return false;
    }
    object collection;
    if (root.get_object().get(collection) != SUCCESS) {
        error = "Boundaries.geojson is not a GeoJSON object";
        return false;
    }
    array list;
    if (collection["features"].get_array().get(list) != SUCCESS) {
        error = "Boundaries.geojson has no \"features\" list";
        return false;
    }
    GeoJsonReader reader{error, 0, {}};
    size_t index = 0;
    for (element e : list) {
        BoundaryFeature feature;
        if (!reader.ReadFeature(e, index++, feature)) {
            features.clear();
            return false;
        }
        features.push_back(std::move(feature));
    }
    return true;
}

}  // namespace kestrava
