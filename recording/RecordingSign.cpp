#include "RecordingSign.h"

#include "CaptureMessages.h"

#include <QLabel>

RecordingSign::RecordingSign(QLabel* label) : m_label(label) {
    m_label->setTextFormat(Qt::RichText);
    // Hidden while idle, so that the panel keeps its height: at its smallest it has no line to
    // spare.
    m_label->hide();
}

void RecordingSign::recordingStarted() {
    m_started.start();
    show();
}

void RecordingSign::recordingStopped() {
    m_started.invalidate();
    ++m_finishing;
    show();
}

void RecordingSign::recordingGone() {
    m_started.invalidate();
    show();
}

void RecordingSign::fileCompleted() {
    m_finishing = std::max(0, m_finishing - 1);
    show();
}

void RecordingSign::applyLanguage(int language) {
    m_language = language == 0 ? 0 : 1;
    show();
}

void RecordingSign::show() {
    if (running()) {
        const qint64 seconds = m_started.elapsed() / 1000;
        m_label->setText(QStringLiteral("<span style=\"color:#e00000\">&#9679;</span> %1:%2")
                             .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0')));
        m_label->setToolTip(capture_messages::text(m_language, "正在录像", "Recording"));
    } else if (m_finishing > 0) {
        m_label->setText(capture_messages::text(m_language, "正在完成视频", "Finishing the video"));
        m_label->setToolTip({});
    }
    m_label->setVisible(running() || m_finishing > 0);
}
