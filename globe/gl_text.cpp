#include "gl_text.h"

#include "globe/globe_view.h"
#include "globe/list_names.h"
#include "globe/pixel_scale.h"
#include "formats/text.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace kestrava {

namespace {

struct FaceNames {
    const char* Family;  // chosen from the faces Debian ships
    const char* Fallback;
    QFont::Weight Weight;
};

// DejaVu Sans Mono in place of Lucida Console, and Liberation Sans, which
// has Arial's metrics, for the bold set.
FaceNames NamesOf(GlyphFace face) {
    if (face == GlyphFace::BoldSans) return {"Liberation Sans", "Sans Serif", QFont::Bold};
    return {"DejaVu Sans Mono", "Monospace", QFont::Normal};
}

QFont MakeFont(GlyphFace face, int pixelSize) {
    const FaceNames names = NamesOf(face);
    QFont font(QString::fromLatin1(names.Family));
    font.setFamilies({QString::fromLatin1(names.Family), QString::fromLatin1(names.Fallback)});
    font.setPixelSize(pixelSize);
    font.setWeight(names.Weight);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    return font;
}

// The rasters of every glyph set built in this context, by base: a text is
// drawn as one bitmap composed from them, so it costs one bitmap however
// many characters it has.
std::map<unsigned, std::vector<GlyphRaster>>& Rasters() {
    static std::map<unsigned, std::vector<GlyphRaster>> rasters;
    return rasters;
}

// One glyph rasterised. Codes below 32 have no glyph and do not move the
// raster position.
GlyphRaster RasterOf(const QFont& font, const QFontMetrics& metrics, unsigned char code) {
    GlyphRaster glyph;
    if (code < 32) return glyph;
    glyph.Present = true;
    const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(code)));
    const QString character = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
    glyph.Advance = metrics.horizontalAdvance(character);
    const int ascent = metrics.ascent();
    const int descent = metrics.descent();
    const QRect bounds = metrics.boundingRect(character);
    const int left = std::min(0, bounds.left());
    const int width = std::max(glyph.Advance, bounds.right() + 1) - left;
    const int height = ascent + descent;
    if (width <= 0 || height <= 0) return glyph;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(-left, ascent, character);
    }
    glyph.Width = width;
    glyph.Height = height;
    glyph.XOrig = -left;
    glyph.YOrig = descent;
    const int rowBytes = (width + 7) / 8;
    glyph.Bits.assign(static_cast<size_t>(rowBytes * height), 0);
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;
        for (int x = 0; x < width; ++x)
            if (qRed(image.pixel(x, y)) > 127)
                glyph.Bits[static_cast<size_t>(row * rowBytes + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    return glyph;
}

void Bitmap(const GlyphRaster& glyph) {
    if (glyph.Width <= 0 || glyph.Height <= 0 || glyph.Bits.empty()) {
        // Mesa's lists drop the move of a bitmap without pixels: one blank
        // pixel keeps it.
        static const GLubyte blank = 0;
        glBitmap(1, 1, 0, 0, static_cast<GLfloat>(glyph.Advance), 0, &blank);
        return;
    }
    glBitmap(glyph.Width, glyph.Height, static_cast<GLfloat>(glyph.XOrig), static_cast<GLfloat>(glyph.YOrig),
             static_cast<GLfloat>(glyph.Advance), 0, glyph.Bits.data());
}

bool Drawn(const std::vector<GlyphRaster>& glyphs, unsigned char c) { return c < glyphs.size() && glyphs[c].Present; }

}  // namespace

GlyphRaster ComposeGlyphs(const std::vector<GlyphRaster>& glyphs, const std::string& text) {
    // Each glyph's lower-left corner lies at (pen - XOrig, -YOrig) from the
    // raster position; the composed bitmap spans all of them.
    int minX = 0, maxX = 0, minY = 0, maxY = 0, pen = 0;
    bool any = false;
    for (unsigned char c : text) {
        if (!Drawn(glyphs, c)) continue;
        const GlyphRaster& g = glyphs[c];
        if (g.Width > 0 && g.Height > 0) {
            const int x = pen - g.XOrig, y = -g.YOrig;
            minX = any ? std::min(minX, x) : x;
            maxX = any ? std::max(maxX, x + g.Width) : x + g.Width;
            minY = any ? std::min(minY, y) : y;
            maxY = any ? std::max(maxY, y + g.Height) : y + g.Height;
            any = true;
        }
        pen += g.Advance;
    }
    GlyphRaster out;
    out.Present = true;
    out.Advance = pen;
    if (!any) return out;
    out.Width = maxX - minX;
    out.Height = maxY - minY;
    out.XOrig = -minX;
    out.YOrig = -minY;
    const int rowBytes = (out.Width + 7) / 8;
    out.Bits.assign(static_cast<size_t>(rowBytes * out.Height), 0);
    pen = 0;
    for (unsigned char c : text) {
        if (!Drawn(glyphs, c)) continue;
        const GlyphRaster& g = glyphs[c];
        const int glyphRowBytes = (g.Width + 7) / 8;
        const int left = pen - g.XOrig - minX, bottom = -g.YOrig - minY;
        // A byte at a time, shifted to where the glyph starts (a glyph has
        // no bits set past its width).
        const int shift = left % 8;
        for (int row = 0; row < g.Height; ++row) {
            const std::uint8_t* from = g.Bits.data() + row * glyphRowBytes;
            std::uint8_t* to = out.Bits.data() + (bottom + row) * rowBytes;
            for (int i = 0; i < glyphRowBytes; ++i) {
                if (!from[i]) continue;
                const int at = left / 8 + i;
                to[at] |= static_cast<std::uint8_t>(from[i] >> shift);
                if (shift && at + 1 < rowBytes) to[at + 1] |= static_cast<std::uint8_t>(from[i] << (8 - shift));
            }
        }
        pen += g.Advance;
    }
    return out;
}

