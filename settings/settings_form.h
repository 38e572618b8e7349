// The settings editor without its window: the controls (names, captions,
// places and help texts), what they show for a `Settings`, and how their
// contents are read back. The window only moves values between these and
// its Qt controls.
#pragma once

#include "formats/settings.h"
#include "widgets/layout_box.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kestrava {


inline constexpr int kEditorWidth = 650;
inline constexpr int kEditorHeight = 398;

enum class ControlKind { Frame, Caption, TextBox, CheckBox, Button, ComboBox, HelpLabel };

struct ControlSpec {
    const char* Name;  // the object name: "txtIVAOID"
    ControlKind Kind;
    const char* Text;  // caption, frame title or button text ("&Load")
    Box At;  // its place in the window
    const char* Help;  // shown in lblH while the pointer rests on it; "" for none
};

// Every control of the window, frames first, then in tab order.
const std::vector<ControlSpec>& EditorControls();
// The control of that name; nullptr when there is none.
const ControlSpec* FindControl(std::string_view name);

// The items of cmbHdg; the index is ShowActualHeading.
inline constexpr const char* kHeadingItems[2] = {"Aircraft nose points to destination",
                                                 "Show real heading of aircraft"};

// What the controls hold; texts are UTF-8, as the window's boxes give them.
struct SettingsForm {
    std::string IvaoId;
    std::string VatsimId;
    std::string Interval;
    std::string Timeout;
    std::string Proxy;
    std::string Scheme;
    std::map<std::string, bool> Checked;  // by check box name ("chkP")
    int Heading = 0;
    // lblLive: the viewer's live refresh ([Network] LiveSeconds), shown,
    // not edited (the viewer's key R switches it).
    std::string Live;
};

// The controls for the edited values. A proxy shorter than two characters
// means no proxy and shows an empty box.
SettingsForm FormFromSettings(const Settings& settings);

// Reads the controls back into the 19 edited fields of `settings`. False,
// with `refusal` naming the box, when a number box holds no number or one
// beyond 16 bits, or a text box holds what the file cannot; `settings` is
// then untouched. An empty or one-character proxy box saves as "0".
bool SettingsFromForm(const SettingsForm& form, Settings& settings, std::string& refusal);

enum class TypedNumber { Valid, NotANumber, OutOfRange };
// A typed decimal number (blanks around it allowed) rounded to the nearest
// whole number, halves to even: "7.5" gives 8, "6.5" gives 6.
TypedNumber ReadTypedNumber(std::string_view text, int& value);

// The colour scheme for a chosen file: its name after the last "/" or "\".
std::string SchemeOfChosenFile(std::string_view path);

// True when the chosen scheme file does not lie in the colours folder beside
// the settings file, the only place where the viewer looks for it.
bool SchemeOutsideViewerColours(const std::string& schemePath, const std::string& settingsPath);

}  // namespace kestrava
