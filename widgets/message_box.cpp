#include "widgets/message_box.h"

#include "formats/file_places.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>

#include <cstdio>

namespace kestrava {

MessageBox::MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
    : QMessageBox(icon, title, text, QMessageBox::NoButton, parent) {}

void MessageBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        QString message = text();
        if (!informativeText().isEmpty()) message += "\n" + informativeText();
        QGuiApplication::clipboard()->setText(message);
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void Inform(QWidget* parent, const QString& text, const QString& detail) {
    MessageBox box(parent, QMessageBox::Information, "Kestrava", text);
    box.setStandardButtons(QMessageBox::Ok);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

void ReportError(QWidget* parent, const QString& text) {
    MessageBox box(parent, QMessageBox::Critical, "Error", text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void WarnIfNothingIsSaved() {
    const std::string& problem = Places().Problem;
    if (problem.empty()) return;
    std::fprintf(stderr, "%s\n", problem.c_str());
    MessageBox box(nullptr, QMessageBox::Warning, "Kestrava", QString::fromStdString(problem));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

QMessageBox::StandardButton AskToSaveChanges(QWidget* parent, const QString& text) {
    MessageBox box(parent, QMessageBox::Question, "Kestrava", text);
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    // Each answer has its Alt key.
    box.button(QMessageBox::Save)->setText("&Save");
    box.button(QMessageBox::Discard)->setText("&Discard");
    box.button(QMessageBox::Cancel)->setText("&Cancel");
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace kestrava
