#include "Strip.h"

#include "StripView.h"

#include <QCoreApplication>

#include <memory>

namespace thumbnail {

namespace {

// Destroyed when the library is unloaded, or at exit.
std::unique_ptr<Strip> g_strip;

} // namespace

Strip& Strip::instance() {
    if (!g_strip)
        g_strip = std::make_unique<Strip>();
    return *g_strip;
}

Strip::~Strip() {
    // The view's code goes away with the library, so the view must go first. Once the
    // application object is gone the process is ending and its widgets are beyond reach.
    if (QCoreApplication::instance())
        delete m_view.data();
}

void Strip::attach(QWidget* host) {
    if (!host)
        return;
    if (m_view && m_view->parentWidget() == host) {
        m_view->fitToHost();
        return;
    }
    delete m_view.data();
    m_view = new StripView(&m_model, host);
    m_view->applyLanguage(m_language);
    m_view->show();
    if (m_model.rowCount() > 0)
        m_view->scrollToBottom();
}

void Strip::fitToHost() {
    if (m_view)
        m_view->fitToHost();
}

void Strip::setLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    if (m_view)
        m_view->applyLanguage(flag);
}

void Strip::add(const QByteArray& path, const QString& thumbnail, const QString& name) {
    if (path.isEmpty())
        return;
    // Copied now: the caller overwrites its thumbnail file with the next capture.
    const QString copy = m_copies.keep(thumbnail);
    const int listed = m_model.rowOf(path);
    if (listed < 0) {
        m_model.append(path, copy, name, !copy.isEmpty());
        return;
    }
    // A file written again (the next page of a PDF): one entry, showing the newest picture,
    // handed over once, and checked as the user left it.
    m_model.refresh(listed, copy, name, !copy.isEmpty());
    if (m_view)
        m_view->scrollTo(m_model.index(listed));
}

const char* Strip::pathOf(int row) {
    if (!m_model.isValidRow(row))
        return "";
    m_returnedPath = m_model.rawPath(row);
    return m_returnedPath.constData();
}

void Strip::clear() {
    m_model.clear();
    m_copies.clear();
}

} // namespace thumbnail
