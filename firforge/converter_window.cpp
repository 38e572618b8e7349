#include "firforge/converter_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "formats/file_places.h"
#include "formats/files.h"
#include "formats/text.h"

namespace kestrava {

namespace {

struct DialogSetUp {
    QStringList Filters;
    QString PresetName;
    QString DefaultSuffix;
};

DialogSetUp DialogFor(int sourceType) {
    switch (sourceType) {
        case 1:
            return {{"fir.dat (fir.dat)"}, "fir.dat", "dat"};
        case 2:
            return {{"firs.dat (firs.dat)"}, "firs.dat", "dat"};
        case 3:
            return {{"VAT-Spy data (VATSpy.dat Boundaries.geojson)"}, "VATSpy.dat", "dat"};
        default:
            return {{"ATC Sector File (*.sct *.sct2)", "Legacy Sector File (*.sct)", "VRC Sector File (*.sct2)",
                     "Text Files (*.txt)"},
                    QString(), "sct"};
    }
}

SourceType SourceOf(int index) {
    switch (index) {
        case 1: return SourceType::ServInfo;
        case 2: return SourceType::IvAe;
        case 3: return SourceType::VatSpy;
        default: return SourceType::SectorFile;
    }
}

}  // namespace

ConverterWindow::ConverterWindow(QWidget* parent) : QWidget(parent) {
    setObjectName("frmFirforge");
    setWindowTitle("Kestrava Sector Converter");

    auto* input = new QGroupBox("Input", this);
    auto* grid = new QGridLayout(input);
    cmbSou = new QComboBox(input);
    cmbSou->setObjectName("cmbSou");
    cmbSou->addItems({"ATC Sector File (*.sct, *.sct2)", "Servinfo Sector Data (fir.dat)",
                      "IvAe Sector Data (firs.dat + fir.dat)", "VAT-Spy data (VATSpy.dat + Boundaries.geojson)"});
    cmbSou->setCurrentIndex(0);
    txtFnam = new QLineEdit(input);
    txtFnam->setObjectName("txtFnam");
    cmdBrowse = new QPushButton("browse", input);
    cmdBrowse->setObjectName("cmdBrowse");
    cmbSec = new QComboBox(input);
    cmbSec->setObjectName("cmbSec");
    cmbSec->addItems({"[ARTCC]", "[ARTCC HIGH]", "[ARTCC LOW]"});
    cmbSec->setCurrentIndex(0);
    cmdConv = new QPushButton("Convert", input);
    cmdConv->setObjectName("cmdConv");
    cmdConv->setEnabled(false);

    grid->addWidget(new QLabel("Source type:", input), 0, 0);
    grid->addWidget(cmbSou, 0, 1, 1, 2);
    grid->addWidget(new QLabel("Source file:", input), 1, 0);
    grid->addWidget(txtFnam, 1, 1);
    grid->addWidget(cmdBrowse, 1, 2);
    grid->addWidget(new QLabel("Section:", input), 2, 0);
    grid->addWidget(cmbSec, 2, 1);
    grid->addWidget(cmdConv, 2, 2);
    grid->setColumnStretch(1, 1);

    auto* status = new QGroupBox("Status", this);
    auto* statusLayout = new QVBoxLayout(status);
    txtLog = new QPlainTextEdit(status);
    txtLog->setObjectName("txtLog");
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    statusLayout->addWidget(txtLog);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(input);
    layout->addWidget(status, 1);
    resize(520, 420);

    connect(cmbSou, &QComboBox::currentIndexChanged, this, [this] { SourceTypeChanged(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { Browse(); });
    connect(cmdConv, &QPushButton::clicked, this, [this] { ConvertChosenFile(); });
    // "Convert" is offered whenever a path is in the file box.
    connect(txtFnam, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdConv->setEnabled(!converting_ && !text.isEmpty()); });
}

void ConverterWindow::SourceTypeChanged() {
    bool sectorFile = cmbSou->currentIndex() == 0;
    cmbSec->setEnabled(sectorFile);
    cmbSec->setCurrentIndex(sectorFile ? 0 : -1);
    txtFnam->clear();
}

void ConverterWindow::Browse() {
    DialogSetUp setUp = DialogFor(cmbSou->currentIndex());
    QFileDialog dialog(this, "Select input file");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(setUp.Filters);
    dialog.selectNameFilter(setUp.Filters.front());
    dialog.setDefaultSuffix(setUp.DefaultSuffix);
    if (!setUp.PresetName.isEmpty()) dialog.selectFile(setUp.PresetName);
    if (dialog.exec() != QDialog::Accepted) return;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return;
    txtFnam->setText(chosen.front());
}

void ConverterWindow::LogLine(const std::string& line) {
    txtLog->appendPlainText(QString::fromUtf8(Cp1252ToUtf8(line)));
    txtLog->moveCursor(QTextCursor::End);
    txtLog->verticalScrollBar()->setValue(txtLog->verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
}

void ConverterWindow::ConvertChosenFile() {
    if (converting_ || txtFnam->text().isEmpty()) return;
    ConversionRequest request;
    request.Source = SourceOf(cmbSou->currentIndex());
    request.InputPath = QFile::encodeName(txtFnam->text()).toStdString();
    request.Section = cmbSec->currentText().toStdString();
    request.OutputFolder = Places().OwnFolder();
    request.AirportsPath = Places().ReadPath("airports.dat");

    // The log lets events run; the inputs stay locked until the conversion ends.
    converting_ = true;
    for (QWidget* control : {static_cast<QWidget*>(cmbSou), static_cast<QWidget*>(txtFnam),
                             static_cast<QWidget*>(cmdBrowse), static_cast<QWidget*>(cmdConv)})
        control->setEnabled(false);
    bool sectionWasEnabled = cmbSec->isEnabled();
    cmbSec->setEnabled(false);

    Convert(request, navaids_, [this](const std::string& line) { LogLine(line); }, TimeSeededRandom());

    converting_ = false;
    for (QWidget* control : {static_cast<QWidget*>(cmbSou), static_cast<QWidget*>(txtFnam),
                             static_cast<QWidget*>(cmdBrowse)})
        control->setEnabled(true);
    cmbSec->setEnabled(sectionWasEnabled);
    cmdConv->setEnabled(!txtFnam->text().isEmpty());
}

}  // namespace kestrava
