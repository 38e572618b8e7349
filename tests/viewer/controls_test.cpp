// The map controls without a window: keys, presses, drags, the wheel, the
// pick and its list, popup buttons, right clicks, friends and "myself".
#include "kestrav/map/map_controls.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;

namespace {

class RecordingHost : public ViewerActions {
public:
    explicit RecordingHost(const NetworkModel& model) : model_(model) {}
    void DrawScene() override { ++frames; }
    void BuildStatusLine() override { statuses.push_back(model_.StatusText); }
    void MenuClick(double x, double y) override { calls.push_back("menu " + std::to_string(int(x)) + " " + std::to_string(int(y))); }
    void btnDownload(int n) override { calls.push_back("download " + std::to_string(n)); }
    void ToggleFullScreen() override { calls.push_back("full screen"); }
    void ShowCompanion() override { calls.push_back("companion"); }
    void BuildListWindow() override { calls.push_back("list window"); }
    void BuildAirportWindow() override { calls.push_back("airport window"); }
    void BuildAtcPopup(int n, const AtcClient& a) override { calls.push_back("atc popup " + std::to_string(n) + " " + a.Callsign); }
    void BuildPilotPopup(int n, const PilotClient& p) override { calls.push_back("pilot popup " + std::to_string(n) + " " + p.Callsign); }
    void BuildSelectionList(const PickState& pick) override { calls.push_back("pick list " + std::to_string(pick.Count())); }
    void BuildRouteHighlight(const PilotClient& p) override { calls.push_back("route " + p.Callsign); }
    void BuildAirportRouteHighlight(int, const std::string& code) override { calls.push_back("airport route " + code); }
    void ClearRouteHighlight() override { calls.push_back("clear route"); }
    void BuildNetworkScene(int n) override { calls.push_back("scene " + std::to_string(n)); }
    bool OpenUrl(const std::string& url) override {
        calls.push_back("open " + url);
        return true;
    }
    std::string Last() const { return calls.empty() ? "" : calls.back(); }
    std::vector<std::string> calls, statuses;
    int frames = 0;

private:
    const NetworkModel& model_;
};

constexpr double kP = 15;  // twips per pixel
constexpr double kW = 800 * kP, kH = 600 * kP;

struct Controls : ::testing::Test {
    NetworkModel model;
    Settings config;
    Camera view{10, -50, 16};  // 50N 10E at the centre
    OverlayState overlay;
    MapSwitches switches;
    SceneState scenes;
    InputState input;
    PanelState panel;
    RecordingHost host{model};
    MapControls c{model, config, view, overlay, switches, scenes, input, panel, host, kW, kH, kP};

    void SetUp() override {
        model.ClientTotal[0] = 10;
        model.Networks[0].UpdateStamp = "20261208123000";
    }
    PilotClient& Pilot(const std::string& call, float lat, float lon, const std::string& id = "") {
        Snapshot& s = model.Networks[0];
        PilotClient& p = s.Pilots[static_cast<size_t>(s.PilotCount++)];
        p = PilotClient{};
        p.Callsign = call;
        p.MemberId = id.empty() ? call : id;
        p.RealName = "Name of " + call;
        p.Latitude = lat;
        p.Longitude = lon;
        return p;
    }
    AtcClient& Atc(const std::string& call, float lat, float lon, int facility = 4) {
        Snapshot& s = model.Networks[0];
        AtcClient& a = s.AtcClients[static_cast<size_t>(s.AtcCount++)];
        a = AtcClient{};
        a.Callsign = call;
        a.MemberId = call;
        a.Facility = static_cast<FacilityKind>(facility);
        a.Latitude = lat;
        a.Longitude = lon;
        return a;
    }
    // A press and release without a move, x and y in pixels.
    void Click(double x, double y, int button = kLeftButton, int shift = 0) {
        MouseDown(c, button, shift, x * kP, y * kP);
        MouseUp(c, button, shift, x * kP, y * kP);
    }
};

}  // namespace

