#include "WindowLayout.h"

#include "Settings.h"
#include "ThumbnailLibrary.h"

#include <QComboBox>
#include <QDialog>
#include <QHelpEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QTabWidget>
#include <QToolTip>

namespace {

// The strip reaches down to the content: no band of bare window between them.
constexpr int kTitleHeight = 40;
constexpr int kBottomBand = 120;
// The English row (five 115-pixel buttons and four 28-pixel gaps, 687 pixels) is centred; it
// clears the folder button (right edge 95) on the left and the presentation button (left edge
// w - 60) on the right from this width up.
constexpr int kMinimumWidth = 880;

// A list narrower than its entry ("Virtual Document Camera 1", "3264x2448") draws the entry
// with an ellipsis instead of cutting it off in mid-letter.
void paintElided(QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.currentText = combo->currentText();
    option.iconSize = combo->iconSize();
    option.subControls = QStyle::SC_All;
    QStylePainter painter(combo);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxEditField, combo);
    option.currentText =
        combo->fontMetrics().elidedText(option.currentText, Qt::ElideRight, field.width());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace

WindowLayout::WindowLayout(QDialog* window, const Settings& settings, ThumbnailLibrary& strip,
                           const Widgets& widgets)
    : m_window(window), m_settings(settings), m_strip(strip), m_widgets(widgets) {}

void WindowLayout::prepareControls() {
    for (QComboBox* combo : m_window->findChildren<QComboBox*>())
        combo->installEventFilter(this);
    // The main window is a dialog: a focused button would otherwise take every Enter.
    for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    m_widgets.panel->installEventFilter(this);
    m_widgets.panel->setFocus();
}

// Painting and tool tips read the list's current entry when they happen, so a list refilled
// without signals on a language switch still shows and explains its new text.
bool WindowLayout::eventFilter(QObject* watched, QEvent* event) {
    if (auto* combo = qobject_cast<QComboBox*>(watched)) {
        if (event->type() == QEvent::Paint && !combo->isEditable()) {
            paintElided(combo);
            return true;
        }
        if (event->type() == QEvent::ToolTip && combo->toolTip().isEmpty()) {
            const QString text = combo->currentText();
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, combo);
            return true;
        }
    } else if (event->type() == QEvent::LayoutRequest && m_formAlive) {
        fitMinimumSize(); // controls shown or hidden in the panel (the sub camera's)
    }
    return QObject::eventFilter(watched, event);
}

void WindowLayout::fitMinimumSize() {
    if (!m_formAlive)
        return;
    const QTabWidget* tabs = m_widgets.panel;
    // The panel is the window's height less the bottom band. A screen smaller than that still
    // holds the whole window, maximised or not.
    const QSize minimum = QSize(kMinimumWidth, tabs->minimumSizeHint().height() + kBottomBand)
                              .boundedTo(m_window->screen()->availableGeometry().size());
    if (m_window->minimumSize() != minimum)
        m_window->setMinimumSize(minimum);
}

void WindowLayout::setAreas(QWidget* thumbnailHost, QWidget* preview) {
    m_thumbnailHost = thumbnailHost;
    m_preview = preview;
}

// A bottom band holds the command rows; the strip, the preview and the control panel share the
// rest, right below the title strip.
void WindowLayout::layoutWindow() {
    const int w = m_window->width();
    const int h = m_window->height();
    if (m_thumbnailHost != nullptr) {
        m_thumbnailHost->setGeometry(2, kTitleHeight, 166, h - kBottomBand);
        if (m_strip.isLoaded())
            m_strip.resizeThumb();
    }
    if (m_preview != nullptr)
        m_preview->setGeometry(176, kTitleHeight, w - 390, h - kBottomBand);
    if (!m_formAlive)
        return;
    m_widgets.panel->setGeometry(w - 210, kTitleHeight, 210, h - kBottomBand);
    layoutBottomRow();

    const int x0 = (w - 390) / 2;
    const int y = h - 76;
    for (int i = 0; i < 5; ++i)
        m_widgets.previewButtons[i]->setGeometry(x0 + 42 * i, y, 28, 28);
    m_widgets.zoomSlider->setGeometry(x0 + 210, y, 84, 19);
    for (int i = 0; i < 2; ++i)
        m_widgets.zoomButtons[i]->setGeometry(x0 + 300 + 42 * i, y, 28, 28);
}

// English texts are longer, so the English row has wider buttons and narrower gaps; both rows
// are centred on the window.
void WindowLayout::layoutBottomRow() {
    if (!m_formAlive)
        return;
    const int w = m_window->width();
    const int h = m_window->height();
    m_widgets.title->setGeometry(0, 0, w, kTitleHeight);
    m_widgets.openFolder->setGeometry(10, h - 60, 85, 31);
    m_widgets.visualizer->setGeometry(w - 60, h - 60, 85, 31);

    const int y = h - 40;
    if (m_settings.language == 0) {
        const int right = w - (((w - 1) - 649) / 2 + 85);
        for (int i = 0; i < 5; ++i)
            m_widgets.commands[i]->setGeometry(right - 102 * i, y, 85, 31);
    } else if (m_settings.language == 1) {
        const int right = w - 1 - ((w - 1) - 686) / 2 - 114;
        for (int i = 0; i < 5; ++i)
            m_widgets.commands[i]->setGeometry(right - 143 * i, y, 115, 31);
    }
}
