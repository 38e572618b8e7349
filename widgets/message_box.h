// Message boxes of the side programs: confirmations titled "Kestrava" with
// the information icon, errors titled "Error" with the critical icon. As on
// Windows, Ctrl+C in a box copies its message.
#pragma once

#include <QMessageBox>

namespace kestrava {

class MessageBox : public QMessageBox {
public:
    MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A confirmation; `detail` goes below the message when given.
void Inform(QWidget* parent, const QString& text, const QString& detail = {});
void ReportError(QWidget* parent, const QString& text);

// When nothing can be saved (the per-user folder of an installed copy cannot
// be made or written), says so once, naming the folder, on the standard
// error and in a warning box; the program then goes on without saving.
void WarnIfNothingIsSaved();

// Asks whether to save unsaved changes: Save, Discard or Cancel.
QMessageBox::StandardButton AskToSaveChanges(QWidget* parent, const QString& text);

}  // namespace kestrava
