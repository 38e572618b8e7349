// The drawn window frame: caption and bottom bars with their button cells,
// the client-count bar, the download marks on the network buttons and the
// start-up splash.
#pragma once

#include "formats/colour_theme.h"
#include "kestrav/network/model.h"

namespace kestrava {

// The caption shown in the title bar.
inline constexpr const char* kCaption = "Kestrava 1.0.0";

void BuildWindowFrame(const ColourTheme& theme, int width, int height);     // list 50
void BuildClientCountBar(const NetworkModel& model, const ColourTheme& theme, int width,
                         int height);                                        // list 56
void BuildNetworkMarks(const NetworkModel& model, const ColourTheme& theme, int width,
                       int height);                                          // list 57
void BuildSplash(const ColourTheme& theme, int width, int height);          // list 58

}  // namespace kestrava
