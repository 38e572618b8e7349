#include "kestrav/companion/frm_companion.h"

#include "formats/text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QWindow>

#include <cmath>
#include <utility>

namespace kestrava {

namespace {

constexpr int kInitialWidth = 400;  // pixels: below the centre of the smallest map
constexpr int kInitialHeight = 240;
constexpr double kMapMargin = 120;  // twips from the map's left and bottom edges

// Windows-1252 text with CR LF line ends as the box shows it: one "\n" per
// line end, and NULs (which a fetched file may hold) as blanks.
QString BoxText(std::string_view text) {
    QString shown = QString::fromStdString(Cp1252ToUtf8(text));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    shown.replace(QChar(0), QChar(' '));
    return shown;
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
}

}  // namespace

frmCompanion::frmCompanion(NetworkModel& model, ViewerActions& viewer, QWindow& map, double twipsPerPixel,
                           WeatherOptions weather)
    : map_(map),
      twipsPerPixel_(twipsPerPixel),
      console_{model, viewer, *this, std::move(weather), {}},
      txtResponse(new QPlainTextEdit(this)),
      txtInput(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Kestrava Companion"));
    setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    setObjectName(QStringLiteral("frmCompanion"));
    txtResponse->setObjectName(QStringLiteral("txtResponse"));
    txtInput->setObjectName(QStringLiteral("txtInput"));

    txtResponse->setReadOnly(true);
    txtResponse->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtResponse->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtResponse->setUndoRedoEnabled(false);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    txtResponse->setFont(font);
    SetBackground(txtResponse, Qt::white);
    SetBackground(txtInput, QColor(224, 224, 224));
    txtInput->installEventFilter(this);
    resize(kInitialWidth, kInitialHeight);
}

void frmCompanion::ShowConsole() {
    if (!loaded_) Load();
    show();
    raise();
    activateWindow();
    txtInput->setFocus();
}

void frmCompanion::Load() {
    loaded_ = true;
    // Owned by the map window, above every other window.
    winId();
    if (QWindow* handle = windowHandle()) handle->setTransientParent(&map_);
    LayOut();
    txtResponse->setPlainText(BoxText(kWelcomeText));
    // Near the map's lower-left corner, frame included.
    const int margin = static_cast<int>(std::lround(kMapMargin / twipsPerPixel_));
    const int frameHeight = frameGeometry().height();
    move(map_.x() + margin, map_.y() + map_.height() - frameHeight - margin);
}

void frmCompanion::LayOut() {
    const int w = width(), h = height();
    const int inputHeight = txtInput->sizeHint().height();
    if (h > inputHeight) txtResponse->setGeometry(0, 0, w, h - inputHeight);
    txtInput->setGeometry(0, txtResponse->height(), w, inputHeight);
}

void frmCompanion::resizeEvent(QResizeEvent*) { LayOut(); }

void frmCompanion::closeEvent(QCloseEvent* event) {
    // Closing only hides: the text and the recall line stay.
    event->ignore();
    hide();
}

bool frmCompanion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtInput && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EnterLine();
            return true;
        }
        if (key == Qt::Key_Up) {
            RecallLine();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCompanion::EnterLine() {
    if (busy_) return;
    busy_ = true;
    txtInput->setReadOnly(true);
    const std::string line = Trim(Utf8ToCp1252(txtInput->text().toStdString()));
    if (!line.empty()) ReadText(console_, line);
    ShowPendingText();
    QCoreApplication::processEvents();
    txtInput->clear();
    txtInput->setReadOnly(false);
    busy_ = false;
}

void frmCompanion::RecallLine() {
    if (console_.RecallLine.empty()) return;
    txtInput->setText(QString::fromStdString(Cp1252ToUtf8(console_.RecallLine)));
    txtInput->end(false);
}

void frmCompanion::AddText(const std::string& text) {
    // While a line is answered its text is gathered and shown in one piece
    // when the command ends: a find of 2000 lines would otherwise lay the
    // box out 2000 times.
    pending_ += "\r\n";
    pending_ += text;
    if (!busy_) ShowPendingText();
}

void frmCompanion::ShowPendingText() {
    if (pending_.empty()) return;
    QTextCursor cursor(txtResponse->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(BoxText(pending_));
    pending_.clear();
    txtResponse->moveCursor(QTextCursor::End);
    txtResponse->ensureCursorVisible();
}

}  // namespace kestrava
