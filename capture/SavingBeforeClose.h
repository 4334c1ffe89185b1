#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QTimer;
class QWidget;

// Holds the program's close while pictures taken are still being written, or videos stopped are
// still being completed: the window says so ("正在保存 N 页" / "Saving N pages", then
// "正在保存视频" / "Saving the video") and the close goes on once they are all in their files, so
// that no accepted page is dropped, no video is cut short and the strip handed over lists them all.
class SavingBeforeClose : public QObject {
public:
    SavingBeforeClose(QWidget& window, std::function<int()> pagesBehind,
                      std::function<int()> videosBehind, std::function<int()> language);
    ~SavingBeforeClose() override;

    // False when nothing is behind: the close goes on now. Otherwise true, and `then` runs once
    // the pages are written and the videos complete (a second call while waiting only replaces
    // `then`).
    bool hold(std::function<void()> then);
    bool holding() const;

private:
    void check();

    QWidget& m_window;
    std::function<int()> m_pagesBehind;
    std::function<int()> m_videosBehind;
    std::function<int()> m_language;
    std::function<void()> m_then;
    QPointer<QLabel> m_notice;
    QTimer* m_timer;
};
