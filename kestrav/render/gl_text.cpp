#include "gl_text.h"

#include "display_lists.h"
#include "formats/text.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

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

// One glyph as a glBitmap: rows from the bottom up, 1 bit per pixel.
void CompileGlyph(const QFont& font, const QFontMetrics& metrics, unsigned list, unsigned char code) {
    glNewList(list, GL_COMPILE);
    if (code >= 32) {
        const std::string utf8 = Cp1252ToUtf8(std::string(1, static_cast<char>(code)));
        const QString character = QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
        const int advance = metrics.horizontalAdvance(character);
        const int ascent = metrics.ascent();
        const int descent = metrics.descent();
        const QRect bounds = metrics.boundingRect(character);
        const int left = std::min(0, bounds.left());
        const int width = std::max(advance, bounds.right() + 1) - left;
        const int height = ascent + descent;
        if (width > 0 && height > 0) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(Qt::black);
            {
                QPainter painter(&image);
                painter.setFont(font);
                painter.setPen(Qt::white);
                painter.drawText(-left, ascent, character);
            }
            const int rowBytes = (width + 7) / 8;
            std::vector<GLubyte> bits(static_cast<size_t>(rowBytes * height), 0);
            for (int y = 0; y < height; ++y) {
                const int row = height - 1 - y;
                for (int x = 0; x < width; ++x)
                    if (qRed(image.pixel(x, y)) > 127)
                        bits[static_cast<size_t>(row * rowBytes + x / 8)] |=
                            static_cast<GLubyte>(0x80 >> (x % 8));
            }
            glBitmap(width, height, static_cast<GLfloat>(-left), static_cast<GLfloat>(descent),
                     static_cast<GLfloat>(advance), 0, bits.data());
        } else {
            glBitmap(0, 0, 0, 0, static_cast<GLfloat>(advance), 0, nullptr);
        }
    }
    glEndList();
}

}  // namespace

bool BuildGlyphSet(GlyphFace face, int pixelSize, unsigned base) {
    const QFont font = MakeFont(face, pixelSize);
    const QFontMetrics metrics(font);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (unsigned code = 0; code < lists::kGlyphCount; ++code)
        CompileGlyph(font, metrics, base + code, static_cast<unsigned char>(code));
    return glIsList(base + 'A') == GL_TRUE;
}

void DeleteGlyphSet(unsigned base) { glDeleteLists(base, lists::kGlyphCount); }

void DrawGlyphs(unsigned base, const std::string& text) {
    if (text.empty()) return;
    glListBase(base);
    for (unsigned char c : text) glCallLists(1, GL_UNSIGNED_BYTE, &c);
}

bool BuildGlyphSets() {
    const bool small = BuildGlyphSet(GlyphFace::Monospaced, 10, lists::kGlyphSmallBase);
    const bool bold = BuildGlyphSet(GlyphFace::BoldSans, 12, lists::kGlyphBoldBase);
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

void DrawTextSmall(const std::string& text) { DrawGlyphs(lists::kGlyphSmallBase, text); }

void DrawTextBold(const std::string& text) { DrawGlyphs(lists::kGlyphBoldBase, text); }

void BuildStatusLine(const std::string& statusText, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glDeleteLists(lists::kStatusLine, 1);
    glNewList(lists::kStatusLine, GL_COMPILE);
    glRasterPos3f(65.0f * 2.0f / static_cast<float>(width) - 1.0f,
                  6.0f * 2.0f / static_cast<float>(height) - 1.0f, 0.0f);
    for (unsigned char c : statusText) glCallLists(1, GL_UNSIGNED_BYTE, &c);
    glEndList();
}

void ShutdownGlyphSets() {
    DeleteGlyphSet(lists::kGlyphSmallBase);
    DeleteGlyphSet(lists::kGlyphBoldBase);
}

}  // namespace kestrava
