#include "MainMenu.h"

#include "LanguageSource.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

MainMenu::MainMenu(QPushButton* button, const LanguageSource& language) : m_button(button) {
    connect(&language, &LanguageSource::changed, this, &MainMenu::applyLanguage);
}

MainMenu::~MainMenu() {
    destroy();
}

// The menu hangs on the button, which shows no arrow.
void MainMenu::create() {
    m_menu = new QMenu;
    m_skin = new QAction(QStringLiteral("换肤"), m_menu);
    m_settings = new QAction(QStringLiteral("设置"), m_menu);
    m_about = new QAction(QStringLiteral("关于"), m_menu);
    m_language = new QAction(QStringLiteral("English"), m_menu);
    m_menu->addAction(m_skin);
    m_menu->addAction(m_settings);
    m_menu->addAction(m_about);
    m_menu->addAction(m_language);
    m_button->setMenu(m_menu);
    m_button->setStyleSheet(QStringLiteral("QPushButton::menu-indicator{image:None;}"));
    // The menu takes the mouse while open: the button never hears that the pointer left it, and
    // would stay lit as if hovered.
    connect(m_menu, &QMenu::aboutToHide, m_button, [button = m_button] {
        button->setAttribute(Qt::WA_UnderMouse, false);
        button->setDown(false);
        button->update();
    });
    connect(m_skin, &QAction::triggered, this, &MainMenu::skinRequested);
    connect(m_settings, &QAction::triggered, this, &MainMenu::settingsRequested);
    connect(m_about, &QAction::triggered, this, &MainMenu::aboutRequested);
    connect(m_language, &QAction::triggered, this, &MainMenu::languageRequested);
}

void MainMenu::destroy() {
    delete m_menu; // owns its actions
    m_menu = nullptr;
    m_skin = nullptr;
    m_settings = nullptr;
    m_about = nullptr;
    m_language = nullptr;
}

void MainMenu::applyLanguage(int flag) {
    if (m_menu == nullptr)
        return;
    const bool chinese = flag == 0;
    m_skin->setText(chinese ? QStringLiteral("换肤") : QStringLiteral("Change skin"));
    m_settings->setText(chinese ? QStringLiteral("设置") : QStringLiteral("Settings"));
    m_about->setText(chinese ? QStringLiteral("关于") : QStringLiteral("About"));
    m_language->setText(chinese ? QStringLiteral("English") : QStringLiteral("中文"));
}
