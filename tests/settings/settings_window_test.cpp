// The settings editor end to end: the program started from a copied program
// folder and driven with real X input, its files read back as the viewer
// reads them.
#include "formats/ini_file.h"
#include "formats/settings.h"
#include "formats/viewer_lock.h"
#include "settings/settings_form.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace testsupport;

namespace {

const char* const kTitle = "Kestrava Settings Editor";

// The message of the box with this title (copied with Ctrl+C), which is
// then closed with Enter.
std::string AnswerBox(ProgramProcess& editor, const std::string& title) {
    if (!editor.WaitForWindow(title, 20)) return "<no box titled " + title + ">";
    const std::string text = editor.CopyText();
    editor.TypeKey(XK_Return);
    editor.WaitForWindowGone(title, 5);
    editor.WaitForWindow(kTitle, 10);
    return text;
}

kestrava::Box At(const char* name) { return kestrava::FindControl(name)->At; }

void ClickControl(ProgramProcess& editor, const char* name) {
    const kestrava::Box p = At(name);
    editor.ClickAt(p.X + 8, p.CentreY());
}

void TypeInto(ProgramProcess& editor, const char* name, const std::string& text) {
    ClickControl(editor, name);
    editor.TypeKey(XK_a, kCtrl);
    editor.TypeText(text);
}

// The pixels of the help label.
std::vector<std::uint32_t> HelpPixels(ProgramProcess& editor) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const WindowImage image = editor.Image();
    const kestrava::Box p = At("lblH");
    std::vector<std::uint32_t> pixels;
    for (int y = p.Y + 2; y < p.Y + p.Height - 2; ++y)
        for (int x = p.X + 2; x < p.X + p.Width - 2; ++x) {
            const auto rgb = image.Pixel(x, y);
            pixels.push_back(static_cast<std::uint32_t>(rgb[0] << 16 | rgb[1] << 8 | rgb[2]));
        }
    return pixels;
}

bool Blank(const std::vector<std::uint32_t>& pixels) {
    for (std::uint32_t p : pixels)
        if (p != pixels.front()) return false;
    return true;
}

}  // namespace

