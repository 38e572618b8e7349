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

class MapWindow;

class frmCompanion : public QWidget, public CompanionHost {
public:
    explicit frmCompanion(MapWindow& map);

    // Shows the window and gives its input line the keyboard; the first time
    // it is also laid out and placed near the map's lower-left corner.
    void ShowConsole();

    // CompanionHost: the output box here, the rest on the map window.
    void AddText(const std::string& text) override;
    void CentreMap(float latitude, float longitude, const std::string& label, bool zoomIn) override;
    void BuildAirportMarker(const std::string& code, float latitude, float longitude) override;
    void btnDownload(int network) override;
    bool OpenProfile(const std::string& address) override;

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

    MapWindow& map_;
    Companion console_;
    QPlainTextEdit* txtResponse;
    QLineEdit* txtInput;
    bool loaded_ = false;
    bool busy_ = false;    // a line is being answered
    std::string pending_;  // its answer so far, not yet in the box
};

}  // namespace kestrava
