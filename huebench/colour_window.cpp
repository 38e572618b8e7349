#include "huebench/colour_window.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/text.h"
#include "formats/typed_text.h"
#include "huebench/layout.h"
#include "widgets/message_box.h"

namespace kestrava {

namespace {

using namespace huebench;

void Place(QWidget* widget, const Box& box) { widget->setGeometry(box.X, box.Y, box.Width, box.Height); }

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

QString HexOf(ColourBytes colour) { return QString::fromStdString(ColourHex(colour)); }

const QStringList kThemeFilters{"Kestrava Colour Settings (*.dc)", "All files (*)"};

// The theme file dialogs of Open and Save As.
// Opens in the user's colours/ (the program folder's for a portable copy);
// an installed copy's shipped themes are one click away in the side bar.
void SetUpThemeDialog(QFileDialog& dialog) {
    const QString own = QFile::decodeName((Places().OwnFolder() + "/colours").c_str());
    dialog.setDirectory(own);
    if (Places().Installed()) {
        const QString shipped = QFile::decodeName(ProgramPath("colours").c_str());
        dialog.setSidebarUrls({QUrl::fromLocalFile(own), QUrl::fromLocalFile(shipped)});
    }
    dialog.setNameFilters(kThemeFilters);
    dialog.setDefaultSuffix("dc");
}

}  // namespace

ColourWindow::ColourWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Kestrava Colour Editor");
    setFixedSize(kWindowWidth, kWindowHeight);

    auto* menuBar = new QMenuBar(this);
    Place(menuBar, kMenuBar);
    QMenu* file = menuBar->addMenu("&File");
    QAction* open = file->addAction("&Open...");
    open->setShortcut(QKeySequence::Open);
    QAction* saveAs = file->addAction("Save &As...");
    saveAs->setShortcut(QKeySequence::SaveAs);
    QAction* close = file->addAction("&Close");
    connect(open, &QAction::triggered, this, [this] { Open(); });
    connect(saveAs, &QAction::triggered, this, [this] { SaveAs(); });
    connect(close, &QAction::triggered, this, [this] { this->close(); });

    auto* themeCaption = new QLabel("Theme:", this);
    Place(themeCaption, kThemeCaption);
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Place(Text1, kThemeBox);
    themeCaption->setBuddy(Text1);
    auto* authorCaption = new QLabel("Author:", this);
    Place(authorCaption, kAuthorCaption);
    Text2 = new QLineEdit(this);
    Text2->setObjectName("Text2");
    Place(Text2, kAuthorBox);
    authorCaption->setBuddy(Text2);

    cb = new QComboBox(this);
    cb->setObjectName("cb");
    Place(cb, kEntryList);
    cb->setMaxVisibleItems(kColourCount);
    for (Colour entry : EditorColourOrder()) cb->addItem(ColourKeyOf(entry).Label);
    cb->setCurrentIndex(-1);
    cb->setPlaceholderText("Choose a colour entry");

    sc = new QPushButton(this);
    sc->setObjectName("sc");
    Place(sc, kSwatch);
    sc->setFocusPolicy(Qt::StrongFocus);
    sc->setToolTip("Click to choose the colour");
    lblHex = new QLabel(this);
    lblHex->setObjectName("lblHex");
    Place(lblHex, kHexLabel);
    QFont hexFont = lblHex->font();
    hexFont.setFamily("DejaVu Sans Mono");
    hexFont.setPointSize(hexFont.pointSize() + 3);
    lblHex->setFont(hexFont);
    // The RRGGBB text can be selected and copied.
    lblHex->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* hint = new QLabel("Pick an entry, then click the swatch (or press Space on it) to choose its colour.",
                            this);
    hint->setWordWrap(true);
    Place(hint, kHint);

    mockUp_ = new MockUpView(this);
    mockUp_->setObjectName("mockUp");
    mockUp_->move(kMockUp.X, kMockUp.Y);

    connect(cb, &QComboBox::currentIndexChanged, this, [this] { ShowSelection(); });
    connect(sc, &QPushButton::clicked, this, [this] { ChooseColour(); });
    ShowTheme();
    RememberSaved();
}

int ColourWindow::SelectedEntry() const {
    const int index = cb->currentIndex();
    if (index < 0 || index >= kColourCount) return -1;
    return static_cast<int>(EditorColourOrder()[static_cast<size_t>(index)]);
}

