// The mock-up's pixels: every theme entry shows inside its own element and
// changes nothing elsewhere. Drawn into an image, without a display.
#include "formats/colour_theme.h"
#include "huebench/mock_up.h"
#include "huebench/mock_up_image.h"

#include <gtest/gtest.h>

using namespace kestrava;

namespace {

bool Near(QRgb pixel, ColourBytes colour) {
    return std::abs(qRed(pixel) - colour.Red) <= 4 && std::abs(qGreen(pixel) - colour.Green) <= 4 &&
           std::abs(qBlue(pixel) - colour.Blue) <= 4;
}

}  // namespace

TEST(MockUp, EveryEntryShowsInsideItsElementAndNowhereElse) {
    ThemeColours viewerDefaults{};
    for (const ColourKeyInfo& key : ColourKeys())
        ParseColourText(viewerDefaults[static_cast<size_t>(key.Entry)], key.Default);
    std::vector<MockUpElement> elements;
    const QImage base = MockUpImage(viewerDefaults, &elements);
    EXPECT_EQ(base.pixel(0, 0), qRgb(0x10, 0x10, 0x3A));  // no pixel left undrawn

    for (const ColourKeyInfo& key : ColourKeys()) {
        QRegion area;
        for (const MockUpElement& element : elements)
            if (element.Entry == key.Entry) area += element.Area;
        ASSERT_FALSE(area.isEmpty()) << key.Key << " has no element";
        ThemeColours changed = viewerDefaults;
        const ColourBytes distinctive{0xE1, 0x13, 0xA7};
        changed[static_cast<size_t>(key.Entry)] = distinctive;
        const QImage image = MockUpImage(changed);
        int differing = 0, outside = 0, shown = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == base.pixel(x, y)) continue;
                ++differing;
                if (!area.contains(QPoint(x, y))) ++outside;
                else if (Near(image.pixel(x, y), distinctive)) ++shown;
            }
        EXPECT_GT(differing, 0) << key.Key;
        EXPECT_EQ(outside, 0) << key.Key << " changed pixels outside its elements";
        EXPECT_GT(shown, 0) << key.Key << " never shows its own colour";
    }
}
