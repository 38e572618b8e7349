// Colour themes (colours/*.dc): every key read through the INI layer, each
// component a fraction of 255. The input is the whole theme file.
#include "formats/colour_theme.h"
#include "formats/ini_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrava;
    IniFile ini;
    ini.LoadText(fuzzing::Text(data, size));
    ColourTheme theme;
    ReadColourTheme(ini, theme);
    for (int i = 0; i < kColourCount; ++i) {
        for (float component : {theme.Red[i], theme.Green[i], theme.Blue[i]}) {
            fuzzing::Require(component >= 0 && component <= 1, "colour component in 0..1");
        }
    }
    for (float latitude : {-90.0f, 0.0f, 45.5f, 90.0f}) {
        const Rgb c = BlendByLatitude(theme, Colour::GlobeEquator, Colour::GlobePoles, latitude);
        fuzzing::Require(c.Red >= 0 && c.Red <= 1 && c.Green >= 0 && c.Green <= 1 && c.Blue >= 0 && c.Blue <= 1,
                         "blend between two colours stays a colour");
    }
    return 0;
}
