#pragma once

#include <QObject>

class QMenu;
class QMenuBar;
class QWidget;

namespace korvane {

// Alt alone opens a menu (the window's "Файл") on its release, with no other key pressed in
// between: Alt+F4, Alt+Tab and the menus' Alt+letter keys reach the window manager and the menu
// bar. Watches the application's events while the window lives.
class AltMenuKey : public QObject {
    Q_OBJECT
public:
    AltMenuKey(QWidget* window, QMenuBar* menuBar, QMenu* menu);
    ~AltMenuKey() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QMenuBar* m_menuBar;
    QMenu* m_menu;
    bool m_altAlone = false; // Alt is down and no other key was pressed since
};

} // namespace korvane
