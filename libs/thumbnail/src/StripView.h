#pragma once

#include <QListView>

class QAction;
class QMenu;

namespace thumbnail {

class StripModel;

// The strip as the user sees it, filling its host widget: a column of thumbnails that opens a
// file on double click or Enter, toggles its check box with Space, takes it off the strip with
// Delete, and offers the same in a context menu. While it shows the last entry it keeps showing
// it, whatever its host's size does.
class StripView : public QListView {
    Q_OBJECT
public:
    StripView(StripModel* model, QWidget* host);

    void fitToHost();
    // 0 Chinese, 1 English; other values leave the texts as they are.
    void applyLanguage(int flag);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void openCurrent();
    void showCurrentInFolder();
    void removeCurrent();
    void toggleCurrent();
    void followEnd(int minimum, int maximum);

    StripModel* m_model;
    int m_language = 1;
    bool m_atEnd = true;
    QMenu* m_menu;
    QAction* m_open;
    QAction* m_showInFolder;
    QAction* m_remove;
};

} // namespace thumbnail
