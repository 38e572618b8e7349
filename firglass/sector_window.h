// frmFirglass: the sector viewer's window. The picture pic, the list of
// sectors to tick lstSectors, the three load buttons and the status label;
// the loads of sector_data.h shown, their lists compiled and drawn.
#pragma once

#include "firglass/globe_surface.h"
#include "firglass/sector_data.h"

#include <QWidget>

#include <string>

class QLabel;
class QListWidget;
class QPushButton;

namespace kestrava::firglass {

inline constexpr const char* kWindowTitle = "Kestrava Sector Viewer";
inline constexpr const char* kWelcomeText = "Welcome to the Kestrava Sector Viewer";
inline constexpr const char* kOpenGLFailedText = "OpenGL environment could not be set up";

class SectorWindow : public QWidget {
public:
    SectorWindow();

    // The screen's twips per pixel, OpenGL, the window shown and its first
    // frame. False when OpenGL could not be set up (the box has been shown
    // and the program must end).
    bool StartUp();

    // The buttons: a file dialog, then the load of the chosen file.
    void LoadLinesClicked(LineFile file);
    void LoadSectorsClicked();
    // The loads themselves; the path as the dialog gives it.
    void LoadLines(LineFile file, const QString& path);
    void LoadSectors(const QString& path);

    // The status label's text (Windows-1252).
    void ShowStatus(const std::string& text);
    std::string StatusText() const;

    GlobeSurface* Picture() const { return surface_; }
    QListWidget* SectorList() const { return lstSectors; }
    const SectorPair& Sectors() const { return pair_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // List 10 again from the ticked lines, then a frame.
    void RebuildTicked();
    QString AskForFile(const char* name, const std::string& folder);

    GlobeSurface* surface_ = nullptr;
    QWidget* pic = nullptr;
    QListWidget* lstSectors = nullptr;
    QPushButton* cmdCoastlines = nullptr;
    QPushButton* cmdCountries = nullptr;
    QPushButton* cmdSectors = nullptr;
    QLabel* lblStatus = nullptr;
    SectorPair pair_;
};

}  // namespace kestrava::firglass
