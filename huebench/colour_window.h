// The colour editor's window: the File menu, theme name and author, the list
// of the 27 entries with the swatch and its RRGGBB text, and the mock-up.
// Themes are read and written by formats/colour_theme.h; the window only
// shows them.
#pragma once

#include <QWidget>

#include "formats/colour_theme.h"
#include "huebench/mock_up.h"

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrava {

class ColourWindow : public QWidget {
public:
    explicit ColourWindow(QWidget* parent = nullptr);

    // "Open...": the file dialog, then OpenFile.
    void Open();
    // Reads the theme; false (with a message) leaves the window as it was.
    bool OpenFile(const QString& path);
    // "Save As...": true when the theme was written.
    bool SaveAs();
    // A click on the swatch: the colour dialog on the swatch's colour.
    void ChooseColour();
    // A colour chosen for the selected entry: entry, swatch, lblHex and
    // mock-up change at once.
    void ApplyColour(const QColor& colour);

    const MockUpView* MockUp() const { return mockUp_; }

protected:
    // Closing with unsaved changes asks whether to save them.
    void closeEvent(QCloseEvent* event) override;

private:
    // The selected entry, or -1.
    int SelectedEntry() const;
    void ShowSelection();
    void ShowTheme();
    void RememberSaved();
    bool Modified() const;
    // Asks about unsaved changes; false when the user cancels.
    bool ChangesSettled();

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QComboBox* cb = nullptr;
    QPushButton* sc = nullptr;
    QLabel* lblHex = nullptr;
    MockUpView* mockUp_ = nullptr;

    ThemeDocument document_;
    std::string openedPath_;  // the file last opened or saved
    // The theme as last opened or saved, to tell unsaved changes.
    QString savedName_;
    QString savedAuthor_;
    ThemeColours savedColours_{};
};

}  // namespace kestrava
