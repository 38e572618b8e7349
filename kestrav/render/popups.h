// The client popups and the pick list: the layouts of popup_text.h compiled
// into display list 40 in the panel style of the viewer.
#pragma once

#include "formats/colour_theme.h"
#include "kestrav/network/model.h"
#include "kestrav/render/overlay.h"
#include "kestrav/render/popup_text.h"

#include <string>
#include <vector>

namespace kestrava {

// The controller popup and the pilot popup of network `network` (0 or 1)
// for a width x height window, centred in it.
void BuildAtcPopup(const NetworkModel& model, int network, const AtcClient& atc, const ColourTheme& theme,
                   int width, int height);
void BuildPilotPopup(const NetworkModel& model, int network, const PilotClient& pilot,
                     const ColourTheme& theme, int width, int height);

// The pick list: one row per text, the first on top.
void BuildSelectionList(const PickBox& box, const std::vector<std::string>& rows, const ColourTheme& theme,
                        int width, int height);

// One round gauge, drawn immediately (or into the list being compiled).
void DrawDial(const OverlayGrid& grid, const ColourTheme& theme, const DialSpec& dial);

}  // namespace kestrava
