// "update sectors" typed into the console of a running viewer, against the
// real VAT-Spy files served from 127.0.0.1 (skipped when they are absent):
// the update runs beside the window, writes the pair and the commit into
// the viewer's data folder, and a second request with the same commit
// fetches nothing more.
#include "network/http_test_server.h"
#include "support/program_process.h"
#include "support/test_support.h"
#include "viewer/crafted_viewer.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <filesystem>

using namespace testsupport;

namespace {

std::string ResponseText(ProgramProcess& p) {
    p.ClickAt(40, 40);
    p.TypeKey(XK_a, kCtrl);
    return p.CopyText();
}

std::string Normalised(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

}  // namespace

TEST(SectorUpdateWindow, TheConsoleStartsTheUpdateAndTheSameCommitIsNotFetchedAgain) {
    const std::string real = KESTRAVA_REALDATA_DIR "/vatspy";
    if (!std::filesystem::exists(real + "/Boundaries.geojson") || !std::filesystem::exists(real + "/VATSpy.dat"))
        GTEST_SKIP() << "no VAT-Spy data in " << real;
    networktest::TestHttpServer server;
    server.Serve("/VATSpy.dat", ReadFile(real + "/VATSpy.dat"));
    server.Serve("/Boundaries.geojson", ReadFile(real + "/Boundaries.geojson"));
    server.Serve("/map_data/", R"({"current_commit_hash":"c0ffee","vatspy_dat_url":")" + server.Url("/VATSpy.dat") +
                                   R"(","fir_boundaries_geojson_url":")" + server.Url("/Boundaries.geojson") + R"("})");
    CraftedViewer v("sector-update-window", "",
                    "SectorDataUrl=" + server.Url("/map_data/") + "\r\nSectorCheckDays=0\r\n");
    ASSERT_TRUE(v.viewer->WaitForWindow("Kestrava", 30));
    Settle();
    ProgramProcess& p = *v.viewer;
    // SectorCheckDays=0: nothing was asked at start-up.
    EXPECT_EQ(server.Requests("/map_data/"), 0);

    ASSERT_TRUE(p.TypeKey(XK_space));
    ASSERT_TRUE(p.WaitForWindow("Kestrava Companion", 10));
    Settle();
    ASSERT_TRUE(p.TypeText("update sectors\n"));
    const std::string hash = v.folder + "/data/sectordata.hash";
    ASSERT_TRUE(WaitFor([&] { return ReadFile(hash) == "c0ffee\n"; }, 30)) << "no update written";
    EXPECT_EQ(server.Requests("/Boundaries.geojson"), 1);
    EXPECT_EQ(server.Requests("/VATSpy.dat"), 1);
    EXPECT_NE(ReadFile(v.folder + "/data/firlist.dat").find("EDGG:"), std::string::npos);
    Settle();

    // The same commit again: the answer is read, nothing more fetched.
    ASSERT_TRUE(p.TypeText("update sectors\n"));
    ASSERT_TRUE(WaitFor([&] { return server.Requests("/map_data/") == 2; }, 20));
    Settle();
    EXPECT_EQ(server.Requests("/Boundaries.geojson"), 1);
    EXPECT_EQ(server.Requests("/VATSpy.dat"), 1);
    const std::string answer = "> update sectors\nUpdating sector data - the status line shows the outcome\n";
    const std::string text = Normalised(ResponseText(p));
    EXPECT_NE(text.find(answer), std::string::npos) << text;
    EXPECT_NE(text.find(answer, text.find(answer) + 1), std::string::npos) << text;

    // The window still answers, and the address is kept when it saves.
    ASSERT_TRUE(p.WaitForWindow("Kestrava", 5));
    const kestrava::IniFile ini = v.Exit();
    EXPECT_EQ(ini.Get("Network", "SectorDataUrl", ""), server.Url("/map_data/"));
    EXPECT_EQ(ini.Get("Network", "SectorCheckDays", ""), "0");
}
