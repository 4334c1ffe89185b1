#include "BookRun.h"

#include "ZoApi.h"

BookRun::BookRun(int camera, QByteArray path) : m_camera(camera), m_path(std::move(path)) {
    // A document the camera was collecting ends here: pages of the book must not join it.
    ZoSetPDFMode(m_camera, 1);
    ZoEnableSplitCap(m_camera, true);
    ZoEnableDewarp(m_camera, true);
    ZoDelBackColor(m_camera, true);
    ZoEnableAutoOrient(m_camera, true);
    ZoSetPDFMode(m_camera, 0);
    ZoSetPdfText(m_camera, true);
}

BookRun::~BookRun() {
    finish();
}

int BookRun::addSpread() {
    if (!m_open)
        return 0;
    const int added = ZoCapture(m_camera, m_path.constData());
    m_pages += added;
    return added;
}

// The engine ends the document when pages stop being collected; its file already holds every
// page, and it never made one for a run without pages.
void BookRun::finish() {
    if (!m_open)
        return;
    m_open = false;
    ZoSetPDFMode(m_camera, 1);
    ZoSetPdfText(m_camera, false);
}
