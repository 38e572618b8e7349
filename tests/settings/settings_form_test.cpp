// The settings editor's form without its window: what the controls show and
// how their contents are read back.
#include "formats/ini_file.h"
#include "settings/settings_form.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

using namespace kestrava;

namespace {

Settings Loaded(const std::string& text) {
    IniFile ini;
    ini.LoadText(text);
    return ReadEditorSettings(ini);
}

}  // namespace

TEST(SettingsForm, TypedNumbersRoundHalfToEvenAndAreRefusedWhenNoNumberOrBeyond16Bits) {
    int value = 0;
    EXPECT_EQ(ReadTypedNumber("7.5", value), TypedNumber::Valid);
    EXPECT_EQ(value, 8);
    EXPECT_EQ(ReadTypedNumber(" 6.5 ", value), TypedNumber::Valid);
    EXPECT_EQ(value, 6);
    EXPECT_EQ(ReadTypedNumber("-32768", value), TypedNumber::Valid);
    EXPECT_EQ(value, -32768);
    EXPECT_EQ(ReadTypedNumber("1e2", value), TypedNumber::Valid);
    EXPECT_EQ(value, 100);
    for (const char* text : {"", "abc", "12abc", "1,5", ".", "-", "1e"})
        EXPECT_EQ(ReadTypedNumber(text, value), TypedNumber::NotANumber) << text;
    for (const char* text : {"32767.5", "40000", "-32769", "1e400"})
        EXPECT_EQ(ReadTypedNumber(text, value), TypedNumber::OutOfRange) << text;
}

TEST(SettingsForm, ShowsTheLoadedValuesAndReadsTypedOnesBack) {
    Settings edited = Loaded("[Network]\r\nDownloadMinutes=45\r\nProxy=me:p\xE4ss@host:8080\r\nLiveSeconds=5\r\n"
                             "[Map]\r\nShowPlanes=2\r\nShowActualHeading=1\r\n");
    SettingsForm form = FormFromSettings(edited);
    EXPECT_EQ(form.Interval, "45");
    // Live refresh is shown as the viewer takes it: 5 seconds is held to 15.
    EXPECT_EQ(form.Live, "Live refresh: every 15 seconds");
    EXPECT_EQ(FormFromSettings(Loaded("[Network]\r\nLiveSeconds=-3\r\n")).Live, "Live refresh: off");
    EXPECT_EQ(FormFromSettings(Loaded("[Network]\r\nLiveSeconds=9000\r\n")).Live, "Live refresh: every 600 seconds");
    EXPECT_EQ(form.Proxy, "me:p\xC3\xA4ss@host:8080");  // Windows-1252 shown as UTF-8
    EXPECT_TRUE(form.Checked.at("chkP"));
    EXPECT_EQ(form.Heading, 1);

    form.Interval = "7.5";
    form.Timeout = "6.5";
    form.Checked["chkP"] = false;
    form.Checked["chkInb"] = true;
    form.Heading = 0;
    form.IvaoId = "caf\xC3\xA9";
    std::string refusal;
    ASSERT_TRUE(SettingsFromForm(form, edited, refusal)) << refusal;
    EXPECT_EQ(edited.DownloadMinutes, 8);
    EXPECT_EQ(edited.Timeout, 6);
    EXPECT_FALSE(edited.Layers.ShowPlanes);
    EXPECT_TRUE(edited.Layers.ShowInbounds);
    EXPECT_FALSE(edited.Layers.ShowActualHeading);
    EXPECT_EQ(edited.UserIds[0], "caf\xE9");
    EXPECT_EQ(edited.Proxy, "me:p\xE4ss@host:8080");
}