TEST(SettingsEditor, DefaultsThenLoadHelpEditBrowseAndSaveAsTheViewerReadsIt) {
    const std::string folder = CopyProgramFolder("settings-edit");
    std::filesystem::remove(folder + "/kestrav.ini");
    const std::string crafted = folder + "/mine/kestrav.ini";
    WriteFile(crafted,
              "; written by hand\n[user]\nivao_id=654321\n[Display]\nWindowWidth=900\ncolourtheme=\n"
              "[Network]\ndownloadminutes=45\nProxy=me:pw@h:1\nIVAOStatusUrl=file:///feed/ivao.txt\n"
              "[Zoom]\nZ3=43\n[Map]\nshowplanes=2\n[Other]\nkeep=me\n");
    std::filesystem::permissions(crafted, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    WriteFile(folder + "/themes/dark.dc", "[Screen]\r\nScreenBackground=000000\r\n");

    ProgramProcess editor(folder + "/settings");
    ASSERT_TRUE(editor.WaitForWindow(kTitle, 30));
    // The first Load dialog, cancelled: the window takes the defaults.
    ASSERT_TRUE(editor.WaitForWindow("Browse for kestrav.ini", 30));
    editor.TypeKey(XK_Escape);
    EXPECT_EQ(AnswerBox(editor, "Kestrava"), "Defaults loaded");

    // Help: a caption and its box share one text, other controls have their
    // own, and the combo box has none.
    const std::vector<std::uint32_t> none = HelpPixels(editor);
    ASSERT_TRUE(Blank(none));
    editor.MoveTo(At("lblIVAOID").X + 5, At("lblIVAOID").CentreY());
    const std::vector<std::uint32_t> idHelp = HelpPixels(editor);
    editor.MoveTo(At("txtIVAOID").CentreX(), At("txtIVAOID").CentreY());
    EXPECT_EQ(HelpPixels(editor), idHelp);
    EXPECT_FALSE(Blank(idHelp));
    editor.MoveTo(At("chkP").X + 8, At("chkP").CentreY());
    const std::vector<std::uint32_t> planesHelp = HelpPixels(editor);
    EXPECT_FALSE(Blank(planesHelp));
    EXPECT_NE(planesHelp, idHelp);
    editor.MoveTo(At("cmbHdg").CentreX(), At("cmbHdg").CentreY());
    EXPECT_TRUE(Blank(HelpPixels(editor)));

    // Load the crafted file (Alt+L).
    editor.TypeKey(XK_l, kAlt);
    ASSERT_TRUE(editor.ChooseFile("Browse for kestrav.ini", crafted));
    EXPECT_EQ(AnswerBox(editor, "Kestrava"), "File was loaded");

    // Tick, untick and type; ShowPlanes=2 showed ticked.
    ClickControl(editor, "chkP");
    ClickControl(editor, "chkInb");
    TypeInto(editor, "txtInterval", "7.5");
    TypeInto(editor, "txtTimeout", "6.5");
    TypeInto(editor, "txtVATSIMID", "876543");

    // A scheme outside the viewer's colours folder is taken, and said so;
    // the edits above stay.
    ClickControl(editor, "cmdBrowse");
    ASSERT_TRUE(editor.ChooseFile("Select the colour scheme", folder + "/themes/dark.dc"));
    const std::string note = AnswerBox(editor, "Kestrava");
    EXPECT_EQ(note.rfind("dark.dc does not lie in Kestrava's colours folder.", 0), 0u) << note;

    editor.TypeKey(XK_s, kAlt);
    ASSERT_TRUE(editor.ChooseFile("Save kestrav.ini", crafted));
    EXPECT_EQ(AnswerBox(editor, "Kestrava"), "File was saved");
    editor.RequestClose();
    EXPECT_EQ(editor.WaitForExit(20), 0);

    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(crafted));
    const kestrava::Settings viewer = kestrava::ReadSettings(ini, {1600, 1000});
    EXPECT_EQ(viewer.UserIds[0], "654321");
    EXPECT_EQ(viewer.UserIds[1], "876543");
    EXPECT_EQ(viewer.ColourTheme, "dark.dc");
    EXPECT_EQ(ini.Get("Network", "DownloadMinutes", ""), "8");
    EXPECT_EQ(ini.Get("Network", "Timeout", ""), "6");
    EXPECT_EQ(viewer.DownloadMinutes, 8);
    EXPECT_EQ(viewer.Timeout, 6);
    EXPECT_EQ(viewer.Proxy, "me:pw@h:1");
    EXPECT_FALSE(viewer.Layers.ShowPlanes);
    EXPECT_TRUE(viewer.Layers.ShowInbounds);
    EXPECT_TRUE(viewer.Layers.ShowLatLon);
    const std::string text = ReadFile(crafted);
    EXPECT_EQ(text.rfind("; written by hand\n[user]\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nWindowWidth=900\n"), std::string::npos);
    EXPECT_NE(text.find("\nIVAOStatusUrl=file:///feed/ivao.txt\n"), std::string::npos);
    EXPECT_NE(text.find("\n[Zoom]\nZ3=43\n"), std::string::npos);
    EXPECT_NE(text.find("\n[Other]\nkeep=me\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    // The proxy may hold a password: the file stays readable by its owner only.
    EXPECT_EQ(std::filesystem::status(crafted).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(SettingsEditor, RefusesATypedNonNumberAndWarnsWhenAViewerRunsBesideTheFile) {
    const std::string folder = CopyProgramFolder("settings-refuse");
    std::filesystem::remove(folder + "/kestrav.ini");
    ProgramProcess editor(folder + "/settings");
    ASSERT_TRUE(editor.WaitForWindow("Browse for kestrav.ini", 30));
    editor.TypeKey(XK_Escape);
    EXPECT_EQ(AnswerBox(editor, "Kestrava"), "Defaults loaded");

    TypeInto(editor, "txtInterval", "abc");
    editor.TypeKey(XK_s, kAlt);
    const std::string refusal = AnswerBox(editor, "Error");
    EXPECT_NE(refusal.find("Refresh Interval"), std::string::npos) << refusal;
    EXPECT_FALSE(editor.HasWindow("Save kestrav.ini"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/kestrav.ini"));

    // This test holds the folder's lock, as a viewer started there does.
    ASSERT_TRUE(kestrava::ClaimViewerLock(std::filesystem::canonical(folder).string()));
    TypeInto(editor, "txtInterval", "12");
    editor.TypeKey(XK_s, kAlt);
    ASSERT_TRUE(editor.ChooseFile("Save kestrav.ini", folder + "/kestrav.ini"));
    const std::string saved = AnswerBox(editor, "Kestrava");
    EXPECT_EQ(saved.rfind("File was saved\nKestrava is running from this folder.", 0), 0u) << saved;
    kestrava::IniFile ini;
    ASSERT_TRUE(ini.Load(folder + "/kestrav.ini"));
    EXPECT_EQ(ini.Get("Network", "DownloadMinutes", ""), "12");
    EXPECT_EQ(ini.Get("Display", "ColourTheme", ""), "default.dc");
    EXPECT_FALSE(ini.Find("Display", "WindowWidth").has_value());
    editor.RequestClose();
    EXPECT_EQ(editor.WaitForExit(20), 0);
}
