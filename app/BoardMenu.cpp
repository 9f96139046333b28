#include "app/BoardMenu.h"

#include "platform/ShortcutCode.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

namespace {

// Keys of the hidden menu, in menu order: name, caption, shortcut code.
struct MenuRow
{
    const char *name;
    const char *caption;
    int shortcut;
};
constexpr MenuRow kKeys[] = {
    {"mPause", "Pause", 0}, // the Pause key is given at creation
    {"Reset1", "Reset", 16432},   {"mPodacha", "Podacha", 116}, {"Config1", "Config", 16453},
    {"mSchet1", "Schet1", 112},   {"mSchet2", "Schet2", 113},   {"Game1", "Game", 16455},
    {"Set1", "Set", 16467},       {"mTieBreak", "TieBreak", 16468},
    // The journal's keys: Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z and Ctrl+Shift+E.
    {"mUndo", "Undo", 16474},     {"mRedo", "Redo", 16473},     {"mRedo2", "Redo", 24666},
    {"mRecords", "Records", 24645},
};
// Keys an editor keeps for its own text while it has the focus.
constexpr const char *kEditorKeys[] = {"mUndo", "mRedo", "mRedo2"};
constexpr int kPauseKey = 19;
constexpr int kFirstRekShortcut = 16433; // Ctrl+1

} // namespace

BoardMenu::BoardMenu(QWidget &window) : window_(window)
{
    Keys1_ = new QMenu(QStringLiteral("Keys"), &window);
    Keys1_->setObjectName(QStringLiteral("Keys1"));
    Reklama1_ = new QMenu(QStringLiteral("Reklama"), &window);
    Reklama1_->setObjectName(QStringLiteral("Reklama1"));
    // Both top-level entries stay invisible: the menu only carries the shortcuts.
    Keys1_->menuAction()->setVisible(false);
    Reklama1_->menuAction()->setVisible(false);
    for (const MenuRow &row : kKeys)
        add(Keys1_, QString::fromLatin1(row.name), QString::fromLatin1(row.caption), row.shortcut);
    for (int tag = 1; tag <= 9; ++tag) {
        QAction *rek = add(Reklama1_, QStringLiteral("Rek%1").arg(tag), QStringLiteral("Rek"),
                           kFirstRekShortcut + tag - 1);
        rek->setData(tag);
    }
}

QAction *BoardMenu::add(QMenu *menu, const QString &name, const QString &caption, int code)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(keySequenceFromShortcut(code));
    window_.addAction(a); // the window, not the hidden menu, makes the shortcut live
    items_.append(a);
    return a;
}

QAction *BoardMenu::item(const QString &name) const
{
    for (QAction *a : items_) {
        if (a->objectName() == name)
            return a;
    }
    return nullptr;
}

bool BoardMenu::isShortcut(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (const QAction *a : items_) {
        if (!a->shortcut().isEmpty() && a->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return true;
    }
    return false;
}

bool BoardMenu::isKeypadTwin(const QKeyEvent *event) const
{
    if (!(event->modifiers() & Qt::KeypadModifier))
        return false;
    const QKeyEvent twin(event->type(), event->key(), event->modifiers() & ~Qt::KeypadModifier);
    return isShortcut(&twin);
}

bool BoardMenu::isEditorKey(const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    for (const char *name : kEditorKeys) {
        if (item(QString::fromLatin1(name))->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return true;
    }
    return false;
}

void BoardMenu::givePauseKey()
{
    item(QStringLiteral("mPause"))->setShortcut(keySequenceFromShortcut(kPauseKey));
}
