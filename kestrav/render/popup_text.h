// What the client popups and the pick list show: every text with its place,
// the dials' angles and the panel's size, worked out from a client record
// and the model without OpenGL. popups.h compiles these into list 40.
//
// Places are whole pixels from the window's centre, x to the right and y
// upwards; a text's place is the left end of its baseline.
#pragma once

#include "kestrav/network/model.h"

#include <string>
#include <string_view>
#include <vector>

namespace kestrava {

struct PopupText {
    int X = 0;
    int Y = 0;
    bool Bold = false;
    std::string Text;
};

// One round gauge: a scale from -150 to +150 degrees (0 straight up,
// clockwise positive), its needle and an optional planned-value marker.
struct DialSpec {
    int CentreX = 0;
    int CentreY = 0;
    float Needle = -150;
    float Marker = -150;
    bool ShowMarker = false;
};

struct PopupLayout {
    int HalfHeight = 110;  // the panel is 260 px wide and twice this high
    std::vector<PopupText> Texts;
    std::vector<DialSpec> Dials;
    // The one-pixel separator line across the panel.
    int SeparatorY = 0;
};

// The popup panel's fixed size.
constexpr int kPopupHalfWidth = 130;
constexpr int kAtcPopupHalfHeight = 110;
constexpr int kPilotPopupHalfHeight = 240;

// The controller popup (also observers and ATIS stations) and the pilot
// popup of network `network` (0 or 1).
PopupLayout AtcPopupLayout(const NetworkModel& model, int network, const AtcClient& atc);
PopupLayout PilotPopupLayout(const NetworkModel& model, int network, const PilotClient& pilot);

// --- Pieces, open to the tests -------------------------------------------

// " (SUP)", " (ADM)" or nothing, by the administrative rating.
std::string AdminSuffix(int adminRating);

// The name of a controller's place: the sector's name for centres and flight
// service stations, else the airport's; the code itself when unknown.
std::string PlaceName(const NetworkModel& model, const AtcClient& atc);

// "Voice: IVATEU2" from a voice-server text such as "eu2.ts.ivao.aero/...";
// empty when the text has neither form.
std::string VoiceLine(std::string_view voiceText);

// The ATIS text as popup lines: split at "^\xA7", each line cut to 42
// characters (ending "..." when cut), short neighbours joined with " / ".
// The first piece is left out when it names the voice server.
std::vector<std::string> AtisLines(std::string_view atisText);

// The route wrapped at blanks into lines of at most 42 characters; a word
// longer than a line is cut.
std::vector<std::string> WrapRoute(std::string_view route);

// At most `room` lines; when lines had to be left out, the last one shown
// ends with "..." (and keeps to the 42 characters).
std::vector<std::string> FitLines(std::vector<std::string> lines, size_t room);

// Dial angles: 0 to 600 knots and 0 to 45000 feet over -150..150 degrees,
// values beyond the scale pinned to its ends.
float SpeedDialAngle(double knots);
float AltitudeDialAngle(double feet);

// The progress dial: the share flown of the whole distance.
struct Progress {
    float Needle = -150;
    std::string Text;  // "0%", "?" or "n%"
    int TextX = 58;
};
Progress FlightProgress(const PilotClient& pilot, std::string_view updateStamp);

// A row of the pick list: callsign, a blank and the name, cut to 30.
std::string SelectionRow(const std::string& callsign, const std::string& realName);

// The pick list's box: left, bottom, width and height in pixels from the
// window's centre (y upwards). Rows are 12 px high and run down from the
// top, the first candidate on top; the drawing and the hit test both go
// through the two functions below.
struct PickBox {
    float Left = 0;
    float Bottom = 0;
    float Width = 0;
    float Height = 0;
    float Top() const { return Bottom + Height; }
    bool Contains(double px, double py) const {
        return px > Left && px < Left + Width && py > Bottom && py < Top();
    }
};

// The row (1 = top) under a point inside the box, for a list of `rows`
// rows: rounded to the nearest row, halves to even, kept to 1..rows.
int PickRowAt(const PickBox& box, int rows, double py);
// The baseline of row k's text, and the lower edge of its band.
float PickRowBaseline(const PickBox& box, int k);
float PickRowLowerEdge(const PickBox& box, int k);

}  // namespace kestrava