TEST_F(Controls, HeldKeysTurnAndZoomOnlyOnThePlainMap) {
    view = Camera{0, 0, 2};
    KeyDown(c, keys::kUp, 0);
    EXPECT_FLOAT_EQ(view.Tilt, -2.5f);  // 2.5 degrees further north
    KeyDown(c, keys::kRight, kCtrlMask);
    EXPECT_FLOAT_EQ(view.Spin, 2.5f);
    for (int i = 0; i < 3; ++i) KeyDown(c, keys::kF11, 0);
    EXPECT_NEAR(view.Zoom, 2 * 1.331f, 1e-5);
    KeyDown(c, keys::kF12, kShiftMask);  // Shift alone: nothing
    overlay.OverlayMode = OverlayKind::Popup;
    KeyDown(c, keys::kF12, 0);
    EXPECT_NEAR(view.Zoom, 2 * 1.331f, 1e-5);
    EXPECT_EQ(host.frames, 5);
}

TEST_F(Controls, ViewsAreStoredWithShiftAndRestoredWithOrWithoutCtrl) {
    view = Camera{12, -34, 5};
    KeyUp(c, '1', kShiftMask);
    EXPECT_FLOAT_EQ(config.Views[0].X, 12);
    EXPECT_FLOAT_EQ(config.Views[0].Z, 5);
    EXPECT_EQ(model.StatusText, "Current view stored as View 1");
    view = Camera{};
    KeyUp(c, '1', 0);
    EXPECT_FLOAT_EQ(view.Tilt, -34);
    EXPECT_EQ(model.StatusText, "View 1 restored");
    view = Camera{};
    KeyUp(c, '1', kCtrlMask);
    EXPECT_FLOAT_EQ(view.Spin, 12);
    KeyUp(c, '3', 0);
    EXPECT_FLOAT_EQ(view.Zoom, config.Views[2].Z);
    EXPECT_EQ(model.StatusText, "View 3 restored");
}

TEST_F(Controls, KeyGroupsStopWithoutDataAndInTheComparisonView) {
    model.ClientTotal[0] = 0;
    for (int key : {keys::kF1, keys::kF4, keys::kF5, keys::kF6, int('L'), keys::kF2, keys::kF3, int('4')})
        KeyUp(c, key, 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(config.Layers.ShowPlaneLabels && config.Layers.ShowAirportLabels && !config.Layers.ShowInbounds);
    KeyUp(c, 'G', 0);
    KeyUp(c, 'C', 0);
    KeyUp(c, 'I', 0);
    KeyUp(c, 'V', kShiftMask);
    KeyUp(c, 'B', 0);
    EXPECT_FALSE(config.Layers.ShowLatLon);
    EXPECT_FALSE(switches.CountriesShown);
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"Lat/Lon grid toggle", "Country borders toggle"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"download 0", "download 1", "download 2"}));
    // Borders locked off: C only redraws.
    config.DisableCountries = true;
    KeyUp(c, 'C', 0);
    EXPECT_FALSE(switches.CountriesShown);

    model.ClientTotal[1] = 5;
    model.CurrentNetwork = kMerged;
    host.calls.clear();
    KeyUp(c, keys::kF3, 0);
    KeyUp(c, 'L', 0);
    KeyUp(c, keys::kF5, kShiftMask);  // before the comparison stop: works
    EXPECT_FALSE(config.Layers.ShowInbounds);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(config.Layers.ShowATC);
}

TEST_F(Controls, LayerKeysToggleAndAlwaysRedraw) {
    config.Layers.ShowPlaneLabels = config.Layers.ShowATCLabels = false;
    KeyUp(c, keys::kF1, 0);  // only airport labels on: all off
    EXPECT_FALSE(config.Layers.ShowAirportLabels);
    KeyUp(c, keys::kF1, 0);
    EXPECT_TRUE(config.Layers.ShowPlaneLabels && config.Layers.ShowATCLabels && config.Layers.ShowAirportLabels);
    const int frames = host.frames;
    KeyUp(c, keys::kF1, kCtrlMask);  // with a modifier: nothing at all
    EXPECT_EQ(host.frames, frames);

    config.Layers.ShowAirports = false;
    KeyUp(c, keys::kF4, 0);  // airports hidden: no change, but a frame
    EXPECT_TRUE(config.Layers.ShowAirportLabels);
    EXPECT_EQ(host.frames, frames + 1);
    KeyUp(c, keys::kF4, kShiftMask);
    EXPECT_TRUE(config.Layers.ShowAirports);
    EXPECT_EQ(model.StatusText, "Airport display toggle");
    KeyUp(c, keys::kF5, 0);
    EXPECT_FALSE(config.Layers.ShowATCLabels);
    EXPECT_EQ(model.StatusText, "ATC labels toggle");
    KeyUp(c, keys::kF6, kShiftMask);
    EXPECT_FALSE(config.Layers.ShowPlanes);
    EXPECT_EQ(host.Last(), "clear route");
    KeyUp(c, keys::kF3, 0);
    EXPECT_TRUE(config.Layers.ShowInbounds);
    EXPECT_EQ(model.StatusText, "Inbounds toggle");
}

TEST_F(Controls, SpaceAndEscWorkOverOverlaysButNothingDuringStartUp) {
    overlay.OverlayMode = OverlayKind::Popup;
    KeyUp(c, 'G', 0);
    EXPECT_TRUE(config.Layers.ShowLatLon);
    KeyUp(c, keys::kSpace, kCtrlMask);
    EXPECT_EQ(host.Last(), "companion");
    KeyUp(c, keys::kEscape, 0);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
    overlay.OverlayMode = OverlayKind::StartUp;
    KeyUp(c, keys::kEscape, 0);
    KeyUp(c, keys::kSpace, 0);
    KeyUp(c, 'I', 0);
    Click(300, 300);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::StartUp);
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(Controls, DragsTurnAndZoomFromThePressAndEndWhereverReleased) {
    view = Camera{10, -50, 4};
    MouseDown(c, kLeftButton, 0, 400 * kP, 300 * kP);
    MouseMove(c, 400 * kP - 200, 300 * kP + 100);
    EXPECT_FLOAT_EQ(view.Spin, 10 + 2.0f / 2);  // 200 twips at zoom 4: one degree
    EXPECT_FLOAT_EQ(view.Tilt, -50 - 1.0f / 2);
    MouseMove(c, 400 * kP, 300 * kP);
    EXPECT_FLOAT_EQ(view.Spin, 10);
    // Released over the caption bar (or above the window): the drag is over.
    MouseMove(c, 400 * kP + 300, 300 * kP);
    MouseUp(c, kLeftButton, 0, 400 * kP, -30 * kP);
    const Camera after = view;
    MouseMove(c, 100 * kP, 100 * kP);
    EXPECT_FLOAT_EQ(view.Spin, after.Spin);
    // Right drag: up by 2000 twips doubles the zoom.
    MouseDown(c, kRightButton, 0, 400 * kP, 300 * kP);
    MouseMove(c, 400 * kP, 300 * kP - 2000);
    EXPECT_FLOAT_EQ(view.Zoom, 8);
    MouseUp(c, kRightButton, 0, 400 * kP, 300 * kP - 2000);
    EXPECT_TRUE(host.calls.empty()) << "a drag is no click";
}

TEST_F(Controls, WheelStepsOncePerEventAndAddsUpTouchpadDeltas) {
    view.Zoom = 6;
    MouseWheel(c, -240);
    EXPECT_FLOAT_EQ(view.Zoom, 5);
    MouseWheel(c, 120);
    EXPECT_FLOAT_EQ(view.Zoom, 6);
    for (int i = 0; i < 5; ++i) MouseWheel(c, 40);
    EXPECT_FLOAT_EQ(view.Zoom, 7.2f);  // 200 of 120: one step, 80 pending
    MouseWheel(c, -40);                // the other way: starts afresh
    MouseWheel(c, -40);
    EXPECT_FLOAT_EQ(view.Zoom, 7.2f);
    overlay.OverlayMode = OverlayKind::ListWindow;
    MouseWheel(c, 120);
    EXPECT_FLOAT_EQ(view.Zoom, 7.2f);
}

TEST_F(Controls, BarsTakeLeftPressesFirstAndACaptionDoubleClickGoesFullScreen) {
    overlay.OverlayMode = OverlayKind::Popup;
    MouseDown(c, kLeftButton, 0, 30 * kP, 595 * kP);
    MouseDown(c, kRightButton, 0, 30 * kP, 5 * kP);
    EXPECT_EQ(host.calls, std::vector<std::string>{"menu 450 8925"});
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Popup);
    DblClick(c);  // at the last press: the caption, left of its buttons
    EXPECT_EQ(host.Last(), "full screen");
    MouseDown(c, kLeftButton, 0, 750 * kP, 5 * kP);
    DblClick(c);  // on the buttons: nothing more
    MouseDown(c, kLeftButton, 0, 300 * kP, 300 * kP);
    DblClick(c);
    EXPECT_EQ(host.calls.size(), 3u);
}

TEST_F(Controls, AClickPicksControllersWithinTwiceTheRadiusAndPilotsWithin) {
    // At zoom 16, R = 20 / 16^0.3 = 8.71 nm; 0.1 degree of latitude is 6 nm.
    Atc("EDDF_TWR", 50.25f, 10);  // 15 nm: within 2R
    Pilot("NEAR1", 50.1f, 10);    // 6 nm
    Pilot("FAR1", 50.2f, 10);     // 12 nm: beyond R
    Click(401, 300);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::PickList);
    EXPECT_EQ(host.Last(), "pick list 2");
    EXPECT_EQ(input.Pick.PickAtc[0].Callsign, "EDDF_TWR");
    EXPECT_EQ(input.Pick.PickPilots[0].Callsign, "NEAR1");
    // ATC hidden: the one pilot opens its popup at once.
    overlay.OverlayMode = OverlayKind::Map;
    config.Layers.ShowATC = false;
    Click(401, 300);
    EXPECT_EQ(host.Last(), "pilot popup 0 NEAR1");
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Popup);
    EXPECT_EQ(overlay.PopupKind, 1);
    // Only the controller: its popup; friends-only hides strangers.
    overlay.OverlayMode = OverlayKind::Map;
    config.Layers.ShowATC = true;
    config.Layers.ShowPlanes = false;
    Click(401, 300);
    EXPECT_EQ(host.Last(), "atc popup 0 EDDF_TWR");
    EXPECT_EQ(overlay.PopupKind, 0);
    overlay.OverlayMode = OverlayKind::Map;
    switches.FriendsOnly = true;
    host.calls.clear();
    Click(401, 300);
    EXPECT_TRUE(host.calls.empty());
    // Nothing in the comparison view.
    switches.FriendsOnly = false;
    model.CurrentNetwork = kMerged;
    Click(401, 300);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
}

TEST_F(Controls, TheNearestFiveOfManyCandidatesAreKept) {
    for (int i = 0; i < 60; ++i) Pilot("P" + std::to_string(i), 50.05f + 0.001f * static_cast<float>(59 - i), 10);
    Pilot("NEAREST", 50.0f, 10.001f);
    const PickState pick = PickClients(model, 0, config, false, -50, 10, 16);
    ASSERT_EQ(pick.PickPilots.size(), 5u);
    EXPECT_EQ(pick.PickPilots[0].Callsign, "NEAREST");
    EXPECT_EQ(pick.PickPilots[1].Callsign, "P59");
    EXPECT_EQ(pick.PickPilots[4].Callsign, "P56");
    // Across the date line the short way round is the near one.
    EXPECT_NEAR(PickDistance(0, 179.9f, 0, -179.9f), 0.2f, 1e-4);
}

TEST_F(Controls, ThePickListHangsBelowTheClickInsideTheWindow) {
    PickBox box = PickBoxAt(3, 100 * kP, 100 * kP, kW, kH, kP);
    EXPECT_FLOAT_EQ(box.Left, -300);
    EXPECT_FLOAT_EQ(box.Height, 40);
    EXPECT_FLOAT_EQ(box.Bottom, 200 - 40);
    box = PickBoxAt(10, 790 * kP, 590 * kP, kW, kH, kP);
    EXPECT_FLOAT_EQ(box.Left, 400 - 187 - 1);  // kept off the right edge
    EXPECT_FLOAT_EQ(box.Bottom, -300 + 20);    // and above the bottom bar
}

