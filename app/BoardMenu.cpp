#include "app/BoardMenu.h"

#include "core/BoardModel.h"
#include "platform/ShortcutCode.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextEdit>

#include <algorithm>

namespace {

using Kind = MatchCommand::Kind;

// Keys of the hidden menu, in menu order: name, caption, shortcut code, and what the key
// does: a command of the model, or a question to the window.
struct MenuRow
{
    const char *name;
    const char *caption;
    int shortcut;
    MatchCommand command;
    void (BoardMenu::*ask)() = nullptr;
};
const MenuRow kKeys[] = {
    {"mPause", "Pause", 0, MatchCommand::of(Kind::Play)}, // the Pause key is given at creation
    {"Reset1", "Reset", 16432, {}, &BoardMenu::resetAsked},
    {"mPodacha", "Podacha", 116, MatchCommand::of(Kind::Serve)},
    {"Config1", "Config", 16453, {}, &BoardMenu::configAsked},
    {"mSchet1", "Schet1", 112, MatchCommand::point(1)},
    {"mSchet2", "Schet2", 113, MatchCommand::point(2)},
    {"Game1", "Game", 16455, MatchCommand::of(Kind::GameAward)},
    {"Set1", "Set", 16467, MatchCommand::of(Kind::NextSet)},
    {"mTieBreak", "TieBreak", 16468, MatchCommand::of(Kind::TieBreakToggle)},
    // The journal's keys: Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z and Ctrl+Shift+E.
    {"mUndo", "Undo", 16474, MatchCommand::of(Kind::Undo)},
    {"mRedo", "Redo", 16473, MatchCommand::of(Kind::Redo)},
    {"mRedo2", "Redo", 24666, MatchCommand::of(Kind::Redo)},
    {"mRecords", "Records", 24645, {}, &BoardMenu::recordsAsked},
};
// Keys an editor keeps for its own text while it has the focus and a step of its own.
constexpr const char *kEditorUndoKeys[] = {"mUndo"};
constexpr const char *kEditorRedoKeys[] = {"mRedo", "mRedo2"};

bool hasOwnStep(const QObject *editor, bool undo)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(editor))
        return undo ? line->isUndoAvailable() : line->isRedoAvailable();
    if (const auto *text = qobject_cast<const QTextEdit *>(editor))
        return undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable();
    return true;
}
constexpr int kPauseKey = 19;
constexpr int kFirstRekShortcut = 16433; // Ctrl+1

} // namespace

BoardMenu::BoardMenu(QWidget &window, BoardModel &model) : window_(window)
{
    Keys1_ = new QMenu(QStringLiteral("Keys"), &window);
    Keys1_->setObjectName(QStringLiteral("Keys1"));
    Reklama1_ = new QMenu(QStringLiteral("Reklama"), &window);
    Reklama1_->setObjectName(QStringLiteral("Reklama1"));
    // Both top-level entries stay invisible: the menu only carries the shortcuts.
    Keys1_->menuAction()->setVisible(false);
    Reklama1_->menuAction()->setVisible(false);
    for (const MenuRow &row : kKeys) {
        QAction *a = add(Keys1_, QString::fromLatin1(row.name), QString::fromLatin1(row.caption), row.shortcut);
        if (row.ask)
            connect(a, &QAction::triggered, this, row.ask);
        else
            connect(a, &QAction::triggered, this, [&model, c = row.command] { model.execute(c); });
    }
    for (int tag = 1; tag <= 9; ++tag) {
        QAction *rek = add(Reklama1_, QStringLiteral("Rek%1").arg(tag), QStringLiteral("Rek"),
                           kFirstRekShortcut + tag - 1);
        rek->setData(tag);
        connect(rek, &QAction::triggered, this, [this, tag] { emit titleAsked(tag); });
    }
    // Keys no control takes reach the window; it sorts out the number pad's.
    window.installEventFilter(this);
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

void BoardMenu::watchEditor(QWidget *editor)
{
    editors_.append(editor);
    editor->installEventFilter(this);
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

bool BoardMenu::editorKeeps(const QObject *editor, const QKeyEvent *event) const
{
    const QKeySequence pressed(event->keyCombination());
    const auto pressedOneOf = [&](const auto &names) {
        return std::any_of(std::begin(names), std::end(names), [&](const char *name) {
            return item(QString::fromLatin1(name))->shortcut().matches(pressed) == QKeySequence::ExactMatch;
        });
    };
    // With nothing of its own to take back (the format code confirmed with Enter, which
    // renews the field), the key is the board's.
    if (pressedOneOf(kEditorUndoKeys))
        return hasOwnStep(editor, true);
    if (pressedOneOf(kEditorRedoKeys))
        return hasOwnStep(editor, false);
    return false;
}

void BoardMenu::givePauseKey()
{
    item(QStringLiteral("mPause"))->setShortcut(keySequenceFromShortcut(kPauseKey));
}

bool BoardMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    // Taken here, the key reaches the focused control as an ordinary key instead.
    if (watched == &window_ && isKeypadTwin(key)) {
        event->accept();
        return true;
    }
    // Edits claim some of the board's keys (Ctrl+E, Ctrl+T ...); the board's keys win,
    // but for undo and redo, which the editors keep for their text.
    if (editors_.contains(watched) && editorKeeps(watched, key)) {
        event->accept();
        return true;
    }
    if (isShortcut(key)) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