std::string FitGlyphs(const std::vector<GlyphRaster>& glyphs, const std::string& text, int pixels) {
    auto advance = [&](unsigned char c) { return Drawn(glyphs, c) ? glyphs[c].Advance : 0; };
    long total = 0;
    for (unsigned char c : text) total += advance(c);
    if (total <= pixels) return text;
    const int dots = 3 * advance('.');
    long used = 0;
    size_t keep = 0;
    while (keep < text.size() && used + advance(static_cast<unsigned char>(text[keep])) + dots <= pixels)
        used += advance(static_cast<unsigned char>(text[keep++]));
    return used + dots <= pixels ? text.substr(0, keep) + "..." : std::string();
}

std::string FitText(unsigned base, const std::string& text, int pixels) {
    const auto set = Rasters().find(base);
    // The rasters measure device pixels.
    return set == Rasters().end() ? text : FitGlyphs(set->second, text, DevicePixels(pixels));
}

bool BuildGlyphSet(GlyphFace face, int pixelSize, unsigned base) {
    const QFont font = MakeFont(face, pixelSize);
    const QFontMetrics metrics(font);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::vector<GlyphRaster>& rasters = Rasters()[base];
    rasters.clear();
    for (unsigned code = 0; code < lists::kGlyphCount; ++code) {
        rasters.push_back(RasterOf(font, metrics, static_cast<unsigned char>(code)));
        glNewList(base + code, GL_COMPILE);
        if (rasters.back().Present) Bitmap(rasters.back());
        glEndList();
    }
    return glIsList(base + 'A') == GL_TRUE;
}

void DeleteGlyphSet(unsigned base) {
    glDeleteLists(base, lists::kGlyphCount);
    Rasters().erase(base);
}

void DrawGlyphLists(unsigned base, const std::string& text) {
    if (text.empty()) return;
    glListBase(base);
    for (unsigned char c : text) glCallLists(1, GL_UNSIGNED_BYTE, &c);
}

void DrawGlyphs(unsigned base, const std::string& text) {
    if (text.empty()) return;
    const auto set = Rasters().find(base);
    if (set == Rasters().end()) {
        DrawGlyphLists(base, text);
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    Bitmap(ComposeGlyphs(set->second, text));
}

RasterMapping::RasterMapping() {
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, m_);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    usable_ = true;
    for (int i = 0; i < 16; ++i) usable_ = usable_ && projection[i] == (i % 5 == 0 ? 1.0f : 0.0f);
    for (int i = 0; i < 2; ++i) {
        scale_[i] = static_cast<float>(viewport[2 + i]) / 2.0f;
        offset_[i] = static_cast<float>(viewport[i]) + static_cast<float>(viewport[2 + i]) / 2.0f;
    }
}

RasterMapping::Place RasterMapping::PlaceOf(const float p[3], float& x, float& y) const {
    if (!usable_) return Place::AskTheContext;
    float clip[4];
    for (int r = 0; r < 4; ++r) clip[r] = ((p[0] * m_[r] + p[1] * m_[4 + r]) + p[2] * m_[8 + r]) + m_[12 + r];
    // Only w = 1 leaves the division out of it.
    if (clip[3] != 1.0f) return Place::AskTheContext;
    for (int r = 0; r < 3; ++r)
        if (!(-1.0f <= clip[r] && clip[r] <= 1.0f)) return Place::Clipped;
    x = clip[0] * scale_[0] + offset_[0];
    y = clip[1] * scale_[1] + offset_[1];
    return Place::Placed;
}

