#pragma once

#include <QObject>

class QAction;
class QMenu;
class QPushButton;

// The menu on the title strip's menu button: skins, settings, about.
class MainMenu : public QObject {
    Q_OBJECT

public:
    explicit MainMenu(QPushButton* button);
    ~MainMenu() override;

    void create();
    void destroy();
    void applyLanguage(int flag);

signals:
    void skinRequested();
    void settingsRequested();
    void aboutRequested();

private:
    QPushButton* m_button;
    QMenu* m_menu = nullptr;
    QAction* m_skin = nullptr;
    QAction* m_settings = nullptr;
    QAction* m_about = nullptr;
};