TEST(SettingsForm, AShortProxyShowsAnEmptyBoxAndSavesAsNoProxy) {
    EXPECT_EQ(FormFromSettings(Loaded("[Network]\r\nProxy=0\r\n")).Proxy, "");
    EXPECT_EQ(FormFromSettings(Loaded("[Network]\r\nProxy=x\r\n")).Proxy, "");
    EXPECT_EQ(FormFromSettings(Loaded("")).Proxy, "");
    Settings edited = Loaded("[Network]\r\nProxy=me:pw@old:1\r\n");
    SettingsForm form = FormFromSettings(edited);
    form.Proxy = "x";
    std::string refusal;
    ASSERT_TRUE(SettingsFromForm(form, edited, refusal));
    EXPECT_EQ(edited.Proxy, "0");
}

TEST(SettingsForm, RefusalsNameTheFieldAndChangeNothing) {
    const Settings loaded = Loaded("[User]\r\nIVAO_ID=1\r\n");
    struct Case {
        std::string SettingsForm::*Box;
        const char* Text;
        const char* Field;
    };
    const Case cases[] = {
        {&SettingsForm::Interval, "abc", "Refresh Interval"},
        {&SettingsForm::Timeout, "70000", "Timeout"},
        {&SettingsForm::Proxy, "p\xC5\x82oxy", "Proxy"},           // "ł" is no Windows-1252 character
        {&SettingsForm::IvaoId, "12\n34", "IVAO VID"},
    };
    for (const Case& c : cases) {
        SettingsForm form = FormFromSettings(loaded);
        form.IvaoId = "999";
        form.*c.Box = c.Text;
        Settings edited = loaded;
        std::string refusal;
        EXPECT_FALSE(SettingsFromForm(form, edited, refusal)) << c.Field;
        EXPECT_NE(refusal.find(c.Field), std::string::npos) << refusal;
        EXPECT_EQ(edited.UserIds[0], "1") << c.Field;
    }
}

TEST(SettingsForm, TheSchemeIsTheChosenFilesNameAndItsPlaceIsChecked) {
    EXPECT_EQ(SchemeOfChosenFile("C:\\themes\\dark.dc"), "dark.dc");
    EXPECT_EQ(SchemeOfChosenFile("~/themes/dark.dc"), "dark.dc");
    EXPECT_EQ(SchemeOfChosenFile("dark.dc"), "dark.dc");

    const std::string folder = testsupport::MakeTempFolder("scheme");
    testsupport::WriteFile(folder + "/colours/dark.dc", "[Screen]\r\n");
    testsupport::WriteFile(folder + "/elsewhere/dark.dc", "[Screen]\r\n");
    EXPECT_FALSE(SchemeOutsideViewerColours(folder + "/colours/dark.dc", folder + "/kestrav.ini"));
    EXPECT_FALSE(SchemeOutsideViewerColours(folder + "/elsewhere/../colours/dark.dc", folder + "/kestrav.ini"));
    EXPECT_TRUE(SchemeOutsideViewerColours(folder + "/elsewhere/dark.dc", folder + "/kestrav.ini"));
    EXPECT_TRUE(SchemeOutsideViewerColours(folder + "/colours/dark.dc", folder + "/elsewhere/kestrav.ini"));
}

TEST(SettingsForm, TheIntervalAndTimeOutNameTheirUnitsBesideTheirBoxes) {
    const ControlSpec* frame = FindControl("fraConnection");
    ASSERT_TRUE(frame);
    for (const auto& [box, unit, text] : {std::tuple{"txtInterval", "lblIntervalUnit", "minutes"},
                                          std::tuple{"txtTimeout", "lblTimeoutUnit", "seconds"}}) {
        const ControlSpec* field = FindControl(box);
        const ControlSpec* label = FindControl(unit);
        ASSERT_TRUE(field && label) << box;
        EXPECT_EQ(std::string(label->Text), text);
        EXPECT_EQ(label->Kind, ControlKind::Caption);
        // On the box's row, right of it, inside the Connection frame.
        EXPECT_EQ(label->At.Y, field->At.Y);
        EXPECT_GE(label->At.X, field->At.X + field->At.Width);
        EXPECT_LE(label->At.X + label->At.Width, frame->At.X + frame->At.Width);
    }
}
