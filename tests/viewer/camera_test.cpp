#include "globe/camera.h"

#include <gtest/gtest.h>

using namespace kestrava;

TEST(NormaliseCamera, ClampsZoomAndTilt) {
    Camera c{0, -120, 0.1f};
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Zoom, 0.3f);
    EXPECT_FLOAT_EQ(c.Tilt, -90);
    c = Camera{0, 95, 80};
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Zoom, 50);
    EXPECT_FLOAT_EQ(c.Tilt, 90);
}

TEST(NormaliseCamera, WrapsSpinByOneTurnPerCall) {
    Camera c{190, 0, 1};
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Spin, -170);
    c.Spin = 540;
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Spin, 180);
    c.Spin = -540;
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Spin, -180);
    c.Spin = 180;
    NormaliseCamera(c);
    EXPECT_FLOAT_EQ(c.Spin, 180);
}

TEST(PickGlobePoint, AboveTheCentreIsNorthAndOffTheDiscIsAMiss) {
    Camera c{0, 0, 1};
    PickedPoint above = PickGlobePoint(c, 401, 200, 800, 600);
    ASSERT_TRUE(above.OnGlobe());
    EXPECT_LT(above.NegatedLatitude, 0);
    EXPECT_NEAR(above.Longitude, 0, 0.2);
    PickedPoint off = PickGlobePoint(Camera{0, 0, 0.3f}, 5, 5, 800, 600);
    EXPECT_FALSE(off.OnGlobe());
    EXPECT_EQ(off.Longitude, 100);
}

TEST(PickGlobePoint, OnePixelRightOfTheCentreGivesTheCameraPoint) {
    Camera c{13.34f, -54.15f, 1};
    PickedPoint p = PickGlobePoint(c, 401, 300, 800, 600);
    ASSERT_TRUE(p.OnGlobe());
    EXPECT_NEAR(p.NegatedLatitude, -54.15, 0.01);
    EXPECT_NEAR(p.Longitude, 13.34, 0.2);
    // Exactly on the vertical centre line too, where a centred client lies.
    PickedPoint centre = PickGlobePoint(c, 400, 300, 800, 600);
    ASSERT_TRUE(centre.OnGlobe());
    EXPECT_NEAR(centre.NegatedLatitude, -54.15, 0.01);
    EXPECT_NEAR(centre.Longitude, 13.34, 0.01);
    // Up the centre line past the North Pole lies the opposite meridian.
    PickedPoint beyond = PickGlobePoint(Camera{10, -80, 1}, 400, 120, 800, 600);
    ASSERT_TRUE(beyond.OnGlobe());
    EXPECT_NEAR(beyond.NegatedLatitude, -82.54, 0.02);
    EXPECT_NEAR(beyond.Longitude, -170, 0.01);
}

TEST(PickGlobePoint, InvertsTheViewAwayFromTheCentre) {
    // At zoom 1 one globe radius is the window height; a point a quarter of
    // the height to the right of the centre, at spin 0 and tilt 0, lies on
    // the equator at asin(0.25) degrees east.
    Camera c{0, 0, 1};
    PickedPoint p = PickGlobePoint(c, 400 + 150, 300, 800, 600);
    ASSERT_TRUE(p.OnGlobe());
    EXPECT_NEAR(p.NegatedLatitude, 0, 1e-3);
    EXPECT_NEAR(p.Longitude, 14.4775, 0.01);
    // Spin and wrap-around: the same offset seen from spin 175 lands past 180.
    Camera east{175, 0, 1};
    PickedPoint wrapped = PickGlobePoint(east, 400 + 150, 300, 800, 600);
    EXPECT_NEAR(wrapped.Longitude, 175 + 14.4775 - 360, 0.01);
}
