// The colour editor end to end: the program started from a copied program
// folder, driven with real X input, its themes read back as the viewer
// reads them.
#include "formats/colour_theme.h"
#include "huebench/layout.h"
#include "huebench/mock_up_image.h"
#include "support/program_process.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <thread>

using namespace testsupport;
namespace layout = kestrava::huebench;

namespace {

const char* const kTitle = "Kestrava Colour Editor";

void Settle() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

// Waits until the dialog or box has gone and addresses the main window.
void WaitGone(ProgramProcess& editor, const std::string& title) {
    editor.WaitForWindowGone(title, 5);
    editor.WaitForWindow(kTitle, 10);
}

// The File menu's item with this mnemonic.
void Menu(ProgramProcess& editor, unsigned long key) {
    editor.WaitForWindow(kTitle, 10);
    editor.TypeKey(XK_f, kAlt);
    Settle();
    editor.TypeKey(key);
}

bool ChooseFile(ProgramProcess& editor, const std::string& path) {
    const bool chosen = editor.ChooseFile("Select colour scheme", path);
    editor.WaitForWindow(kTitle, 10);
    return chosen;
}

// The mock-up as the window shows it.
QImage MockUpOnScreen(ProgramProcess& editor) {
    Settle();
    const WindowImage window = editor.Image();
    QImage image(layout::kMockUp.Width, layout::kMockUp.Height, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const auto rgb = window.Pixel(layout::kMockUp.X + x, layout::kMockUp.Y + y);
            image.setPixel(x, y, qRgb(rgb[0], rgb[1], rgb[2]));
        }
    return image;
}

// Pixels that differ by more than the rounding of a colour shade.
int Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2 ||
                std::abs(qBlue(p) - qBlue(q)) > 2)
                ++count;
        }
    return count;
}

std::array<int, 3> SwatchColour(ProgramProcess& editor) {
    Settle();
    return editor.Image().Pixel(layout::kSwatch.CentreX(), layout::kSwatch.CentreY());
}

kestrava::ThemeColours ColoursOf(const kestrava::ColourTheme& theme) {
    kestrava::ThemeColours colours{};
    for (int i = 0; i < kestrava::kColourCount; ++i)
        colours[static_cast<size_t>(i)] = {static_cast<std::uint8_t>(std::lround(theme.Red[i] * 255)),
                                           static_cast<std::uint8_t>(std::lround(theme.Green[i] * 255)),
                                           static_cast<std::uint8_t>(std::lround(theme.Blue[i] * 255))};
    return colours;
}

}  // namespace

