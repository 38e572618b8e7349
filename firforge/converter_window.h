// The converter's window: source type, source file, section, "Convert" and
// the log box.
#pragma once

#include <QWidget>

#include "firforge/conversion.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kestrava {

class ConverterWindow : public QWidget {
public:
    explicit ConverterWindow(QWidget* parent = nullptr);

private:
    void SourceTypeChanged();
    void Browse();
    void ConvertChosenFile();
    // Appends the line to the log box, scrolls to it and lets pending
    // window events run.
    void LogLine(const std::string& line);

    QComboBox* cmbSou;
    QLineEdit* txtFnam;
    QPushButton* cmdBrowse;
    QComboBox* cmbSec;
    QPushButton* cmdConv;
    QPlainTextEdit* txtLog;
    NavaidTable navaids_;  // kept for the whole run
    bool converting_ = false;
};

}  // namespace kestrava
