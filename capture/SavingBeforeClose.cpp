#include "SavingBeforeClose.h"

#include "CaptureMessages.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {

// How often the count is looked at: the notice follows the pages as they are written.
constexpr int kCheckMs = 50;

} // namespace

SavingBeforeClose::SavingBeforeClose(QWidget& window, std::function<int()> pagesBehind,
                                     std::function<int()> videosBehind,
                                     std::function<int()> language)
    : m_window(window), m_pagesBehind(std::move(pagesBehind)),
      m_videosBehind(std::move(videosBehind)), m_language(std::move(language)),
      m_timer(new QTimer(this)) {
    m_timer->setInterval(kCheckMs);
    connect(m_timer, &QTimer::timeout, this, [this] { check(); });
}

SavingBeforeClose::~SavingBeforeClose() {
    delete m_notice.data();
}

bool SavingBeforeClose::hold(std::function<void()> then) {
    if (m_pagesBehind() <= 0 && m_videosBehind() <= 0 && !holding())
        return false;
    m_then = std::move(then);
    if (!m_notice) {
        m_notice = new QLabel(&m_window);
        m_notice->setObjectName(QStringLiteral("labelSavingPages"));
        m_notice->setAlignment(Qt::AlignCenter);
        m_notice->setStyleSheet(QStringLiteral(
            "QLabel { background: rgba(0, 0, 0, 170); color: white; padding: 12px; }"));
    }
    m_timer->start();
    check();
    return true;
}

bool SavingBeforeClose::holding() const {
    return m_timer->isActive();
}

// The last step may close the window: nothing is touched after `then`.
void SavingBeforeClose::check() {
    const int behind = m_pagesBehind();
    const int videos = m_videosBehind();
    if (behind > 0 || videos > 0) {
        m_notice->setText(
            behind > 0 ? capture_messages::text(m_language(), "正在保存 %1 页",
                                                behind == 1 ? "Saving %1 page" : "Saving %1 pages")
                             .arg(behind)
                       : capture_messages::text(m_language(), "正在保存视频", "Saving the video"));
        m_notice->adjustSize();
        m_notice->move((m_window.width() - m_notice->width()) / 2,
                       (m_window.height() - m_notice->height()) / 2);
        m_notice->show();
        m_notice->raise();
        return;
    }
    m_timer->stop();
    delete m_notice.data();
    if (m_then)
        std::exchange(m_then, nullptr)();
}
