#include "settings/settings_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/ini_file.h"
#include "formats/text.h"
#include "formats/viewer_lock.h"
#include "widgets/message_box.h"

#include <filesystem>

namespace kestrava {

namespace {

std::string PathOf(const QString& chosen) { return QFile::encodeName(chosen).toStdString(); }

QString FolderOf(const std::string& path) {
    return QFile::decodeName(std::filesystem::path(path).parent_path().string().c_str());
}

// The chosen file of an accepted dialog, or "" when it was cancelled.
QString Run(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("frmIniEd");
    setWindowTitle("Kestrava Settings Editor");
    setFixedSize(kEditorWidth, kEditorHeight);

    for (const ControlSpec& spec : EditorControls()) {
        QWidget* control = nullptr;
        const QString text = QString::fromUtf8(spec.Text);
        switch (spec.Kind) {
            case ControlKind::Frame:
                control = new QGroupBox(text, this);
                break;
            case ControlKind::Caption:
                control = new QLabel(text, this);
                break;
            case ControlKind::TextBox:
                control = new QLineEdit(this);
                break;
            case ControlKind::CheckBox:
                control = checks_[spec.Name] = new QCheckBox(text, this);
                break;
            case ControlKind::Button:
                control = new QPushButton(text, this);
                break;
            case ControlKind::ComboBox: {
                auto* combo = new QComboBox(this);
                for (const char* item : kHeadingItems) combo->addItem(item);
                combo->setCurrentIndex(0);
                control = combo;
                break;
            }
            case ControlKind::HelpLabel: {
                auto* label = new QLabel(this);
                label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setMargin(4);
                control = label;
                break;
            }
        }
        control->setObjectName(spec.Name);
        control->setGeometry(spec.At.X, spec.At.Y, spec.At.Width, spec.At.Height);
        controls_[spec.Name] = control;
        // Every control but the frames says what it is for; the combo
        // box has no help and empties the label.
        if (spec.Kind != ControlKind::Frame && spec.Kind != ControlKind::HelpLabel) {
            help_[control] = QString::fromUtf8(spec.Help);
            control->installEventFilter(this);
        }
    }
    auto box = [this](const char* name) { return static_cast<QLineEdit*>(controls_.at(name)); };
    txtIVAOID = box("txtIVAOID");
    txtVATSIMID = box("txtVATSIMID");
    txtInterval = box("txtInterval");
    txtTimeout = box("txtTimeout");
    txtProxy = box("txtProxy");
    txtScheme = box("txtScheme");
    cmdBrowse = static_cast<QPushButton*>(controls_.at("cmdBrowse"));
    cmdSave = static_cast<QPushButton*>(controls_.at("cmdSave"));
    cmbHdg = static_cast<QComboBox*>(controls_.at("cmbHdg"));
    lblH = static_cast<QLabel*>(controls_.at("lblH"));

    // Nothing to save until a file or the defaults are in the window.
    cmdSave->setEnabled(false);
    cmdBrowse->setEnabled(false);

    auto* load = static_cast<QPushButton*>(controls_.at("cmdLoad"));
    auto* defaults = static_cast<QPushButton*>(controls_.at("cmdDefaults"));
    connect(load, &QPushButton::clicked, this, [this] { Load(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { Save(); });
    connect(defaults, &QPushButton::clicked, this, [this] { Defaults(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { BrowseScheme(); });
}

void SettingsWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (started_) return;
    started_ = true;
    QTimer::singleShot(0, this, [this] { Load(); });
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        auto help = help_.find(watched);
        if (help != help_.end()) lblH->setText(help->second);
    }
    return QWidget::eventFilter(watched, event);
}

std::string SettingsWindow::DialogStartFile() const {
    if (!lastPath_.empty()) return lastPath_;
    // The file the viewer saves: the user's own where the program is installed.
    const std::string own = WritePath("kestrav.ini");
    return own.empty() ? ReadPath("kestrav.ini") : own;
}

void SettingsWindow::ShowForm(const SettingsForm& form) {
    txtIVAOID->setText(QString::fromStdString(form.IvaoId));
    txtVATSIMID->setText(QString::fromStdString(form.VatsimId));
    txtInterval->setText(QString::fromStdString(form.Interval));
    txtTimeout->setText(QString::fromStdString(form.Timeout));
    txtProxy->setText(QString::fromStdString(form.Proxy));
    txtScheme->setText(QString::fromStdString(form.Scheme));
    for (auto& [name, box] : checks_) {
        auto checked = form.Checked.find(name);
        box->setChecked(checked != form.Checked.end() && checked->second);
    }
    cmbHdg->setCurrentIndex(form.Heading);
    static_cast<QLabel*>(controls_.at("lblLive"))->setText(QString::fromStdString(form.Live));
}

SettingsForm SettingsWindow::FormOnScreen() const {
    SettingsForm form;
    form.IvaoId = txtIVAOID->text().toStdString();
    form.VatsimId = txtVATSIMID->text().toStdString();
    form.Interval = txtInterval->text().toStdString();
    form.Timeout = txtTimeout->text().toStdString();
    form.Proxy = txtProxy->text().toStdString();
    form.Scheme = txtScheme->text().toStdString();
    for (const auto& [name, box] : checks_) form.Checked[name] = box->isChecked();
    form.Heading = cmbHdg->currentIndex();
    return form;
}

void SettingsWindow::StartEditing() {
    editing_ = true;
    cmdSave->setEnabled(true);
    cmdBrowse->setEnabled(true);
}

void SettingsWindow::Load() {
    QFileDialog dialog(this, "Browse for kestrav.ini", FolderOf(DialogStartFile()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("kestrav.ini (kestrav.ini)");
    dialog.setDefaultSuffix("ini");
    dialog.selectFile("kestrav.ini");
    const QString chosen = Run(dialog);
    IniFile ini;
    bool read = false;
    if (!chosen.isEmpty()) {
        read = ini.Load(PathOf(chosen));
        if (!read) ReportError(this, chosen + " could not be read. Nothing was loaded.");
    }
    if (!read) {
        // A window still empty takes the defaults; a loaded one keeps its values.
        lastPath_.clear();
        if (!editing_) Defaults();
        return;
    }
    lastPath_ = PathOf(chosen);
    edited_ = ReadEditorSettings(ini);
    ShowForm(FormFromSettings(edited_));
    StartEditing();
    Inform(this, "File was loaded");
}

void SettingsWindow::Save() {
    std::string refusal;
    if (!SettingsFromForm(FormOnScreen(), edited_, refusal)) {
        ReportError(this, QString::fromStdString(refusal));
        return;
    }
    QFileDialog dialog(this, "Save kestrav.ini", FolderOf(DialogStartFile()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The keys are updated in place; nothing else of the file is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter("kestrav.ini (kestrav.ini)");
    dialog.setDefaultSuffix("ini");
    dialog.selectFile("kestrav.ini");
    const QString chosen = Run(dialog);
    if (chosen.isEmpty()) return;
    const std::string path = PathOf(chosen);
    IniFile ini;
    if (!ini.Load(path)) {
        ReportError(this, chosen + " could not be read, so it was not changed. Nothing was saved.");
        return;
    }
    WriteEditorSettings(ini, edited_);
    if (!ini.Save(path)) {
        ReportError(this, chosen + " could not be written. The file was not changed.");
        return;
    }
    lastPath_ = path;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    if (ViewerRunsIn(folder))
        Inform(this, "File was saved",
               "Kestrava is running from this folder. It writes its settings when it closes, which "
               "overwrites these values; close Kestrava and save again to keep them.");
    else
        Inform(this, "File was saved");
}

void SettingsWindow::Defaults() {
    edited_ = ReadEditorSettings(IniFile());
    ShowForm(FormFromSettings(edited_));
    StartEditing();
    Inform(this, "Defaults loaded");
}

void SettingsWindow::BrowseScheme() {
    const std::string settingsPath = DialogStartFile();
    const QString colours = FolderOf(settingsPath) + "/colours";
    QFileDialog dialog(this, "Select the colour scheme", colours);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({"Kestrava Colour Settings (*.dc)", "All files (*)"});
    dialog.setDefaultSuffix("dc");
    const QString chosen = Run(dialog);
    if (chosen.isEmpty()) return;
    // Only the scheme changes; other edits in the window stay.
    const QString scheme = QString::fromStdString(SchemeOfChosenFile(chosen.toStdString()));
    txtScheme->setText(scheme);
    if (SchemeOutsideViewerColours(PathOf(chosen), settingsPath))
        Inform(this, scheme + " does not lie in Kestrava's colours folder.",
               "The viewer looks for colour schemes only in " + colours +
                   "; copy the file there for it to be used.");
}

}  // namespace kestrava
