// A control's place in its window, in pixels from the window's top-left
// corner; the editors' layouts and their window tests share it.
#pragma once

namespace kestrava {

struct Box {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    int CentreX() const { return X + Width / 2; }
    int CentreY() const { return Y + Height / 2; }
};

}  // namespace kestrava
