// frmCompanion: the Companion console's window, "Kestrava Companion". An
// output box txtResponse (plain text, read-only) over an input line
// txtInput; Enter hands the line to the console, Up recalls the last one.
// Top-most and owned by the map window; closing it only hides it, so its
// text and recall line live as long as the program.
#pragma once

#include "kestrav/companion/console.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

namespace kestrava {

// The console's window, owned by the map window (`map`, which it stays
// above and opens near) and asking the viewer through its port.
class frmCompanion : public QWidget, public ConsoleOutput {
public:
    frmCompanion(NetworkModel& model, ViewerActions& viewer, QWindow& map, double twipsPerPixel,
                 WeatherOptions weather);

    // Shows the window and gives its input line the keyboard; the first time
    // it is also laid out and placed near the map's lower-left corner.
    void ShowConsole();

    // ConsoleOutput: the output box.
    void AddText(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load();
    void LayOut();
    void EnterLine();
    void RecallLine();
    void ShowPendingText();

    QWindow& map_;
    double twipsPerPixel_;
    Companion console_;
    QPlainTextEdit* txtResponse;
    QLineEdit* txtInput;
    bool loaded_ = false;
    bool busy_ = false;    // a line is being answered
    std::string pending_;  // its answer so far, not yet in the box
};

}  // namespace kestrava
