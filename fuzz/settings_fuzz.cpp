// kestrav.ini: the INI layer, ReadSettings and the window placement, then a
// WriteSettings / ReadSettings round trip that must give the same settings,
// and the settings editor's reading and writing of the shared keys. The
// input is the whole file.
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace kestrava;

constexpr ScreenSize kScreen{1600, 1000};

bool SameViews(const Settings& a, const Settings& b) {
    for (int v = 0; v < 3; ++v)
        if (a.Views[v].X != b.Views[v].X || a.Views[v].Y != b.Views[v].Y || a.Views[v].Z != b.Views[v].Z)
            return false;
    return true;
}

// Everything but the window placement and the stored views.
bool SameExceptGeometry(const Settings& a, const Settings& b) {
    return a.UserIds == b.UserIds && a.ColourTheme == b.ColourTheme && a.DisableSmooth == b.DisableSmooth &&
           a.DisableCountries == b.DisableCountries && a.AutoDownload == b.AutoDownload &&
           a.DownloadMinutes == b.DownloadMinutes && a.Timeout == b.Timeout && a.Proxy == b.Proxy &&
           a.TextForce == b.TextForce && a.StatusUrls == b.StatusUrls && a.Layers.ShowLatLon == b.Layers.ShowLatLon &&
           a.Layers.ShowPlanes == b.Layers.ShowPlanes && a.Layers.ShowPlaneLabels == b.Layers.ShowPlaneLabels && a.Layers.ShowATC == b.Layers.ShowATC &&
           a.Layers.ShowATCLabels == b.Layers.ShowATCLabels && a.Layers.ShowAirports == b.Layers.ShowAirports &&
           a.Layers.ShowAirportLabels == b.Layers.ShowAirportLabels && a.Layers.ShowInbounds == b.Layers.ShowInbounds &&
           a.Layers.ShowActualHeading == b.Layers.ShowActualHeading;
}

bool SamePlacement(const Settings& a, const Settings& b) {
    return a.WindowLeft == b.WindowLeft && a.WindowTop == b.WindowTop && a.WindowWidth == b.WindowWidth &&
           a.WindowHeight == b.WindowHeight;
}

// The settings after they were written into the file's text and read back.
Settings RoundTrip(IniFile& ini, const Settings& s) {
    WriteSettings(ini, s);
    IniFile again;
    again.LoadText(ini.Text());
    return ReadSettings(again, kScreen);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IniFile ini;
    ini.LoadText(fuzzing::Text(data, size));
    const Settings first = ReadSettings(ini, kScreen);
    for (double v : {first.WindowLeft, first.WindowTop, first.WindowWidth, first.WindowHeight})
        fuzzing::Require(v >= -2147483648.0 && v <= 2147483647.0, "window geometry within int range");
    fuzzing::Require(first.DownloadMinutes >= 3 && first.DownloadMinutes <= 30, "DownloadMinutes range");
    fuzzing::Require(first.Timeout >= 5 && first.Timeout <= 120, "Timeout range");

    const std::vector<PixelRect> screens = {{0, 0, 1600, 1000}, {1600, 0, 1280, 1024}};
    const PixelRect placed = FitWindowToScreens(first.WindowLeft, first.WindowTop, first.WindowWidth,
                                                first.WindowHeight, screens);
    bool onScreen = false;
    for (const PixelRect& s : screens) {
        const long long right = 0LL + placed.Left + placed.Width, bottom = 0LL + placed.Top + placed.Height;
        onScreen = onScreen || (placed.Left >= s.Left && placed.Top >= s.Top && right <= 0LL + s.Left + s.Width &&
                                bottom <= 0LL + s.Top + s.Height);
    }
    fuzzing::Require(onScreen && placed.Width >= 720 && placed.Height >= 540, "window wholly on a screen");

    // Written and read back, the settings stay. The placement may lose
    // digits past the seventh and the views their fractions of a hundredth
    // (they are saved as whole hundredths) once; then they stay too.
    const Settings second = RoundTrip(ini, first);
    fuzzing::Require(SameExceptGeometry(first, second), "settings survive a round trip");
    const Settings third = RoundTrip(ini, second);
    fuzzing::Require(SameExceptGeometry(second, third) && SamePlacement(second, third) && SameViews(second, third),
                     "a second round trip changes nothing");

    // The settings editor's view of the same file.
    IniFile editor;
    editor.LoadText(fuzzing::Text(data, size));
    const Settings edited = ReadEditorSettings(editor);
    WriteEditorSettings(editor, edited);
    IniFile reread;
    reread.LoadText(editor.Text());
    const Settings back = ReadEditorSettings(reread);
    fuzzing::Require(back.UserIds == edited.UserIds && back.ColourTheme == edited.ColourTheme &&
                         back.DownloadMinutes == edited.DownloadMinutes && back.Timeout == edited.Timeout &&
                         back.Proxy == edited.Proxy,
                     "the editor's keys survive a round trip");
    return 0;
}
