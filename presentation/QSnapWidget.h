#pragma once

#include <QDialog>

#include <functional>

class QTimer;

// The snap window: a small borderless window in the lower right corner showing the main
// camera's live picture. A press takes a photo into a temporary JPEG file after 300 ms and, while
// the button is still down, starts dragging that file, so that it lands in another program in
// the same gesture. A double click within the 300 ms, Escape or closing the window leaves the
// mode without a photo.
class QSnapWidget : public QDialog {
    Q_OBJECT

public:
    // `capture` takes the main camera's picture into a path and, once it is saved behind the
    // window, tells `ended` whether a file was written; `language` gives the language of its
    // message.
    using Capture =
        std::function<void(const QString& path, std::function<void(bool written)> ended)>;
    QSnapWidget(Capture capture, std::function<int()> language, QWidget* parent = nullptr);

    // Where the window of `size` stands in the available area: against its right and bottom
    // edges, whatever panels take the top or left of the screen.
    static QPoint cornerOf(const QRect& available, QSize size);

    // The temporary picture the next photo goes to.
    QString nextPath() const;
    void reject() override;

signals:
    void leaveRequested();

public slots:
    void mouseClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void drag(const QString& path);

    Capture m_capture;
    std::function<int()> m_language;
    int m_counter = 0;
    QTimer* m_timer;
    // Qt's X11 drag waits for the next click when no button is down: a click that is over by
    // the time the timer fires takes its photo without a drag.
    bool m_buttonDown = false;
};
