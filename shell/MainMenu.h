#pragma once

#include <QObject>

class LanguageSource;
class QAction;
class QMenu;
class QPushButton;

// The menu on the title strip's menu button: skins, settings, about, and the other language,
// named in that language so that a user who cannot read the current one still finds it.
class MainMenu : public QObject {
    Q_OBJECT

public:
    // Names the other language of `language`, and follows it.
    MainMenu(QPushButton* button, const LanguageSource& language);
    ~MainMenu() override;

    void create();
    void destroy();
    void applyLanguage(int flag);

signals:
    void skinRequested();
    void settingsRequested();
    void aboutRequested();
    void languageRequested();

private:
    QPushButton* m_button;
    QMenu* m_menu = nullptr;
    QAction* m_skin = nullptr;
    QAction* m_settings = nullptr;
    QAction* m_about = nullptr;
    QAction* m_language = nullptr;
};
