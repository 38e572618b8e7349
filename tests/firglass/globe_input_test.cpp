// The picture's mouse without a display: drags, the wheel and the position
// readout, in twips as the window hands them over.
#include "firglass/globe_input.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrava;
using namespace kestrava::firglass;

TEST(GlobeInput, LeftDragTurnsRightDragZoomsAndTheReleaseEndsEither) {
    GlobeInput input;
    EXPECT_EQ(input.View.Zoom, 0.5f);
    EXPECT_FALSE(MovePointer(input, 10, 10));  // no button: nothing turns

    PressButton(input, kLeftButton, 3000.4, 3000.6);
    EXPECT_TRUE(MovePointer(input, 2900, 3101));
    // 100 twips left and 100 down at zoom 0.5: one degree over the root of 0.5.
    EXPECT_NEAR(input.View.Spin, 1 / std::sqrt(0.5), 1e-4);
    EXPECT_NEAR(input.View.Tilt, -1 / std::sqrt(0.5), 1e-4);
    EXPECT_TRUE(MovePointer(input, 3000, 3001));  // back to the press: back to the start
    EXPECT_NEAR(input.View.Spin, 0, 1e-4);
    ReleaseButton(input);
    EXPECT_FALSE(MovePointer(input, 0, 0));

    PressButton(input, kRightButton, 5000, 5000);
    EXPECT_TRUE(MovePointer(input, 4000, 3000));  // 2000 twips up doubles the zoom
    EXPECT_FLOAT_EQ(input.View.Zoom, 1.0f);
    EXPECT_TRUE(MovePointer(input, 4000, 100000));  // far down: held at 0.3
    EXPECT_FLOAT_EQ(input.View.Zoom, 0.3f);
    ReleaseButton(input);

    PressButton(input, kMiddleButton, 0, 0);
    EXPECT_FALSE(MovePointer(input, 500, 500));
}

TEST(GlobeInput, TheWheelStepsByOneTwoAndStopsAt50And03) {
    GlobeInput input;
    EXPECT_TRUE(TurnWheel(input, 120));
    EXPECT_FLOAT_EQ(input.View.Zoom, 0.6f);
    EXPECT_TRUE(TurnWheel(input, -240));  // one step, whatever the delta
    EXPECT_FLOAT_EQ(input.View.Zoom, 0.5f);
    EXPECT_FALSE(TurnWheel(input, 60));  // half a notch waits for the other half
    EXPECT_TRUE(TurnWheel(input, 60));
    for (int i = 0; i < 40; ++i) TurnWheel(input, 120);
    EXPECT_EQ(input.View.Zoom, 50.0f);
    for (int i = 0; i < 60; ++i) TurnWheel(input, -120);
    EXPECT_EQ(input.View.Zoom, 0.3f);
}

TEST(GlobeInput, TheReadoutNamesThePointUnderThePointerAndNothingOffTheGlobe) {
    EXPECT_EQ(HundredthsText(47.425, 2), "47.43");
    EXPECT_EQ(HundredthsText(-5.5, 2), "-05.50");
    EXPECT_EQ(HundredthsText(19.26, 3), "019.26");
    EXPECT_EQ(HundredthsText(-19.26, 3), "-019.26");
    EXPECT_EQ(HundredthsText(-0.004, 2), "00.00");
    EXPECT_EQ(HundredthsText(179.999, 3), "180.00");

    // Looking at 47.43N 19.26E: the centre of the picture reads it back.
    const Camera view{19.26f, -47.43f, 2};
    EXPECT_EQ(PositionReadout(view, 6000, 4500, 12000, 9000), "LAT 47.43 / LON 019.26");
    const Camera south{-19.26f, 5.5f, 2};
    EXPECT_EQ(PositionReadout(south, 6000, 4500, 12000, 9000), "LAT -05.50 / LON -019.26");
    // Above the centre lies the north.
    const auto north = PositionReadout(Camera{0, 0, 0.5f}, 6000, 2000, 12000, 9000);
    ASSERT_TRUE(north.has_value());
    EXPECT_EQ(north->rfind("LAT 3", 0), 0u) << *north;
    // Beside the disc: no text.
    EXPECT_FALSE(PositionReadout(Camera{0, 0, 0.5f}, 100, 4500, 12000, 9000).has_value());
}
