#pragma once

#include <QObject>

#include <vector>

class QImage;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The pages of a book run as small pictures, in order with the newest in view, and the buttons
// that take the last spread out or have it taken again. The list stays after the run, until the
// next one starts.
class BookPages : public QObject {
    Q_OBJECT
public:
    // Puts its widgets into `layout` of `parent` from position `at` on, hidden until shown.
    BookPages(QWidget* parent, QVBoxLayout& layout, int at);

    void setVisible(bool visible);
    void applyLanguage(int flag);
    // A new run starts with an empty list.
    void clear();
    // A spread's pages are in the book: one picture each (a spread split in two has two).
    void addSpread(const QImage& left, const QImage& right);
    // The last spread's pictures go.
    void removeLastSpread();
    int spreads() const { return static_cast<int>(m_spreadSizes.size()); }
    // Whether the last spread may be changed now. It is never removed while the list has fewer
    // than two spreads, as the book's first spread made its file; it may be taken again.
    void setChangeable(bool changeable);

signals:
    void removeRequested();
    void retakeRequested();

private:
    void showNewest();

    QListWidget* m_list;
    QPushButton* m_remove;
    QPushButton* m_retake;
    std::vector<int> m_spreadSizes; // pictures of each spread, in order
    bool m_changeable = false;
};
