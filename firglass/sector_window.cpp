#include "firglass/sector_window.h"

#include "firglass/layout.h"
#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/text.h"
#include "widgets/message_box.h"

#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace kestrava::firglass {

namespace {

QString FromCp1252(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

// A path for the file functions, and for the status line.
std::string FilePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
std::string ShownPath(const QString& path) { return Utf8ToCp1252(path.toStdString()); }

void Place(QWidget* widget, const Box& box) { widget->setGeometry(box.X, box.Y, box.Width, box.Height); }

}  // namespace

SectorWindow::SectorWindow() {
    setWindowTitle(kWindowTitle);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kStartWidth, kStartHeight);

    surface_ = new GlobeSurface;
    pic = QWidget::createWindowContainer(surface_, this);
    pic->setObjectName("pic");
    surface_->OnReadout = [this](const std::string& text) { ShowStatus(text); };

    lstSectors = new QListWidget(this);
    lstSectors->setObjectName("lstSectors");
    lstSectors->setUniformItemSizes(true);
    connect(lstSectors, &QListWidget::itemChanged, this, [this] { RebuildTicked(); });

    cmdCoastlines = new QPushButton("Load Coastlines...", this);
    cmdCountries = new QPushButton("Load Countries...", this);
    cmdSectors = new QPushButton("Load Sectors...", this);
    cmdCoastlines->setObjectName("cmdCoastlines");
    cmdCountries->setObjectName("cmdCountries");
    cmdSectors->setObjectName("cmdSectors");
    connect(cmdCoastlines, &QPushButton::clicked, this, [this] { LoadLinesClicked(LineFile::Coastlines); });
    connect(cmdCountries, &QPushButton::clicked, this, [this] { LoadLinesClicked(LineFile::Countries); });
    connect(cmdSectors, &QPushButton::clicked, this, [this] { LoadSectorsClicked(); });

    lblStatus = new QLabel(kWelcomeText, this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setTextFormat(Qt::PlainText);
}

bool SectorWindow::StartUp() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    surface_->TwipsPerPixel = static_cast<float>(1440.0 / (dpi > 0 ? dpi : 96.0));
    surface_->Input.View = Camera{0, 0, 0.5f};
    winId();  // the window and the picture's surface inside it
    if (!surface_->InitOpenGL()) {
        ReportError(nullptr, kOpenGLFailedText);
        return false;
    }
    show();
    // The first frame comes with the picture's first expose event.
    surface_->Draw();
    return true;
}

void SectorWindow::resizeEvent(QResizeEvent*) {
    const WindowLayout l = LayoutFor(width(), height());
    Place(pic, l.Picture);
    Place(lstSectors, l.List);
    Place(cmdCoastlines, l.Coastlines);
    Place(cmdCountries, l.Countries);
    Place(cmdSectors, l.Sectors);
    Place(lblStatus, l.Status);
}

void SectorWindow::ShowStatus(const std::string& text) {
    lblStatus->setText(FromCp1252(text));
    lblStatus->repaint();
}

std::string SectorWindow::StatusText() const { return Utf8ToCp1252(lblStatus->text().toStdString()); }

QString SectorWindow::AskForFile(const char* name, const std::string& folder) {
    const QString fileName = QString::fromLatin1(name);
    QFileDialog dialog(this, "Browse for " + fileName, QFile::decodeName(folder.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(fileName + " (" + fileName + ")");
    dialog.setDefaultSuffix("dat");
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void SectorWindow::LoadLinesClicked(LineFile file) {
    // The data/ folder that holds the file the viewer reads.
    const std::string shown = ReadPath(std::string("data/") + InfoOf(file).Name);
    const QString path = AskForFile(InfoOf(file).Name, shown.substr(0, shown.rfind('/')));
    if (!path.isEmpty()) LoadLines(file, path);
}

void SectorWindow::LoadLines(LineFile file, const QString& path) {
    const std::string name = InfoOf(file).Name;
    ShowStatus(LoadingText(name));
    std::vector<LineSegment> segments;
    if (!FileExists(FilePath(path)) || !ReadLineSegments(FilePath(path), false, segments)) {
        ShowStatus(UnreadableText(ShownPath(path)));
        return;
    }
    if (!surface_->MakeCurrent()) return;
    surface_->Lists.BuildLines(file, segments);
    ShowStatus(LinesLoadedText(name, segments.size()));
    surface_->Draw();
    (file == LineFile::Coastlines ? cmdCoastlines : cmdCountries)->setEnabled(false);
}

void SectorWindow::LoadSectorsClicked() {
    const QString path = AskForFile("firlist.dat", Places().OwnFolder());  // where the converter writes
    if (!path.isEmpty()) LoadSectors(path);
}

void SectorWindow::LoadSectors(const QString& path) {
    const std::string listPath = FilePath(path);
    if (!FileExists(DisplayPathFor(listPath))) {
        ReportError(this, kDisplayMissingText);
        return;
    }
    ShowStatus(kLoadingDisplayText);
    SectorPair pair;
    switch (ReadSectorPair(listPath, pair)) {
        case PairRead::Read:
            break;
        case PairRead::DisplayMissing:
            ReportError(this, kDisplayMissingText);
            return;
        case PairRead::DisplayUnreadable:
            ShowStatus(UnreadableText(ShownPath(QFile::decodeName(DisplayPathFor(listPath).c_str()))));
            return;
        case PairRead::ListUnreadable:
            ShowStatus(UnreadableText(ShownPath(path)));
            return;
    }
    if (!surface_->MakeCurrent()) return;
    pair_ = std::move(pair);
    surface_->Lists.ReplaceSectors(pair_);
    ShowStatus(PairLoadedText(pair_));
    surface_->Draw();

    const QSignalBlocker quiet(lstSectors);
    lstSectors->clear();
    for (const SectorLine& line : pair_.Lines) {
        auto* item = new QListWidgetItem(FromCp1252(line.Text), lstSectors);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, kRowHeight));
    }
}

void SectorWindow::RebuildTicked() {
    std::vector<const SectorLine*> ticked;
    for (int row = 0; row < lstSectors->count() && row < static_cast<int>(pair_.Lines.size()); ++row)
        if (lstSectors->item(row)->checkState() == Qt::Checked) ticked.push_back(&pair_.Lines[static_cast<size_t>(row)]);
    if (!surface_->MakeCurrent()) return;
    surface_->Lists.BuildTicked(ticked, pair_.Table);
    surface_->Draw();
}

}  // namespace kestrava::firglass
