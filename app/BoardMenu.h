#pragma once

#include <QList>
#include <QObject>
#include <QString>

class BoardModel;
class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

// The board's hidden menu: it carries the operator's keys and is never shown. A key that
// changes the match runs its command on the model; the others ask the window.
class BoardMenu : public QObject
{
    Q_OBJECT

public:
    BoardMenu(QWidget &window, BoardModel &model);

    QAction *item(const QString &name) const;
    // The Pause key is given at the window's creation step, not with the menu.
    void givePauseKey();
    // A text edit of the board: the board's keys win over its own bindings, but for undo
    // and redo, which it keeps for its text.
    void watchEditor(QWidget *editor);

signals:
    // What the keys ask of the window rather than of the model.
    void resetAsked();
    void configAsked();
    void recordsAsked();
    // Ctrl+1 .. Ctrl+9: the title file of that number.
    void titleAsked(int tag);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *add(QMenu *menu, const QString &name, const QString &caption, int code);
    // Whether the key is one of the board's, which win over the edits' own bindings.
    bool isShortcut(const QKeyEvent *event) const;
    // A number-pad key whose main-row twin is one of the board's keys. Qt's shortcut map
    // would take it for the twin; the board's keys are the main row's only.
    bool isKeypadTwin(const QKeyEvent *event) const;
    // Undo and redo, which a focused editor keeps while it has a step of its own.
    bool editorKeeps(const QObject *editor, const QKeyEvent *event) const;

    QWidget &window_;
    QMenu *Keys1_ = nullptr;
    QMenu *Reklama1_ = nullptr;
    QList<QAction *> items_;
    QList<QObject *> editors_;
};
