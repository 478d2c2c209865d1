#include "app/AltMenuKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace korvane {

AltMenuKey::AltMenuKey(QWidget* window, QMenuBar* menuBar, QMenu* menu)
    : QObject(window), m_window(window), m_menuBar(menuBar), m_menu(menu) {
    qApp->installEventFilter(this);
}

AltMenuKey::~AltMenuKey() {
    qApp->removeEventFilter(this);
}

bool AltMenuKey::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A key taken as a shortcut (the menus' Alt+letter) never arrives as a key press.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Alt)
            m_altAlone = false;
        break;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            m_altAlone = m_window->isActiveWindow() && key->key() == Qt::Key_Alt &&
                         !(key->modifiers() & Qt::ShiftModifier);
        break;
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Alt || key->isAutoRepeat())
            break;
        const bool open = m_altAlone && m_window->isActiveWindow();
        m_altAlone = false;
        if (open) {
            m_menuBar->setFocus(Qt::MenuBarFocusReason);
            m_menuBar->setActiveAction(m_menu->menuAction());
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::WindowDeactivate:
        m_altAlone = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvane
