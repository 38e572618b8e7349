// The overlays' timings: the pick, the popups, the list window and the
// airport window on a network at full capacity.
#include "bench_window.h"

#include "formats/text.h"
#include "kestrav/render/panel_rows.h"
#include "kestrav/render/picking.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

namespace benchsupport {

namespace {

// The sort as first written: for i, for j from the end down to i + 1, swap
// neighbours whose keys are out of order. Kept to compare against.
void QuadraticSort(std::vector<std::string>& rows, size_t from) {
    const auto key = [from](const std::string& row) { return kestrava::ToUpper(row.substr(from, 31)); };
    for (size_t i = 0; i < rows.size(); ++i)
        for (size_t j = rows.size() - 1; j > i; --j)
            if (key(rows[j]) < key(rows[j - 1])) std::swap(rows[j], rows[j - 1]);
}

}  // namespace

// The pick, the popups and a frame with a popup open, on IVAO at full
// capacity.
void MeasureControls(TimedWindow& window) {
    kestrava::NetworkModel& model = window.State().Model;
    model.CurrentNetwork = kestrava::kIvao;
    // Every record near the click: 1400 pilots and 700 controllers within a
    // few miles of 50N 8E.
    kestrava::NetworkModel near;
    near.Networks[0] = model.Networks[0];
    kestrava::Snapshot& s = near.Networks[0];
    for (int i = 0; i < s.PilotCount; ++i) {
        s.Pilots[static_cast<size_t>(i)].Latitude = 50 + 0.001f * static_cast<float>(i % 40);
        s.Pilots[static_cast<size_t>(i)].Longitude = 8 + 0.001f * static_cast<float>(i / 40);
    }
    for (int i = 0; i < s.AtcCount; ++i) {
        s.AtcClients[static_cast<size_t>(i)].Latitude = 50 - 0.001f * static_cast<float>(i % 40);
        s.AtcClients[static_cast<size_t>(i)].Longitude = 8 + 0.001f * static_cast<float>(i / 40);
        s.AtcClients[static_cast<size_t>(i)].Facility = kestrava::FacilityKind::Tower;
    }
    std::vector<double> picks;
    kestrava::PickState pick;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        pick = kestrava::PickClients(near, 0, window.State().Config, false, -50.02f, 8.02f, 1);
        picks.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("pick at full capacity (%d pilots, %d controllers near the click, %d kept): median %.3f ms, "
                "worst %.3f ms (200 picks)\n", s.PilotCount, s.AtcCount, pick.Count(), Median(picks),
                *std::max_element(picks.begin(), picks.end()));

    // Popups with a 400-character route and a 12-line ATIS, built and
    // compiled into list 40.
    kestrava::PilotClient pilot = model.Networks[0].Pilots[0];
    pilot.Route.clear();
    while (pilot.Route.size() < 400) pilot.Route += "DCT WAYPT" + std::to_string(pilot.Route.size()) + " ";
    kestrava::AtcClient atc = model.Networks[0].AtcClients[0];
    atc.AtisText = "eu2.ts.ivao.aero/" + atc.Callsign;
    for (int i = 0; i < 12; ++i) atc.AtisText += "^\xA7" "ATIS line " + std::to_string(i) + " with some text in it";
    std::vector<double> pilotMs, atcMs;
    for (int i = 0; i < 100; ++i) {
        pilotMs.push_back(Milliseconds([&] { window.BuildPilotPopup(0, pilot); }));
        atcMs.push_back(Milliseconds([&] { window.BuildAtcPopup(0, atc); }));
    }
    std::printf("pilot popup built and compiled: median %.3f ms, worst %.3f ms; controller popup: median %.3f ms, "
                "worst %.3f ms (100 each)\n", Median(pilotMs), *std::max_element(pilotMs.begin(), pilotMs.end()),
                Median(atcMs), *std::max_element(atcMs.begin(), atcMs.end()));

    // A drag step (camera change and frame) with the pilot popup open,
    // against the same step without overlay; rounds alternated.
    window.BuildPilotPopup(0, pilot);
    window.State().View = kestrava::Camera{13.34f, -54.15f, 1.49f};
    window.DrawScene();
    std::vector<double> plain, withPopup;
    for (int round = 0; round < 7; ++round) {
        for (int overlay : {0, 2}) {
            window.State().Overlay.OverlayMode = static_cast<kestrava::OverlayKind>(overlay);
            double ms = 0;
            for (int i = 0; i < 3; ++i) {
                window.State().View.Spin += 0.2f;
                ms += Milliseconds([&] { window.DrawScene(); });
            }
            (overlay ? withPopup : plain).push_back(ms / 3);
        }
    }
    window.State().Overlay.OverlayMode = kestrava::OverlayKind::Map;
    std::printf("drag step, IVAO at full capacity, %dx%d: %.1f ms with the pilot popup open, %.1f ms without "
                "(medians of 7 alternated rounds): ratio %.3f\n", window.PixelWidth(), window.PixelHeight(),
                Median(withPopup), Median(plain), Median(withPopup) / Median(plain));
}

// The list window and the airport window on IVAO at full capacity, every
// client a friend.
void MeasurePanels(TimedWindow& window) {
    kestrava::NetworkModel& model = window.State().Model;
    model.CurrentNetwork = kestrava::kIvao;
    kestrava::Snapshot& s = model.Networks[0];
    for (int i = 0; i < s.PilotCount; ++i) model.Friends.Add(s.Pilots[static_cast<size_t>(i)].MemberId);
    for (int i = 0; i < s.AtcCount; ++i) model.Friends.Add(s.AtcClients[static_cast<size_t>(i)].MemberId);
    const char* tabs[] = {"Friends", "Controllers", "Pilots", "Observers"};
    std::vector<std::string> friends;
    for (int tab = 0; tab < 4; ++tab) {
        std::vector<double> ms;
        size_t rows = 0;
        for (int i = 0; i < 20; ++i) {
            const auto start = std::chrono::steady_clock::now();
            std::vector<std::string> built = kestrava::TabRows(model, 0, tab);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            rows = built.size();
            if (tab == kestrava::kFriendsTab) friends = std::move(built);
        }
        std::printf("%s tab, %zu rows built: median %.2f ms\n", tabs[tab], rows, Median(ms));
    }
    std::vector<double> sorted, quadratic;
    for (int i = 0; i < 5; ++i) {
        std::vector<std::string> a = friends, b = friends;
        sorted.push_back(Milliseconds([&] { kestrava::SortRows(a, kestrava::kFriendsTab); }));
        quadratic.push_back(Milliseconds([&] { QuadraticSort(b, 14); }));
        if (a != b) std::printf("the two sorts differ!\n");
    }
    std::printf("header sort of %zu rows: median %.2f ms; the quadratic loop %.0f ms (%.0f times as long)\n",
                friends.size(), Median(sorted), Median(quadratic), Median(quadratic) / Median(sorted));

    kestrava::MapControls controls = window.Controls();
    std::vector<double> page;
    for (int i = 0; i < 20; ++i) {
        window.State().Overlay.OverlayMode = kestrava::OverlayKind::Map;
        kestrava::OpenListWindow(controls);
        window.State().Overlay.ListPage = 20;
        page.push_back(Milliseconds([&] { kestrava::BuildList(controls); }));
    }
    std::printf("a page of the Friends tab compiled into list 41 at %dx%d: median %.2f ms\n", window.PixelWidth(),
                window.PixelHeight(), Median(page));
    std::vector<double> plain, withList, listKept;
    for (int round = 0; round < 7; ++round) {
        window.FullFrames = true;
        for (int overlay : {0, 5}) {
            window.State().Overlay.OverlayMode = static_cast<kestrava::OverlayKind>(overlay);
            (overlay ? withList : plain).push_back(Milliseconds([&] { window.DrawScene(); }));
        }
        window.FullFrames = false;
        listKept.push_back(Milliseconds([&] { window.DrawScene(); }));
    }
    std::printf("frame with the list window open: %.1f ms, without: %.1f ms (medians of 7 alternated): ratio %.3f; "
                "a page turned over the kept globe: %.1f ms\n",
                Median(withList), Median(plain), Median(withList) / Median(plain), Median(listKept));

    // One airport for every pilot: all inbound within 100 nm of it.
    const std::string code = s.Pilots[0].Destination;
    for (int i = 0; i < s.PilotCount; ++i) {
        kestrava::PilotClient& p = s.Pilots[static_cast<size_t>(i)];
        p.Destination = code;
        p.DestLatitude = 50;
        p.DestLongitude = 8;
        p.Latitude = 50 + 0.01f * static_cast<float>(i % 100);
        p.Longitude = 8 + 0.01f * static_cast<float>(i / 100);
        p.GroundSpeed = 300;
    }
    std::vector<double> timetable;
    for (int i = 0; i < 20; ++i) {
        window.State().Panel.Rows = kestrava::AirportPanelRows(window.PixelHeight());
        window.State().Panel.Airport = code;
        timetable.push_back(Milliseconds([&] { kestrava::BuildTimetable(window.State().Panel, model, 0, code); }));
    }
    std::printf("timetable of %s over %d pilots (%d inbound): median %.2f ms\n", code.c_str(), s.PilotCount,
                window.State().Panel.InboundCount, Median(timetable));
    window.State().Overlay.PanelTab = kestrava::kRadarTab;
    std::vector<double> radar;
    for (int i = 0; i < 10; ++i) radar.push_back(Milliseconds([&] { window.BuildAirportWindow(); }));
    std::printf("radar of %zu aircraft compiled: median %.2f ms\n",
                kestrava::RadarBlips(model, 0, code, 300).size(), Median(radar));
    // Compiled and shown: the first frame over the kept globe draws what the
    // compilation left to it.
    window.State().Overlay.OverlayMode = kestrava::OverlayKind::AirportWindow;
    window.DrawScene();
    std::vector<double> shown;
    for (int i = 0; i < 10; ++i)
        shown.push_back(Milliseconds([&] {
            window.BuildAirportWindow();
            window.DrawScene();
            glFinish();
        }));
    std::printf("radar compiled and its first frame drawn over the kept globe: median %.2f ms\n", Median(shown));
    std::vector<double> noPanel, withAirport, airportKept;
    for (int round = 0; round < 7; ++round) {
        window.FullFrames = true;
        for (int overlay : {0, 3}) {
            window.State().Overlay.OverlayMode = static_cast<kestrava::OverlayKind>(overlay);
            (overlay ? withAirport : noPanel).push_back(Milliseconds([&] { window.DrawScene(); }));
        }
        window.FullFrames = false;
        airportKept.push_back(Milliseconds([&] { window.DrawScene(); }));
    }
    std::printf("frame with the airport window's radar open: %.1f ms, without: %.1f ms: ratio %.3f; "
                "over the kept globe: %.1f ms\n",
                Median(withAirport), Median(noPanel), Median(withAirport) / Median(noPanel), Median(airportKept));
    window.State().Overlay.OverlayMode = kestrava::OverlayKind::Map;
}

}  // namespace benchsupport
