#include "WindowLayout.h"

#include "Settings.h"
#include "ThumbnailLibrary.h"

#include <QDialog>

WindowLayout::WindowLayout(QDialog* window, const Settings& settings, ThumbnailLibrary& strip)
    : m_window(window), m_settings(settings), m_strip(strip) {}

void WindowLayout::setAreas(QWidget* thumbnailHost, QWidget* preview) {
    m_thumbnailHost = thumbnailHost;
    m_preview = preview;
}

QWidget* WindowLayout::named(const char* name) {
    QWidget*& control = m_controls[name];
    if (control == nullptr)
        control = m_window->findChild<QWidget*>(QString::fromLatin1(name));
    return control;
}

// A bottom band of 120 pixels holds the command rows; the strip, the preview and the control
// panel share the rest from y 40.
void WindowLayout::layoutWindow() {
    const int w = m_window->width();
    const int h = m_window->height();
    if (m_thumbnailHost != nullptr) {
        m_thumbnailHost->setGeometry(2, 40, 166, h - 120);
        if (m_strip.isLoaded())
            m_strip.resizeThumb();
    }
    if (m_preview != nullptr)
        m_preview->setGeometry(176, 40, w - 390, h - 120);
    if (!m_formAlive)
        return;
    named("tabWidget")->setGeometry(w - 210, 40, 210, h - 120);
    layoutBottomRow();

    const int x0 = (w - 390) / 2;
    const int y = h - 76;
    named("pushButtonDrag")->setGeometry(x0, y, 28, 28);
    named("pushButtonCut")->setGeometry(x0 + 42, y, 28, 28);
    named("pushButtonRotateLeft")->setGeometry(x0 + 84, y, 28, 28);
    named("pushButtonRotateRight")->setGeometry(x0 + 126, y, 28, 28);
    named("pushButtonZoomOut")->setGeometry(x0 + 168, y, 28, 28);
    named("horizontalSliderScale")->setGeometry(x0 + 210, y, 84, 19);
    named("pushButtonZoomIn")->setGeometry(x0 + 300, y, 28, 28);
    named("pushButtonFullSrn")->setGeometry(x0 + 342, y, 28, 28);

    named("labelMarkMode")->setGeometry(w - 178, h - 30, 60, 19);
    named("labelSnapMode")->setGeometry(w - 95, h - 30, 60, 19);
}

// English texts are longer, so the English row has wider buttons and narrower gaps; both rows
// are centred on the window.
void WindowLayout::layoutBottomRow() {
    if (!m_formAlive)
        return;
    const int w = m_window->width();
    const int h = m_window->height();
    named("widget_title")->setGeometry(0, 0, w, 20);
    named("pushButtonOpenFolder")->setGeometry(10, h - 60, 85, 31);
    named("pushButtonVisualizer")->setGeometry(w - 60, h - 60, 85, 31);

    const int y = h - 40;
    if (m_settings.language == 0) {
        named("pushButtonReadIDCard")->hide();
        const int d = ((w - 1) - 649) / 2 + 85;
        named("pushButtonScan")->setGeometry(w - d, y, 85, 31);
        named("pushButtonAutoScan")->setGeometry(w - d - 102, y, 85, 31);
        named("pushButtonCompose")->setGeometry(w - d - 204, y, 85, 31);
        named("pushButtonPrint")->setGeometry(w - d - 306, y, 85, 31);
        named("pushButtonOCR")->setGeometry(w - d - 408, y, 85, 31);
    } else if (m_settings.language == 1) {
        named("pushButtonReadIDCard")->hide();
        const int e = ((w - 1) - 686) / 2;
        named("pushButtonScan")->setGeometry(w - 1 - e - 114, y, 115, 31);
        named("pushButtonAutoScan")->setGeometry(w - 1 - e - 257, y, 115, 31);
        named("pushButtonCompose")->setGeometry(w - 1 - e - 400, y, 115, 31);
        named("pushButtonPrint")->setGeometry(w - 1 - e - 543, y, 115, 31);
        named("pushButtonOCR")->setGeometry(w - 1 - e - 686, y, 115, 31);
    }
}