TEST(ColourEditor, OpensDefaultThenRedCtrFillShowsAtOnceAndSavesAsANewTheme) {
    const std::string folder = CopyProgramFolder("huebench");
    ProgramProcess editor(folder + "/huebench");
    ASSERT_TRUE(editor.WaitForWindow(kTitle, 30));
    // All 27 colours start black.
    const QImage start = MockUpOnScreen(editor);
    EXPECT_EQ(Differences(start, MockUpImage(kestrava::ThemeColours{})), 0);

    Menu(editor, XK_o);
    ASSERT_TRUE(ChooseFile(editor, folder + "/colours/default.dc"));
    const kestrava::ThemeColours defaults = ColoursOf(kestrava::LoadColourTheme(folder + "/colours/default.dc"));
    std::vector<kestrava::MockUpElement> elements;
    const QImage opened = MockUpOnScreen(editor);
    EXPECT_EQ(Differences(opened, MockUpImage(defaults, &elements)), 0) << "the mock-up does not show default.dc";

    // "CTR Fill" from the entry list, by typing its name into the open list.
    editor.ClickAt(layout::kEntryList.CentreX(), layout::kEntryList.CentreY());
    Settle();
    editor.TypeText("CTR Fill");
    editor.TypeKey(XK_Return);
    EXPECT_EQ(SwatchColour(editor), (std::array<int, 3>{0x10, 0x25, 0x4E}));

    // Pure red in Qt's colour dialog, opened from the keyboard on the swatch.
    editor.ClickAt(layout::kSwatch.CentreX(), layout::kSwatch.CentreY());
    ASSERT_TRUE(editor.WaitForWindow("Select colour", 20));
    editor.TypeKey(XK_h, kAlt);
    editor.TypeKey(XK_a, kCtrl);
    editor.TypeText("#ff0000");
    editor.TypeKey(XK_Return);
    WaitGone(editor, "Select colour");
    EXPECT_EQ(SwatchColour(editor), (std::array<int, 3>{255, 0, 0}));
    editor.DoubleClickAt(layout::kHexLabel.X + 20, layout::kHexLabel.CentreY());
    EXPECT_EQ(editor.CopyText(), "FF0000");

    // The mock-up changed inside the CTR areas, to red, and nowhere else.
    QRegion ctrFill;
    for (const kestrava::MockUpElement& element : elements)
        if (element.Entry == kestrava::Colour::CTRFill) ctrFill += element.Area;
    const QImage changed = MockUpOnScreen(editor);
    int red = 0, outside = 0;
    for (int y = 0; y < changed.height(); ++y)
        for (int x = 0; x < changed.width(); ++x) {
            if (changed.pixel(x, y) == opened.pixel(x, y)) continue;
            if (!ctrFill.contains(QPoint(x, y))) ++outside;
            if (changed.pixel(x, y) == qRgb(255, 0, 0)) ++red;
        }
    EXPECT_GT(red, 1000);
    EXPECT_EQ(outside, 0);

    Menu(editor, XK_a);
    const std::string saved = folder + "/colours/red.dc";
    ASSERT_TRUE(ChooseFile(editor, saved));
    // The dialog goes before the file is written.
    for (int i = 0; i < 100 && ReadFile(saved).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kestrava::ThemeColours expected = defaults;
    expected[static_cast<size_t>(kestrava::Colour::CTRFill)] = {255, 0, 0};
    EXPECT_EQ(ColoursOf(kestrava::LoadColourTheme(saved)), expected);
    const std::string text = ReadFile(saved);
    EXPECT_NE(text.find("\r\nCTRFill=FF0000\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Description]\r\nThemeName=Default\r\nAuthor=Kestrava\r\n", 0), 0u) << text;

    // Saved: closing asks nothing.
    ASSERT_TRUE(editor.RequestClose());
    EXPECT_EQ(editor.WaitForExit(20), 0);
}

TEST(ColourEditor, RefusesAFileWithoutAThemeAndAsksBeforeClosingWithUnsavedChanges) {
    const std::string folder = CopyProgramFolder("huebench-close");
    WriteFile(folder + "/colours/notes.dc", "just notes\r\n[Other]\r\nIVAO=FF0000\r\n");
    ProgramProcess editor(folder + "/huebench");
    ASSERT_TRUE(editor.WaitForWindow(kTitle, 30));
    Menu(editor, XK_o);
    ASSERT_TRUE(ChooseFile(editor, folder + "/colours/notes.dc"));
    ASSERT_TRUE(editor.WaitForWindow("Error", 20));
    const std::string refusal = editor.CopyText();
    EXPECT_NE(refusal.find("notes.dc holds no colour theme"), std::string::npos) << refusal;
    editor.TypeKey(XK_Return);
    WaitGone(editor, "Error");
    EXPECT_EQ(Differences(MockUpOnScreen(editor), MockUpImage(kestrava::ThemeColours{})), 0);

    // An unsaved name: closing the window asks, and Cancel keeps it open.
    editor.ClickAt(layout::kThemeBox.CentreX(), layout::kThemeBox.CentreY());
    editor.TypeKey(XK_a, kCtrl);
    editor.TypeText("Night");
    ASSERT_TRUE(editor.RequestClose());
    ASSERT_TRUE(editor.WaitForWindow("Kestrava", 20));
    EXPECT_EQ(editor.CopyText(), "The colour theme has unsaved changes. Save them?");
    editor.TypeKey(XK_Escape);
    WaitGone(editor, "Kestrava");
    EXPECT_TRUE(editor.HasWindow(kTitle));

    // File, Close asks too; Discard ends the program without writing.
    Menu(editor, XK_c);
    ASSERT_TRUE(editor.WaitForWindow("Kestrava", 20));
    ASSERT_EQ(editor.CopyText(), "The colour theme has unsaved changes. Save them?");
    editor.TypeKey(XK_d, kAlt);
    EXPECT_EQ(editor.WaitForExit(20), 0);
}