TEST_F(Controls, EachRowOfASevenRowListOpensItsClient) {
    for (int i = 0; i < 5; ++i) Atc("ATC" + std::to_string(i), 50 + 0.01f * static_cast<float>(i + 1), 10);
    Pilot("PIL0", 50.01f, 10);
    Pilot("PIL1", 50.02f, 10);
    Click(401, 300);
    ASSERT_EQ(host.Last(), "pick list 7");
    const PickBox box = input.Pick.Box;
    const std::vector<std::string> expected{"atc popup 0 ATC0", "atc popup 0 ATC1", "atc popup 0 ATC2",
                                            "atc popup 0 ATC3", "atc popup 0 ATC4", "pilot popup 0 PIL0",
                                            "pilot popup 0 PIL1"};
    for (int k = 1; k <= 7; ++k) {
        overlay.OverlayMode = OverlayKind::PickList;
        const double py = PickRowBaseline(box, k) + 4;  // in the middle of the row's text
        Click(400 + box.Left + 50, 300 - py);
        EXPECT_EQ(host.Last(), expected[static_cast<size_t>(k - 1)]) << "row " << k;
        EXPECT_EQ(overlay.OverlayMode, OverlayKind::Popup);
    }
    // A press outside the list closes it and starts a drag.
    overlay.OverlayMode = OverlayKind::PickList;
    MouseDown(c, kLeftButton, 0, 10 * kP, 300 * kP);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
    EXPECT_TRUE(input.DragRotate);
}

TEST_F(Controls, PopupButtonsCentreBefriendAndOpenTheProfile) {
    Pilot("DLH1", 47.5f, 19.25f, "123456");
    model.Networks[0].ProfileUrl = "https://example.invalid/profile";
    OpenPilotPopup(c, 0);
    ASSERT_EQ(overlay.OverlayMode, OverlayKind::Popup);
    const double buttons = 300 + 235;  // the pilot popup's button row
    Click(400, buttons);               // the friend button
    EXPECT_TRUE(model.Friends.Has("123456"));
    EXPECT_EQ(model.StatusText, "Name of DLH1 (123456) added to friends list");
    EXPECT_EQ(host.Last(), "pilot popup 0 DLH1") << "rebuilt with its new caption";
    Click(400, buttons);
    EXPECT_TRUE(model.Friends.Empty());
    EXPECT_EQ(model.StatusText, "Name of DLH1 (123456) removed from friends list");
    Click(400 + 100, buttons);
    EXPECT_EQ(host.Last(), "open https://example.invalid/profile?ID=123456");
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Popup);
    Click(400 - 100, buttons);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
    EXPECT_FLOAT_EQ(view.Tilt, -47.5f);
    EXPECT_FLOAT_EQ(view.Spin, 19.25f);
    EXPECT_FLOAT_EQ(view.Zoom, 16);
    EXPECT_EQ(model.StatusText, "Centered on DLH1");
}

TEST_F(Controls, TheCloseBoxsReleaseStartsNoPickAndAPressOutsideMayDrag) {
    Pilot("DLH1", 50, 10);
    OpenPilotPopup(c, 0);
    host.calls.clear();
    Click(400 + 120, 300 - 235);  // the cross, top right
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
    EXPECT_EQ(overlay.PopupKind, 0);
    EXPECT_TRUE(host.calls.empty()) << "the release opened nothing";
    OpenPilotPopup(c, 0);
    MouseDown(c, kLeftButton, 0, 100 * kP, 300 * kP);  // outside the popup
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::Map);
    EXPECT_TRUE(input.DragRotate);
}

TEST_F(Controls, ProfilesOpenOnlyWebAddressesWithTheIdEncoded) {
    EXPECT_EQ(ProfileAddress("http://x.invalid/p", "12 3&x"), "http://x.invalid/p?ID=12%203%26x");
    EXPECT_EQ(ProfileAddress("file:///etc/passwd", "1"), "");
    EXPECT_EQ(ProfileAddress("", "1"), "");
    EXPECT_EQ(ProfileAddress("https://x.invalid", ""), "");
    Pilot("DLH1", 50, 10, "123456");
    model.Networks[0].ProfileUrl = "javascript:alert(1)";
    OpenPilotPopup(c, 0);
    Click(400 + 100, 300 + 235);
    EXPECT_EQ(model.StatusText, "Could not open profile of 123456");
    EXPECT_EQ(host.Last(), "pilot popup 0 DLH1");
    // No member id: nobody becomes a friend.
    model.Networks[0].Pilots[0].MemberId.clear();
    OpenPilotPopup(c, 0);
    Click(400, 300 + 235);
    EXPECT_TRUE(model.Friends.Empty());
}

