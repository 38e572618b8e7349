// The VAT-Spy data readers and their conversion: the input holds a
// VATSpy.dat and a Boundaries.geojson, cut at a line "@@". What the
// conversion accepts must read back as polygons numbered from 100 within
// the globe's ranges.
#include "firforge/vatspy_data.h"
#include "formats/sector_files.h"
#include "formats/text.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrava;
    const std::vector<std::string> parts = fuzzing::Parts(fuzzing::Text(data, size), 2);
    VatSpyConversion out;
    std::string error;
    if (!ConvertVatSpyTexts(parts[0], parts[1], "EDDF:Frankfurt:Frankfurt:DE:50.03:8.57\r\n", out, error)) {
        fuzzing::Require(!error.empty(), "a refusal says why");
        return 0;
    }
    ReadPolygonLines(TextLines(out.Display), [&](int number, const std::vector<GeoPoint>& points) {
        fuzzing::Require(number >= 100, "polygons are numbered from 100");
        for (const GeoPoint& p : points)
            fuzzing::Require(p.Latitude >= -90 && p.Latitude <= 90 && p.Longitude >= -180 && p.Longitude <= 180,
                             "points within the globe's ranges");
    });
    return 0;
}
