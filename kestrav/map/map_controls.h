// The map window's mouse and keyboard controls as plain logic: key codes,
// buttons and positions in, camera changes, toggles, stored views, picks,
// popups and their buttons out. The window turns its events into these calls
// and carries out what they ask through ControlHost; the tests drive them
// with a recording host.
//
// Positions are twips from the window's top-left corner, y downwards; W and
// H are the window's size in twips, P its twips per pixel.
#pragma once

#include "formats/settings.h"
#include "kestrav/render/panel_rows.h"
#include "kestrav/render/picking.h"
#include "kestrav/network/model.h"
#include "kestrav/network/values.h"
#include "globe/camera.h"
#include "kestrav/render/frame.h"
#include "kestrav/render/scene.h"
#include "kestrav/render/viewer_actions.h"

#include <string>

namespace kestrava {

// Key codes: the window system's virtual keys. Letters and digits are their
// upper-case ASCII codes ('A', '1').
namespace keys {
constexpr int kEscape = 27, kSpace = 32, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kF1 = 112, kF2 = 113, kF3 = 114, kF4 = 115, kF5 = 116, kF6 = 117, kF11 = 122, kF12 = 123;
}  // namespace keys

// Buttons and modifier masks of the mouse and key events.
constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
constexpr int kShiftMask = 1, kCtrlMask = 2, kAltMask = 4;

// What the window keeps between a button press and its release.
struct PressSnapshot {
    double X = 0;  // the press position
    double Y = 0;
    long long X0 = 0;  // the same rounded to whole twips
    long long Y0 = 0;
    Camera AtPress;
    bool OnMap = false;  // the press was taken on the plain map
};

struct InputState {
    PressSnapshot Press;
    bool DragRotate = false;
    bool DragZoom = false;
    WheelAccumulator Wheel;
    PickState Pick;
    ClientRef SelectedClient;
    // The open popup's copy of its client.
    AtcClient SelectedAtc;
    PilotClient SelectedPilot;
};

// The state the controls work on, owned by the window.
struct MapControls {
    NetworkModel& Model;
    Settings& Config;
    Camera& View;
    OverlayState& Overlay;
    MapSwitches& Switches;
    SceneState& Scenes;
    InputState& Input;
    PanelState& Panel;
    ViewerActions& Host;
    double W;  // window width and height in twips
    double H;
    double P;  // twips per pixel
};

// --- Events ----------------------------------------------------------------
void KeyDown(MapControls& c, int key, int shift);
void KeyUp(MapControls& c, int key, int shift);
void MouseDown(MapControls& c, int button, int shift, double x, double y);
void MouseMove(MapControls& c, double x, double y);
void MouseUp(MapControls& c, int button, int shift, double x, double y);
// A double click, at the position of the last press. The press that came
// with it has been handled already.
void DblClick(MapControls& c);
// A wheel event's delta in 120ths of a notch.
void MouseWheel(MapControls& c, int delta);

// --- Operations ------------------------------------------------------------
// A click on the globe at the picked point (negated latitude n, longitude).
void MapLeftClick(MapControls& c, float n, float lambda, double x, double y);
void MapRightClick(MapControls& c, float n, float lambda);
void ShiftLeftClick(MapControls& c, float n, float lambda);
void ShiftRightClick(MapControls& c, float n, float lambda);
void CentreOnMyself(MapControls& c);
// A notification clicked: the client of the shown network with this
// callsign and member id centred, its layer on and its popup open; false
// when it is not in the shown snapshot.
bool ShowClient(MapControls& c, const std::string& callsign, const std::string& memberId, bool atc);
// F2: friends only on or off.
void FriendsToggle(MapControls& c);
// The popup of record `record` of the current network, over whatever
// window is open.
void OpenAtcPopup(MapControls& c, int record);
void OpenPilotPopup(MapControls& c, int record);

// --- List and airport windows ---------------------------------------------------
// Key L and the bottom bar's cell: the list window on the Friends tab.
void OpenListWindow(MapControls& c);
// The list window's rows and page made ready and list 41 compiled.
void BuildList(MapControls& c);
// The airport window of a code, its timetable collected afresh.
void OpenAirportWindow(MapControls& c, const std::string& code);
// A button released over the open list or airport window.
void ListWindowRelease(MapControls& c, double x, double y);
void AirportWindowRelease(MapControls& c, double x, double y);

// --- Pieces, open to the tests -------------------------------------------
// True when (x, y) lies outside the list or airport window's panel.
bool IsOutsidePanel(const MapControls& c, double x, double y);

}  // namespace kestrava
