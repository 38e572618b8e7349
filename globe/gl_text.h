// The OpenGL context's text: bitmap glyph sets, text drawing and the status
// line, plus the fixed-function state set once at start-up.
#pragma once

#include "formats/colour_theme.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrava {

// The two faces glyphs are rasterised from: a monospaced face in place of
// Lucida Console, and a bold sans-serif with Arial's metrics.
enum class GlyphFace { Monospaced, BoldSans };

// Compiles one glyph set: lists base .. base + 254, one glBitmap per code
// 0..254 of Windows-1252 in the face at `pixelSize` pixels (character height).
// Needs a current context. False when the face could not be rasterised.
bool BuildGlyphSet(GlyphFace face, int pixelSize, unsigned base);
void DeleteGlyphSet(unsigned base);

// Draws the text at the current raster position in the set at `base` and
// advances the raster position by the text's width. The text goes out as
// one bitmap composed from the set's glyph rasters: the same pixels as one
// glyph list per byte (DrawGlyphLists), at the cost of a single bitmap.
void DrawGlyphs(unsigned base, const std::string& text);
void DrawGlyphLists(unsigned base, const std::string& text);

// One glyph's bitmap as glBitmap takes it: rows from the bottom up, each
// (Width + 7) / 8 bytes, the first pixel in the high bit; its origin
// (XOrig, YOrig) pixels in from the lower-left corner; the raster position
// moves by Advance.
struct GlyphRaster {
    bool Present = false;  // codes without a glyph neither draw nor move
    int Width = 0;
    int Height = 0;
    int XOrig = 0;
    int YOrig = 0;
    int Advance = 0;
    std::vector<std::uint8_t> Bits;
};
// The text's glyphs (indexed by code) laid side by side into one bitmap,
// placed as the glyphs drawn one after the other would be.
GlyphRaster ComposeGlyphs(const std::vector<GlyphRaster>& glyphs, const std::string& text);

// Where glRasterPos puts points under the current matrices and viewport,
// read once: the arithmetic the context's own vertex stage does in floats
// (each coordinate the sum of the point's products with the matrix row in
// turn, then scaled and moved into the viewport), so the positions agree
// with it bit for bit. Only for a projection matrix left at the identity,
// as the globe's views keep it (their ortho is in the model-view matrix).
class RasterMapping {
public:
    RasterMapping();
    enum class Place { Placed, Clipped, AskTheContext };
    // The window position of the point; Clipped where the context would
    // clip it (outside the clip volume) and the raster position go invalid;
    // AskTheContext where these matrices do not allow the sum alone.
    Place PlaceOf(const float point[3], float& x, float& y) const;

private:
    float m_[16];
    float scale_[2], offset_[2];
    bool usable_ = false;
};

// Texts at points of the current transformation, drawn together: the same
// pixels as a glRasterPos3f at each point and DrawGlyphs of its text in the
// current colour, one after the other. As every text has the one colour,
// their order changes nothing, so they go out as one set of quads, a quad a
// text over the bounds of its set pixels, textured from the composed texts
// laid out in one texture of their own (built again when the texts have
// changed), where each bitmap would cost a texture upload of its own; at an
// alpha of one they are not blended where blending would change nothing.
// Each text's window position is the one the context's glRasterPos gives
// (RasterMapping) and is rounded as glBitmap rounds it; a point the context
// clips draws nothing, as there.
class PlacedTexts {
public:
    PlacedTexts() = default;
    // A texture has one owner: the one moved from lays its texts out anew.
    PlacedTexts(const PlacedTexts&) = delete;
    PlacedTexts& operator=(const PlacedTexts&) = delete;
    PlacedTexts(PlacedTexts&& other) noexcept { *this = std::move(other); }
    PlacedTexts& operator=(PlacedTexts&& other) noexcept;
    ~PlacedTexts() = default;  // the texture goes with its context

    void Clear();
    // The text in the glyph set at `base`; texts without pixels are left
    // out.
    void Add(float x, float y, float z, unsigned base, const std::string& text);
    // Draws them at the current transformation in the current colour into
    // a width x height window (texts wholly outside it are passed over).
    // Needs the context current when the texts were last drawn, if any. The
    // transformation, viewport and every setting come back as they were; so
    // does the raster position unless the projection matrix is not the
    // identity (then each text's position is asked of the context).
    void Draw(int width, int height) const;

private:
    struct Placed {
        float Point[3];
        GlyphRaster Composed;  // as DrawGlyphs hands it to glBitmap
        // The composed raster's pixels that are set lie in columns
        // X0 <= x < X1 and rows Y0 <= y < Y1: only they are drawn.
        int X0, Y0, X1, Y1;
    };
    // Lays the composed texts out in the texture, row by row.
    void Lay() const;
    std::vector<Placed> texts_;
    // Each text's set pixels' lower-left texel in the texture; -1 for a
    // text too wide for it (drawn as a bitmap).
    mutable std::vector<int> left_, bottom_;
    mutable unsigned texture_ = 0;
    mutable int width_ = 0, height_ = 0;  // the texture's
    mutable bool laidOut_ = false;
};

// The text as far as it fits `pixels` in these glyphs: whole when it does,
// else cut and ending "..." (the dots included in the width).
std::string FitGlyphs(const std::vector<GlyphRaster>& glyphs, const std::string& text, int pixels);
// The same in the set at `base`, `pixels` of the window's own
// (pixel_scale.h); unchanged when the set has no rasters.
std::string FitText(unsigned base, const std::string& text, int pixels);

// The two sets of the globe's lists (list_names.h): monospaced 10 px and
// bold sans-serif 12 px of the window's own (pixel_scale.h).
bool BuildGlyphSets();
void ShutdownGlyphSets();
void DrawTextSmall(const std::string& text);
void DrawTextBold(const std::string& text);

// The state every frame of the viewer relies on: clear colour, blending,
// hints, stipple.
void SetInitialGlState(const ColourTheme& theme);

// Recompiles `list`: the raster position 65 px from the left and 6 px above
// the bottom of a width x height window, then the text's glyphs, cut where
// it would reach the three buttons at the bottom right.
void BuildStatusLine(unsigned list, const std::string& statusText, int width, int height);

}  // namespace kestrava
