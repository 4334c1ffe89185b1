#include "BookRun.h"

#include "ZoApi.h"

#include <algorithm>

BookRun::BookRun(int camera, QByteArray path) : m_camera(camera), m_path(std::move(path)) {
    // A document the camera was collecting ends here: pages of the book must not join it.
    ZoSetPDFMode(m_camera, 1);
    ZoEnableSplitCap(m_camera, true);
    ZoEnableDewarp(m_camera, true);
    ZoDelBackColor(m_camera, true);
    ZoEnableAutoOrient(m_camera, true);
    ZoSetPDFMode(m_camera, 0);
    ZoSetPdfText(m_camera, true);
    ZoEnablePdfPagesBehind(m_camera, true);
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

// The engine ends the document when pages stop being collected; once the pages behind are
// written its file holds every page, and it never made one for a run without pages.
int BookRun::finish() {
    if (!m_open)
        return 0;
    m_open = false;
    const int lost = std::max(0, ZoWaitPdfPages(m_camera));
    ZoEnablePdfPagesBehind(m_camera, false);
    ZoSetPDFMode(m_camera, 1);
    ZoSetPdfText(m_camera, false);
    return lost;
}