TEST_F(Controls, RightClicksHighlightTheNearestPilotOrAirport) {
    PilotClient& p = Pilot("DLH1", 50.05f, 10);  // 3 nm; the limit at zoom 16 is 5 nm
    p.Departure = "NULL";                         // an unknown airport at 0, 0
    p.Destination = "EDDF";
    p.DestLatitude = 50.07f;
    p.DestLongitude = 10;
    Click(401, 300, kRightButton);
    EXPECT_EQ(host.Last(), "route DLH1");
    Click(401, 300, kRightButton, kShiftMask);
    EXPECT_EQ(host.Last(), "airport route EDDF");
    view = Camera{0, 0, 16};  // over 0, 0: the unknown airport is no match
    Click(401, 300, kRightButton, kCtrlMask);
    EXPECT_EQ(host.Last(), "clear route");
    Click(401, 300, kRightButton);
    EXPECT_EQ(host.Last(), "clear route");
}

TEST_F(Controls, ShiftClickOpensTheNearestAirportsWindow) {
    PilotClient& p = Pilot("DLH1", 48, 12);
    p.Departure = "EDDF";
    p.DepLatitude = 50.05f;
    p.DepLongitude = 10;
    Click(401, 300, kLeftButton, kShiftMask);
    EXPECT_EQ(host.Last(), "airport window");
    EXPECT_EQ(panel.Airport, "EDDF");
    EXPECT_EQ(panel.OutboundCount, 1);
    EXPECT_EQ(overlay.OverlayMode, OverlayKind::AirportWindow);
    EXPECT_EQ(overlay.PanelTab, 0);
}

TEST_F(Controls, CentreOnMyselfFollowsTheLastMatch) {
    config.UserIds[0] = "111";
    config.Layers.ShowATC = config.Layers.ShowPlanes = false;
    Atc("ME_OBS", 40, 5, 0).MemberId = "111";
    Pilot("ME1", 30, 20, "111");
    KeyUp(c, '4', 0);
    EXPECT_FLOAT_EQ(view.Tilt, -30);
    EXPECT_FLOAT_EQ(view.Spin, 20);
    EXPECT_TRUE(config.Layers.ShowATC && config.Layers.ShowPlanes);
    EXPECT_EQ(model.StatusText, "Centered on myself (ME1)");
    config.UserIds[0] = "999";  // not online: nothing at all
    view = Camera{};
    CentreOnMyself(c);
    EXPECT_FLOAT_EQ(view.Zoom, 1);
}

TEST_F(Controls, FriendsOnlyCountsFriendsAndComesOffAfterTheLastIsRemoved) {
    KeyUp(c, keys::kF2, 0);  // no friends at all: F2 does nothing
    EXPECT_TRUE(host.statuses.empty());
    model.Friends.Add("777");
    KeyUp(c, keys::kF2, 0);
    EXPECT_EQ(model.StatusText, "No friends online");
    EXPECT_FALSE(switches.FriendsOnly);
    Pilot("F1", 50, 10, "777");
    Atc("F_OBS", 50, 10, 0).MemberId = "777";
    scenes.SceneBuilt = {true, true, true};
    KeyUp(c, keys::kF2, 0);
    EXPECT_EQ(model.StatusText, "Friends toggle (2 online)");
    EXPECT_TRUE(switches.FriendsOnly);
    EXPECT_EQ(host.Last(), "scene 0");
    EXPECT_FALSE(scenes.SceneBuilt[0] || scenes.SceneBuilt[1]) << "both networks' lists are stale";
    model.Friends.Remove("777");
    KeyUp(c, keys::kF2, 0);
    EXPECT_FALSE(switches.FriendsOnly);
    EXPECT_EQ(host.statuses.back(), "Friends toggle");
}

TEST_F(Controls, PressesBeyondSixteenBitsOfTwipsStillWork) {
    const double wide = 3000 * kP;  // 45000 twips
    MapControls big{model, config, view, overlay, switches, scenes, input, panel, host, wide, kH, kP};
    view = Camera{0, 0, 1};
    MouseDown(big, kLeftButton, 0, 2800 * kP, 300 * kP);
    EXPECT_EQ(input.Press.X0, 42000);
    MouseMove(big, 2800 * kP - 100, 300 * kP);
    EXPECT_FLOAT_EQ(view.Spin, 1);
}
