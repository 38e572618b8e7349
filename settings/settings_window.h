// frmIniEd, the settings editor's window: loads kestrav.ini, shows its
// values, and saves them back. The values and their rules live in
// settings_form.h; this class only moves them to and from the controls.
#pragma once

#include <QWidget>

#include "formats/settings.h"
#include "settings/settings_form.h"

#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kestrava {

class SettingsWindow : public QWidget {
public:
    explicit SettingsWindow(QWidget* parent = nullptr);

    // The actions of the three buttons and of cmdBrowse.
    void Load();
    void Save();
    void Defaults();
    void BrowseScheme();

protected:
    // The first paint starts the first Load.
    void paintEvent(QPaintEvent* event) override;
    // The pointer entering a control shows its help text.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowForm(const SettingsForm& form);
    SettingsForm FormOnScreen() const;
    void StartEditing();
    // The file the dialogs start at: the last chosen one, else the program
    // folder's kestrav.ini.
    std::string DialogStartFile() const;

    std::map<std::string, QWidget*> controls_;
    std::map<QObject*, QString> help_;
    std::map<std::string, QCheckBox*> checks_;
    QLineEdit* txtIVAOID = nullptr;
    QLineEdit* txtVATSIMID = nullptr;
    QLineEdit* txtInterval = nullptr;
    QLineEdit* txtTimeout = nullptr;
    QLineEdit* txtProxy = nullptr;
    QLineEdit* txtScheme = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QComboBox* cmbHdg = nullptr;
    QPushButton* cmdSave = nullptr;
    QLabel* lblH = nullptr;

    Settings edited_;        // the editor's copy of the values
    std::string lastPath_;   // the last file chosen in a dialog
    bool editing_ = false;   // a file or the defaults are in the window
    bool started_ = false;
};

}  // namespace kestrava