void ColourWindow::ShowSelection() {
    const int entry = SelectedEntry();
    const ColourBytes colour = entry < 0 ? ColourBytes{} : document_.Colours[static_cast<size_t>(entry)];
    sc->setEnabled(entry >= 0);
    sc->setStyleSheet(QString("QPushButton { background-color: #%1; border: 1px solid palette(dark); }"
                              "QPushButton:focus { border: 2px dashed palette(highlight); }")
                          .arg(HexOf(colour)));
    lblHex->setText(HexOf(colour));
}

void ColourWindow::ShowTheme() {
    Text1->setText(FromCp1252(document_.Name));
    Text2->setText(FromCp1252(document_.Author));
    mockUp_->SetColours(document_.Colours);
    ShowSelection();
}

void ColourWindow::RememberSaved() {
    savedName_ = Text1->text();
    savedAuthor_ = Text2->text();
    savedColours_ = document_.Colours;
}

bool ColourWindow::Modified() const {
    return Text1->text() != savedName_ || Text2->text() != savedAuthor_ || document_.Colours != savedColours_;
}

bool ColourWindow::ChangesSettled() {
    if (!Modified()) return true;
    switch (AskToSaveChanges(this, "The colour theme has unsaved changes. Save them?")) {
        case QMessageBox::Save:
            return SaveAs();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void ColourWindow::ChooseColour() {
    const int entry = SelectedEntry();
    if (entry < 0) return;
    const ColourBytes current = document_.Colours[static_cast<size_t>(entry)];
    const QColor chosen = QColorDialog::getColor(QColor(current.Red, current.Green, current.Blue), this,
                                                 "Select colour");
    if (chosen.isValid()) ApplyColour(chosen);
}

void ColourWindow::ApplyColour(const QColor& colour) {
    const int entry = SelectedEntry();
    if (entry < 0) return;
    document_.Colours[static_cast<size_t>(entry)] = {static_cast<std::uint8_t>(colour.red()),
                                                      static_cast<std::uint8_t>(colour.green()),
                                                      static_cast<std::uint8_t>(colour.blue())};
    mockUp_->SetColours(document_.Colours);
    ShowSelection();
}

void ColourWindow::Open() {
    if (!ChangesSettled()) return;
    QFileDialog dialog(this, "Select colour scheme");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetUpThemeDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenFile(dialog.selectedFiles().front());
}

bool ColourWindow::OpenFile(const QString& path) {
    ThemeDocument opened;
    const std::string file = QFile::encodeName(path).toStdString();
    switch (OpenThemeDocument(file, opened)) {
        case ThemeFileResult::Done:
            break;
        case ThemeFileResult::TooLarge:
            ReportError(this, path + " is larger than 1 MiB, too large for a colour theme. The theme was not changed.");
            return false;
        case ThemeFileResult::NoTheme:
            ReportError(this, path + " holds no colour theme: no colour key, theme name or author. "
                                     "The theme was not changed.");
            return false;
        default:
            ReportError(this, path + " could not be read. The theme was not changed.");
            return false;
    }
    document_ = std::move(opened);
    openedPath_ = file;
    ShowTheme();
    RememberSaved();
    return true;
}

bool ColourWindow::SaveAs() {
    ThemeDocument saved = document_;
    const struct {
        QLineEdit* Box;
        const char* Caption;
        std::string* Into;
    } boxes[] = {{Text1, "Theme", &saved.Name}, {Text2, "Author", &saved.Author}};
    for (const auto& box : boxes) {
        const TypedTextFault fault = CheckTypedText(box.Box->text().toStdString(), *box.Into);
        if (fault != TypedTextFault::None) {
            ReportError(this, QString::fromStdString(TypedTextMessage(box.Caption, fault)));
            return false;
        }
    }
    QFileDialog dialog(this, "Select colour scheme");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    SetUpThemeDialog(dialog);
    if (!openedPath_.empty()) dialog.selectFile(QFileInfo(QFile::decodeName(openedPath_.c_str())).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().front();
    const std::string file = QFile::encodeName(path).toStdString();
    if (SaveThemeDocument(file, saved) != ThemeFileResult::Done) {
        ReportError(this, path + " could not be written. Nothing was saved; any earlier file stays as it was.");
        return false;
    }
    document_ = std::move(saved);
    openedPath_ = file;
    RememberSaved();
    return true;
}

void ColourWindow::closeEvent(QCloseEvent* event) {
    if (ChangesSettled())
        event->accept();
    else
        event->ignore();
}

}  // namespace kestrava
