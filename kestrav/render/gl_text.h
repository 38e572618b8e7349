// The OpenGL context's text: the two bitmap glyph sets, text drawing and the
// status line, plus the fixed-function state set once at start-up.
#pragma once

#include "formats/colour_theme.h"

#include <string>

namespace kestrava {

// Compiles the glyph sets as display lists 64725.. (small, monospaced 10 px)
// and 65000.. (bold sans-serif 12 px) for the codes 0..254 of Windows-1252.
// Needs a current context. False when no font could be rasterised.
bool BuildGlyphSets();

// The state every frame relies on: clear colour, blending, hints, stipple.
void SetInitialGlState(const ColourTheme& theme);

// Draw at the current raster position, one glyph list per byte.
void DrawTextSmall(const std::string& text);
void DrawTextBold(const std::string& text);

// Recompiles list 55: the raster position 65 px from the left and 6 px above
// the bottom of a width x height window, then the text's glyphs.
void BuildStatusLine(const std::string& statusText, int width, int height);

// Deletes the glyph sets; the context itself belongs to the window.
void ShutdownGlyphSets();

}  // namespace kestrava
