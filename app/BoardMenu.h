#pragma once

#include <QList>
#include <QString>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

// The board's hidden menu: it carries the operator's keys and is never shown.
class BoardMenu
{
public:
    explicit BoardMenu(QWidget &window);

    QAction *item(const QString &name) const;
    // Whether the key is one of the board's, which win over the edits' own bindings.
    bool isShortcut(const QKeyEvent *event) const;
    // A number-pad key whose main-row twin is one of the board's keys. Qt's shortcut map
    // would take it for the twin; the board's keys are the main row's only.
    bool isKeypadTwin(const QKeyEvent *event) const;
    // Undo and redo, which a focused text edit keeps for its text.
    bool isEditorKey(const QKeyEvent *event) const;
    // The Pause key is given at the window's creation step, not with the menu.
    void givePauseKey();

private:
    QAction *add(QMenu *menu, const QString &name, const QString &caption, int code);

    QWidget &window_;
    QMenu *Keys1_ = nullptr;
    QMenu *Reklama1_ = nullptr;
    QList<QAction *> items_;
};
