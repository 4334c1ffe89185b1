#include "Frame.h"

#include "IconHelper.h"
#include "LanguageSource.h"
#include "platform/Language.h"

#include <QAbstractButton>
#include <QDialog>
#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr char16_t kGlyphClose = 0xF00D;
constexpr char16_t kGlyphMaximize = 0xF096;
constexpr char16_t kGlyphRestore = 0xF079;
constexpr char16_t kGlyphMinimize = 0xF068;
constexpr char16_t kGlyphMenu = 0xF0C9;
constexpr char16_t kGlyphHome = 0xF015;

void addShadow(QWidget* owner, QWidget* target) {
    auto* shadow = new QGraphicsDropShadowEffect(owner);
    shadow->setOffset(-5, 5);
    shadow->setColor(Qt::gray);
    shadow->setBlurRadius(8);
    target->setGraphicsEffect(shadow);
}

} // namespace

Frame::Frame(QDialog* window, const LanguageSource& language, const Widgets& widgets)
    : m_window(window), m_widgets(widgets) {
    QObject::connect(&language, &LanguageSource::changed, &m_alive,
                     [this](int flag) { applyLanguage(flag); });
}

// No system frame, but the task bar can still minimise and restore the window.
void Frame::setup(QObject* titleFilter) {
    m_window->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinMaxButtonsHint);
    m_widgets.title->installEventFilter(titleFilter);

    IconHelper& icons = IconHelper::instance();
    icons.setIcon(m_widgets.close, QChar(kGlyphClose), 10);
    icons.setIcon(m_widgets.maximize, QChar(kGlyphMaximize), 10);
    icons.setIcon(m_widgets.minimize, QChar(kGlyphMinimize), 10);
    icons.setIcon(m_widgets.menu, QChar(kGlyphMenu), 10);
    icons.setIcon(m_widgets.icon, QChar(kGlyphHome), 12);

    for (QWidget* panel : m_widgets.shadowed)
        addShadow(m_window, panel);

    QPalette windowPalette = m_window->palette();
    windowPalette.setColor(QPalette::All, QPalette::Window, QColor(230, 230, 226));
    m_window->setPalette(windowPalette);

    for (QWidget* button : m_widgets.viewButtons)
        button->setStyleSheet(QStringLiteral("QPushButton{background-color: #E6E6E6;}"));
    for (QWidget* control : m_widgets.hidden)
        control->hide();
}

void Frame::makeIconButton(QPushButton* button, const QString& picture) {
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(50, 50));
    button->setFlat(true);
    button->setCheckable(true);
    button->setFixedSize(50, 50);
    button->setText(QString()); // the tool tip says what the picture means
}

// Maximised means the primary screen's available area, task bar excluded.
void Frame::toggleMaximized() {
    if (m_maximized) {
        m_window->setGeometry(m_normalGeometry);
        IconHelper::instance().setIcon(m_widgets.maximize, QChar(kGlyphMaximize), 10);
    } else {
        m_normalGeometry = m_window->geometry();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            m_window->setGeometry(screen->availableGeometry());
        IconHelper::instance().setIcon(m_widgets.maximize, QChar(kGlyphRestore), 10);
    }
    m_maximized = !m_maximized;
    applyLanguage(m_language);
}

void Frame::applyLanguage(int flag) {
    if (flag != 0 && flag != 1)
        return;
    m_language = flag;
    const auto pick = [flag](const char* chinese, const char* english) {
        return platform::text(flag, chinese, english);
    };
    m_widgets.menu->setToolTip(pick("菜单", "Menu"));
    m_widgets.minimize->setToolTip(pick("最小化", "Minimize"));
    m_widgets.maximize->setToolTip(m_maximized ? pick("还原", "Restore")
                                               : pick("最大化", "Maximize"));
    m_widgets.close->setToolTip(pick("关闭", "Close"));
}

bool Frame::titleEvent(QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick)
        return false;
    toggleMaximized();
    return true;
}

// Presses on child widgets that take the mouse never get here, so in practice a drag starts on
// the title strip, the labels and free areas of the window.
void Frame::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragOffset = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
    m_dragging = true;
    event->accept();
}

void Frame::mouseMove(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && !m_dragLocked && m_dragging) {
        m_window->move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
    }
}

void Frame::mouseRelease() {
    m_dragging = false;
}
