// Where the colour editor's controls lie in its window, in pixels from the
// top-left corner (the window has a fixed size).
#pragma once

#include "widgets/layout_box.h"

namespace kestrava::huebench {

inline constexpr int kWindowWidth = 680;
inline constexpr int kWindowHeight = 328;
inline constexpr Box kMenuBar{0, 0, kWindowWidth, 26};
inline constexpr Box kThemeCaption{12, 40, 60, 22};
inline constexpr Box kThemeBox{76, 40, 200, 22};      // Text1
inline constexpr Box kAuthorCaption{12, 70, 60, 22};
inline constexpr Box kAuthorBox{76, 70, 200, 22};     // Text2
inline constexpr Box kEntryList{12, 106, 264, 26};    // cb
inline constexpr Box kSwatch{12, 144, 120, 64};       // sc
inline constexpr Box kHexLabel{144, 164, 120, 24};    // lblHex
inline constexpr Box kHint{12, 218, 264, 44};
inline constexpr Box kMockUp{288, 36, 380, 280};

}  // namespace kestrava::huebench
