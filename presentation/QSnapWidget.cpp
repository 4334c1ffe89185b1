#include "QSnapWidget.h"

#include "CaptureMessages.h"
#include "ModeMessages.h"
#include "platform/Paths.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QTimer>
#include <QUrl>

namespace {

// The hint over the live picture. The engine's video lies below the window's other children;
// this one lets the mouse through to the window.
class SnapHint : public QWidget {
public:
    SnapHint(std::function<int()> language, QWidget* parent)
        : QWidget(parent), m_language(std::move(language)) {
        setObjectName(QStringLiteral("snapHint"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 200, 100);
    }

protected:
    // Dark letters on a pale shadow, so that they read over a dark desk as over a white page.
    void paintEvent(QPaintEvent*) override {
        const QString text = m_language() == 0 ? QStringLiteral("鼠标按住,拖动")
                                               : QStringLiteral("Hold the button and drag");
        QPainter painter(this);
        painter.setPen(Qt::white);
        painter.drawText(rect().translated(1, 1), Qt::AlignLeft, text);
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignLeft, text);
    }

private:
    std::function<int()> m_language;
};

} // namespace

QSnapWidget::QSnapWidget(Capture capture, std::function<int()> language, QWidget* parent)
    : QDialog(parent), m_capture(std::move(capture)), m_language(std::move(language)),
      m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("QSnapWidget"));
    resize(400, 300);
    setWindowTitle(QStringLiteral("QSnapWidget"));
    setCursor(Qt::OpenHandCursor);
    (new SnapHint(m_language, this))->raise();
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, &QSnapWidget::mouseClick);
}

QPoint QSnapWidget::cornerOf(const QRect& available, QSize size) {
    return QPoint(available.x() + available.width() - size.width(),
                  available.y() + available.height() - size.height());
}

// The pictures live in the program's private folder: no other user can read them or plant a
// link in their place, and they stay while the program runs, as the receiving program may
// read the file after the drop.
QString QSnapWidget::nextPath() const {
    return platform::privateTempDir() + QString::asprintf("Image%05d.jpg", m_counter);
}

// The picture is saved behind the window; the drag starts once it is, if the button is still
// held by then.
void QSnapWidget::mouseClick() {
    m_timer->stop();
    if (platform::privateTempDir().isEmpty()) {
        m_buttonDown = false;
        capture_messages::sayNoPrivateFolder(m_language());
        return;
    }
    setCursor(Qt::ClosedHandCursor);
    const QString path = nextPath();
    ++m_counter;
    m_capture(path, [this, path](bool written) {
        if (!written)
            sayNoPicture(m_language());
        else if (m_buttonDown)
            drag(path);
        setCursor(Qt::OpenHandCursor);
    });
}

// A file URL: file managers, browsers and office programs take it, where most refuse a bare
// path.
void QSnapWidget::drag(const QString& path) {
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    m_buttonDown = false; // the drop released the button out of this window's sight
    drag->deleteLater();
}

void QSnapWidget::mousePressEvent(QMouseEvent*) {
    m_buttonDown = true;
    m_timer->start();
}

void QSnapWidget::mouseReleaseEvent(QMouseEvent*) {
    m_buttonDown = false;
    setCursor(Qt::OpenHandCursor);
}

void QSnapWidget::mouseDoubleClickEvent(QMouseEvent*) {
    m_timer->stop();
    m_buttonDown = false;
    emit leaveRequested();
}

// Escape and closing (through the dialog's close handling) leave the mode as a double click
// does: the window is the only one shown, and hiding it alone would leave the program without a
// way back.
void QSnapWidget::reject() {
    m_timer->stop();
    emit leaveRequested();
}