PlacedTexts& PlacedTexts::operator=(PlacedTexts&& other) noexcept {
    texts_ = std::move(other.texts_);
    left_ = std::move(other.left_);
    bottom_ = std::move(other.bottom_);
    texture_ = std::exchange(other.texture_, 0u);
    width_ = other.width_;
    height_ = other.height_;
    laidOut_ = std::exchange(other.laidOut_, false);
    return *this;
}

void PlacedTexts::Clear() {
    texts_.clear();
    laidOut_ = false;
}

void PlacedTexts::Add(float x, float y, float z, unsigned base, const std::string& text) {
    if (text.empty()) return;
    const auto set = Rasters().find(base);
    if (set == Rasters().end()) return;
    GlyphRaster composed = ComposeGlyphs(set->second, text);
    if (composed.Width <= 0 || composed.Height <= 0) return;
    const int rowBytes = (composed.Width + 7) / 8;
    int x0 = composed.Width, y0 = composed.Height, x1 = 0, y1 = 0;
    for (int r = 0; r < composed.Height; ++r)
        for (int c = 0; c < rowBytes; ++c) {
            const std::uint8_t bits = composed.Bits[static_cast<size_t>(r * rowBytes + c)];
            if (!bits) continue;
            y0 = std::min(y0, r), y1 = std::max(y1, r + 1);
            // The first and last set bits of the byte, high bit first.
            int first = 0, last = 7;
            while (!(bits & (0x80 >> first))) ++first;
            while (!(bits & (0x80 >> last))) --last;
            x0 = std::min(x0, c * 8 + first), x1 = std::max(x1, c * 8 + last + 1);
        }
    if (x0 >= x1) return;  // no pixel set: nothing to draw
    texts_.push_back({{x, y, z}, std::move(composed), x0, y0, x1, y1});
    laidOut_ = false;
}

namespace {
constexpr int kTextureWidth = 2048;  // wider texts are drawn as bitmaps
}  // namespace

