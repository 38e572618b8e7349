#include "huebench/mock_up.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace kestrava {

namespace {

// The map: the poles panel above the equator panel, as on the globe's upper
// half seen from the side.
constexpr QRect kPolesPanel(10, 34, 360, 102);
constexpr QRect kEquatorPanel(10, 136, 360, 102);
constexpr QRect kTitleBar(10, 8, 360, 20);
constexpr QRect kBottomBar(10, 246, 360, 24);
constexpr QRect kPopup(272, 198, 94, 34);
// Parallels from the equator (bottom) to the poles (top).
constexpr int kEquatorY = 228;
constexpr int kPolesY = 58;

constexpr QPoint kEbbr(42, 104);
constexpr QPoint kEddf(104, 122);
constexpr QPoint kEpwa(286, 96);
constexpr QPoint kLhbp(226, 188);
constexpr QPoint kMah378(160, 206);
constexpr QPoint kDlh123(176, 150);

class Painter {
public:
    Painter(QPainter& painter, const ThemeColours& colours, std::vector<MockUpElement>* elements)
        : p_(painter), colours_(colours), elements_(elements) {
        font_ = p_.font();
        font_.setFamily("DejaVu Sans");
        font_.setPixelSize(10);
        // Sharp glyphs, as the viewer's bitmap fonts: every text pixel has
        // its entry's exact colour.
        font_.setStyleStrategy(QFont::NoAntialias);
        p_.setFont(font_);
    }

    QColor Of(Colour entry) const {
        const ColourBytes& c = colours_[static_cast<size_t>(entry)];
        return QColor(c.Red, c.Green, c.Blue);
    }

    void Record(Colour entry, const QRegion& area) {
        if (elements_) elements_->push_back({entry, area});
    }

    void Fill(const QRect& rect, Colour entry) {
        p_.fillRect(rect, Of(entry));
        Record(entry, rect);
    }

    void Outline(const QRect& rect, Colour entry) {
        p_.setRenderHint(QPainter::Antialiasing, false);
        p_.setPen(QPen(Of(entry), 1));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(rect.adjusted(0, 0, -1, -1));
        Record(entry, QRegion(rect).subtracted(QRegion(rect.adjusted(1, 1, -1, -1))));
    }

    void Text(const QPoint& at, const QString& text, Colour entry) {
        p_.setPen(Of(entry));
        p_.drawText(at, text);
        Record(entry, QFontMetrics(font_).boundingRect(text).translated(at).adjusted(-1, -1, 1, 1));
    }

