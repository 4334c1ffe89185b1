#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>

class LanguageSource;
class QAbstractButton;
class QDialog;
class QEvent;
class QLabel;
class QMouseEvent;
class QPushButton;
class QString;
class QWidget;

// The window's own frame: no system frame, the title strip with its icon-font buttons, maximising
// to the screen's free area, and dragging the window by its free areas.
class Frame {
public:
    struct Widgets {
        QLabel* title;
        QLabel* icon;
        QAbstractButton* menu;
        QAbstractButton* minimize;
        QAbstractButton* maximize;
        QAbstractButton* close;
        QList<QWidget*> shadowed;    // the panels that cast a shadow
        QList<QWidget*> viewButtons; // the row under the preview, on a light ground
        QList<QWidget*> hidden;      // controls the window does not offer
    };

    // The tooltips follow `language`.
    Frame(QDialog* window, const LanguageSource& language, const Widgets& widgets);

    // A flat, checkable 50-pixel button that shows only its picture.
    static void makeIconButton(QPushButton* button, const QString& picture);

    // Sets up the frame; `titleFilter` receives the title strip's events.
    void setup(QObject* titleFilter);
    void toggleMaximized();
    // A double click on the title strip maximises or restores; true when it was one.
    bool titleEvent(QEvent* event);
    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseRelease();
    // The title buttons' tool tips; the maximise button's follows its state.
    void applyLanguage(int flag);

private:
    QDialog* m_window;
    Widgets m_widgets;
    bool m_maximized = false;
    int m_language = 1;
    QRect m_normalGeometry;
    bool m_dragging = false;
    bool m_dragLocked = false;
    QPoint m_dragOffset;
    QObject m_alive; // what it follows ends with it
};
