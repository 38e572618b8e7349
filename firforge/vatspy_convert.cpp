// Converts the VAT-Spy data project's files into the sector pair, for the
// data build: vatspy_convert <folder with VATSpy.dat and Boundaries.geojson>
// <output folder> <airports.dat>. Prints the conversion's log; status 1 when
// nothing was written.
#include <iostream>
#include <string>

#include "firforge/conversion.h"
#include "firforge/vatspy_data.h"

int main(int argc, char* argv[]) {
    using namespace kestrava;
    if (argc != 4) {
        std::cerr << "usage: vatspy_convert <VAT-Spy data folder> <output folder> <airports.dat>\n";
        return 2;
    }
    ConversionRequest request;
    request.Source = SourceType::VatSpy;
    request.InputPath = std::string(argv[1]) + "/VATSpy.dat";
    request.OutputFolder = argv[2];
    request.AirportsPath = argv[3];
    const bool ok = ConvertVatSpyRequest(request, [](const std::string& line) { std::cout << line << "\n"; });
    return ok ? 0 : 1;
}