    void Stroke(const QPolygon& line, Colour entry, double width) {
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(QPen(Of(entry), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.drawPolyline(line);
        Record(entry, line.boundingRect().adjusted(-3, -3, 3, 3));
    }

    void Area(const QPolygon& shape, Colour fill, Colour border) {
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(Qt::NoPen);
        p_.setBrush(Of(fill));
        p_.drawPolygon(shape);
        Record(fill, shape.boundingRect().adjusted(-2, -2, 2, 2));
        p_.setPen(QPen(Of(border), 1.5));
        p_.setBrush(Qt::NoBrush);
        p_.drawPolygon(shape);
        Record(border, shape.boundingRect().adjusted(-2, -2, 2, 2));
    }

    // A controller's circle, shaded from its centre colour outwards.
    void Circle(const QPoint& centre, int radius, Colour inner, Colour outer, Colour border) {
        QRadialGradient shade(centre, radius);
        shade.setColorAt(0.0, Of(inner));
        shade.setColorAt(0.5, Of(inner));
        shade.setColorAt(0.8, Of(outer));
        shade.setColorAt(1.0, Of(outer));
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(QPen(Of(border), 1.5));
        p_.setBrush(shade);
        p_.drawEllipse(centre, radius, radius);
        const QRect bounds(centre.x() - radius - 2, centre.y() - radius - 2, 2 * radius + 5, 2 * radius + 5);
        Record(inner, bounds);
        Record(outer, bounds);
        Record(border, bounds);
    }

    void Airport(const QPoint& at, const QString& code, Colour entry, bool outlined = false) {
        const QRect mark(at.x() - 3, at.y() - 3, 7, 7);
        if (outlined) {
            p_.setRenderHint(QPainter::Antialiasing, false);
            p_.setPen(QPen(Of(entry), 2));
            p_.setBrush(Qt::NoBrush);
            p_.drawRect(mark.adjusted(1, 1, -1, -1));
            Record(entry, mark.adjusted(-1, -1, 1, 1));
        } else {
            Fill(mark, entry);
        }
        Text(at + QPoint(6, -6), code, entry);
    }

    // An aircraft arrow pointing along `heading` degrees, with its callsign.
    void Aircraft(const QPoint& at, double heading, const QString& callsign) {
        QPolygonF arrow({{0, -9}, {6, 7}, {0, 3}, {-6, 7}});
        QTransform turn;
        turn.translate(at.x(), at.y()).rotate(heading);
        const QPolygon shape = turn.map(arrow).toPolygon();
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setPen(Qt::NoPen);
        p_.setBrush(Of(Colour::PlaneFill));
        p_.drawPolygon(shape);
        p_.setPen(QPen(Of(Colour::PlaneBorder), 1.2));
        p_.setBrush(Qt::NoBrush);
        p_.drawPolygon(shape);
        const QRect bounds = shape.boundingRect().adjusted(-2, -2, 2, 2);
        Record(Colour::PlaneFill, bounds);
        Record(Colour::PlaneBorder, bounds);
        Text(at + QPoint(9, 14), callsign, Colour::PlaneLabel);
    }

    void Grid() {
        // Blended by latitude as on the globe: parallels in their latitude's
        // colour, meridians in steps between them.
        p_.setRenderHint(QPainter::Antialiasing, false);
        const QColor equator = Of(Colour::GridEquator), poles = Of(Colour::GridPoles);
        auto blend = [&](double y) {
            const double t = (kEquatorY - y) / (kEquatorY - kPolesY);
            return QColor(qRound(equator.red() + t * (poles.red() - equator.red())),
                          qRound(equator.green() + t * (poles.green() - equator.green())),
                          qRound(equator.blue() + t * (poles.blue() - equator.blue())));
        };
        constexpr int kStep = 34;
        for (int y = kEquatorY; y > kPolesY; y -= kStep) {
            p_.setPen(QPen(blend(y - kStep / 2.0), 1));
            for (int x = 40; x < kPolesPanel.right(); x += 60) p_.drawLine(x, y - 1, x, y - kStep + 1);
        }
        for (int y = kEquatorY; y >= kPolesY; y -= kStep) {
            p_.setPen(QPen(blend(y), 1));
            p_.drawLine(kPolesPanel.left(), y, kPolesPanel.right(), y);
        }
        const QRect area(kPolesPanel.left(), kPolesY - 1, kPolesPanel.width(), kEquatorY - kPolesY + 3);
        Record(Colour::GridEquator, area);
        Record(Colour::GridPoles, area);
    }

private:
    QPainter& p_;
    const ThemeColours& colours_;
    std::vector<MockUpElement>* elements_;
    QFont font_;
};

}  // namespace

void DrawMockUp(QPainter& painter, const ThemeColours& colours, std::vector<MockUpElement>* elements) {
    painter.save();
    Painter p(painter, colours, elements);

    // The screen around the globe, the globe's two panels and its grid.
    painter.fillRect(QRect(0, 0, kMockUpWidth, kMockUpHeight), p.Of(Colour::ScreenBackground));
    p.Record(Colour::ScreenBackground, QRegion(0, 0, kMockUpWidth, kMockUpHeight)
                                           .subtracted(kPolesPanel.united(kEquatorPanel))
                                           .subtracted(kTitleBar)
                                           .subtracted(kBottomBar));
    p.Fill(kPolesPanel, Colour::GlobePoles);
    p.Fill(kEquatorPanel, Colour::GlobeEquator);
    p.Grid();

    // Coasts and borders.
    p.Stroke(QPolygon({{12, 66}, {40, 60}, {64, 72}, {92, 58}, {128, 64}, {168, 50}, {206, 62}, {250, 54},
                       {300, 64}, {366, 52}}),
             Colour::CoastPoles, 2);
    p.Stroke(QPolygon({{12, 214}, {44, 206}, {76, 220}, {104, 210}, {132, 232}}), Colour::CoastEquator, 2);
    p.Stroke(QPolygon({{196, 234}, {204, 212}, {236, 222}, {262, 206}, {300, 214}, {340, 200}, {366, 206}}),
             Colour::CoastEquator, 2);
    p.Stroke(QPolygon({{70, 40}, {78, 92}, {66, 140}, {82, 196}}), Colour::CountryBorders, 1.5);
    p.Stroke(QPolygon({{190, 70}, {184, 124}, {204, 172}, {196, 228}}), Colour::CountryBorders, 1.5);
    p.Stroke(QPolygon({{332, 72}, {322, 132}, {350, 176}}), Colour::CountryBorders, 1.5);

    // Controlled airspace: two CTR sectors, then approach and tower circles.
    p.Area(QPolygon({{56, 80}, {148, 74}, {162, 150}, {92, 170}, {52, 132}}), Colour::CTRFill, Colour::CTRBorder);
    p.Area(QPolygon({{232, 62}, {330, 70}, {342, 130}, {300, 152}, {238, 132}}), Colour::CTRFill,
           Colour::CTRBorder);
    for (const QPoint& airport : {kEddf, kEpwa}) {
        p.Circle(airport, 30, Colour::APPFillCenter, Colour::APPFillOut, Colour::APPBorder);
        p.Circle(airport, 13, Colour::TWRFillCenter, Colour::TWRFillOut, Colour::TWRBorder);
    }

    // Airports, the highlighted route and the traffic.
    p.Airport(kEbbr, "EBBR", Colour::Airports);
    p.Airport(kEddf, "EDDF", Colour::ATCLabel);
    p.Airport(kEpwa, "EPWA", Colour::ATCLabel);
    p.Stroke(QPolygon({kLhbp, kDlh123}), Colour::Highlight, 1.5);
    p.Airport(kLhbp, "LHBP", Colour::Highlight, true);
    p.Aircraft(kMah378, 60, "MAH378");
    p.Aircraft(kDlh123, 150, "DLH123");

    // A popup over the map.
    p.Fill(kPopup, Colour::WindowBackground);
    p.Outline(kPopup, Colour::WindowShading);
    p.Text(kPopup.topLeft() + QPoint(6, 14), "DLH123", Colour::ScreenBorder);
    p.Text(kPopup.topLeft() + QPoint(6, 27), "EDDF-LHBP", Colour::ScreenBorder);

    // The window frame: title bar and bottom bar with the network marks.
    p.Fill(kTitleBar, Colour::WindowShading);
    p.Outline(kTitleBar, Colour::ScreenBorder);
    p.Text(kTitleBar.topLeft() + QPoint(8, 14), "Kestrava", Colour::ScreenBorder);
    p.Fill(kBottomBar, Colour::WindowShading);
    p.Outline(kBottomBar, Colour::ScreenBorder);
    p.Fill(QRect(kBottomBar.left() + 8, kBottomBar.top() + 7, 10, 10), Colour::IVAO);
    p.Text(kBottomBar.topLeft() + QPoint(22, 16), "IVAO", Colour::IVAO);
    p.Fill(QRect(kBottomBar.left() + 64, kBottomBar.top() + 7, 10, 10), Colour::VATSIM);
    p.Text(kBottomBar.topLeft() + QPoint(78, 16), "VATSIM", Colour::VATSIM);
    painter.restore();
}

MockUpView::MockUpView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kMockUpWidth, kMockUpHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MockUpView::SetColours(const ThemeColours& colours) {
    colours_ = colours;
    update();
}

void MockUpView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawMockUp(painter, colours_);
    ++paints_;
}

}  // namespace kestrava
