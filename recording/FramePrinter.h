#pragma once

#include <QByteArray>
#include <QImage>

class CameraRoles;
class QPrinter;
class WorkFolder;
struct Settings;

// The print button: the engine makes the main camera's picture of the press at full resolution,
// processed as a capture would be, behind the window, and hands it to this printer, which asks
// where to print with Qt's print dialog (the CUPS printers; "Print to File" as PDF into the work
// folder when there is none) and prints it fitted to the page at its DPI. A press while the
// picture is being made is ignored.
class FramePrinter {
public:
    FramePrinter(const Settings& settings, const CameraRoles& roles, const WorkFolder& folder);
    ~FramePrinter();
    FramePrinter(const FramePrinter&) = delete;
    FramePrinter& operator=(const FramePrinter&) = delete;

    void print();

    // Draws `picture` on one page of `printer`: landscape for a wide picture, at its DPI
    // (pixels / DPI inches), made smaller to fit the printable area when it is larger, centred.
    static bool printPicture(const QImage& picture, int dpi, QPrinter& printer);

private:
    static int printReceived(const unsigned char* rgb, int width, int height, int bytesPerLine,
                             int dpi);
    int askAndPrint(const QImage& picture, int dpi);
    void sayNoPicture() const;

    const Settings& m_settings;
    const CameraRoles& m_roles;
    const WorkFolder& m_folder;
    bool m_making = false; // the engine is making the picture
};