void PlacedTexts::Lay() const {
    // Rows of texts a texel apart, each row as high as its highest text.
    left_.assign(texts_.size(), -1);
    bottom_.assign(texts_.size(), 0);
    int x = 0, y = 0, row = 0;
    for (size_t i = 0; i < texts_.size(); ++i) {
        const Placed& t = texts_[i];
        const int w = t.X1 - t.X0, h = t.Y1 - t.Y0;
        if (w > kTextureWidth) continue;
        if (x + w > kTextureWidth) x = 0, y += row + 1, row = 0;
        left_[i] = x, bottom_[i] = y;
        x += w + 1;
        row = std::max(row, h);
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    width_ = kTextureWidth;
    height_ = std::max(y + row, 1);
    if (largest < width_ || largest < height_) {  // beyond this context: bitmaps all
        left_.assign(texts_.size(), -1);
        height_ = 1;
    }
    std::vector<std::uint8_t> alpha(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
    for (size_t i = 0; i < texts_.size(); ++i) {
        if (left_[i] < 0) continue;
        const Placed& t = texts_[i];
        const int rowBytes = (t.Composed.Width + 7) / 8;
        for (int r = t.Y0; r < t.Y1; ++r) {
            std::uint8_t* out = &alpha[static_cast<size_t>((bottom_[i] + r - t.Y0) * width_ + left_[i] - t.X0)];
            const std::uint8_t* bits = &t.Composed.Bits[static_cast<size_t>(r * rowBytes)];
            for (int c = t.X0; c < t.X1; ++c) out[c] = (bits[c / 8] & (0x80 >> (c % 8))) ? 255 : 0;
        }
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (!glIsTexture(texture_)) glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, width_, height_, 0, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    laidOut_ = true;
}

namespace {
// Whether blending the current colour, at an alpha of one, over anything
// gives the colour itself: the source factor one (or its alpha, one), the
// destination's zero (or one less its alpha), added.
bool BlendingChangesNothing() {
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    GLint factors[4], equations[2];
    glGetIntegerv(GL_BLEND_SRC_RGB, &factors[0]);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &factors[1]);
    glGetIntegerv(GL_BLEND_DST_RGB, &factors[2]);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &factors[3]);
    glGetIntegerv(GL_BLEND_EQUATION_RGB, &equations[0]);
    glGetIntegerv(GL_BLEND_EQUATION_ALPHA, &equations[1]);
    const auto source = [](GLint f) { return f == GL_ONE || f == GL_SRC_ALPHA; };
    const auto destination = [](GLint f) { return f == GL_ZERO || f == GL_ONE_MINUS_SRC_ALPHA; };
    return colour[3] == 1.0f && source(factors[0]) && source(factors[1]) && destination(factors[2]) &&
           destination(factors[3]) && equations[0] == GL_FUNC_ADD && equations[1] == GL_FUNC_ADD;
}
}  // namespace

void PlacedTexts::Draw(int width, int height) const {
    if (texts_.empty() || width <= 0 || height <= 0) return;
    // A texture of another context (one since replaced) is no texture here.
    if (!laidOut_ || !glIsTexture(texture_)) Lay();
    // Quads of whole window pixels and their texels.
    std::vector<GLint> corners;
    std::vector<GLfloat> texels;
    struct Apart {
        float X, Y;
        const GlyphRaster* Text;
    };
    std::vector<Apart> apart;
    const RasterMapping mapping;
    const float across = static_cast<float>(width_), up = static_cast<float>(height_);
    for (size_t i = 0; i < texts_.size(); ++i) {
        const Placed& text = texts_[i];
        GLfloat position[4];
        const RasterMapping::Place place = mapping.PlaceOf(text.Point, position[0], position[1]);
        if (place == RasterMapping::Place::Clipped) continue;
        if (place == RasterMapping::Place::AskTheContext) {
            glRasterPos3fv(text.Point);
            GLboolean valid = GL_FALSE;
            glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
            if (!valid) continue;
            glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        }
        const GlyphRaster& t = text.Composed;
        // Where glBitmap puts the composed text: its raster position plus a
        // ten-thousandth, less the origin, rounded down.
        const int left = static_cast<int>(std::floor((position[0] + 0.0001f) - static_cast<float>(t.XOrig)));
        const int bottom = static_cast<int>(std::floor((position[1] + 0.0001f) - static_cast<float>(t.YOrig)));
        if (left + text.X0 >= width || bottom + text.Y0 >= height || left + text.X1 <= 0 || bottom + text.Y1 <= 0) continue;
        if (left_[i] < 0) {
            apart.push_back({position[0], position[1], &t});
            continue;
        }
        const GLint x0 = left + text.X0, y0 = bottom + text.Y0, x1 = left + text.X1, y1 = bottom + text.Y1;
        corners.insert(corners.end(), {x0, y0, x1, y0, x1, y1, x0, y1});
        const GLfloat u0 = static_cast<GLfloat>(left_[i]) / across;
        const GLfloat u1 = static_cast<GLfloat>(left_[i] + text.X1 - text.X0) / across;
        const GLfloat v0 = static_cast<GLfloat>(bottom_[i]) / up;
        const GLfloat v1 = static_cast<GLfloat>(bottom_[i] + text.Y1 - text.Y0) / up;
        texels.insert(texels.end(), {u0, v0, u1, v0, u1, v1, u0, v1});
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const Apart& text : apart) {
        glWindowPos2f(text.X, text.Y);
        Bitmap(*text.Text);
    }
    if (corners.empty()) return;
    // In window pixels, each texel that is set painted in the colour.
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_LIGHTING_BIT);
    {
        const WindowPixels pixels(width, height);
        if (BlendingChangesNothing()) glDisable(GL_BLEND);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0);
        glShadeModel(GL_FLAT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_INT, 0, corners.data());
        glTexCoordPointer(2, GL_FLOAT, 0, texels.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners.size() / 2));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glPopAttrib();
}

bool BuildGlyphSets() {
    const bool small = BuildGlyphSet(GlyphFace::Monospaced, DevicePixels(10), lists::Globe().GlyphSmall);
    const bool bold = BuildGlyphSet(GlyphFace::BoldSans, DevicePixels(12), lists::Globe().GlyphBold);
    return small && bold;
}

void SetInitialGlState(const ColourTheme& theme) {
    const Rgb background = theme.Get(Colour::ScreenBackground);
    glClearColor(background.Red, background.Green, background.Blue, 0.0f);
    glEnable(GL_BLEND);
    glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
    glMatrixMode(GL_MODELVIEW);
    glLineStipple(1, 0x0F0F);
}

void DrawTextSmall(const std::string& text) { DrawGlyphs(lists::Globe().GlyphSmall, text); }

void DrawTextBold(const std::string& text) { DrawGlyphs(lists::Globe().GlyphBold, text); }

void BuildStatusLine(unsigned list, const std::string& statusText, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glDeleteLists(list, 1);
    glNewList(list, GL_COMPILE);
    glRasterPos3f(65.0f * 2.0f / static_cast<float>(width) - 1.0f,
                  6.0f * 2.0f / static_cast<float>(height) - 1.0f, 0.0f);
    // The frame draws the status line with the bold set selected.
    // The grip, centre and list buttons take the last 60 px.
    DrawGlyphs(lists::Globe().GlyphBold, FitText(lists::Globe().GlyphBold, statusText, width - 65 - 64));
    glEndList();
}

void ShutdownGlyphSets() {
    DeleteGlyphSet(lists::Globe().GlyphSmall);
    DeleteGlyphSet(lists::Globe().GlyphBold);
}

}  // namespace kestrava
