#pragma once

#include "app/TitleFilePlace.h"

#include <QObject>
#include <QPoint>
#include <QString>

class BoardModel;
class PacedSender;
class QLabel;
class QTextEdit;
class QWidget;

// The rich-text title above the score, and the file it was loaded from and is saved to.
// The file shown is the model's; Ctrl+1 .. Ctrl+9 ask for another. The operator types into
// it only on purpose: a double click puts the keyboard there and frames the area; Escape
// gives the keyboard back (so does a click elsewhere on the board, see FocusHome).
class TitleArea : public QObject
{
    Q_OBJECT

public:
    TitleArea(QWidget &window, BoardModel &model, const TitleFilePlace &place);

    QTextEdit *edit() const { return eTitle_; }
    // Where the keyboard goes when typing in the title ends.
    void setFocusHome(QWidget *home) { focusHome_ = home; }
    bool editing() const;
    QString fileName() const { return fileName_; }

    // The default title file, named after the program (see TitleFilePlace).
    void loadDefault();
    // Ctrl+1 .. Ctrl+9: "<tag>.rtf" from the working folder.
    void RekClick(int tag);
    // At exit, and only when the text or its formatting differs from what was loaded:
    // typing deleted again leaves a foreign file (LibreOffice's tables) as it was. No typed title is lost without
    // a word: one that cannot be written to its file goes to the data folder, and the
    // operator is told where.
    void saveOnExit(QWidget *parentForMessage);
    // False when the file could not be written, with the system's reason in *error.
    bool save(QString *error);
    bool saveTo(const QString &file, QString *error) const;
    bool changedSinceLoad() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void beginEditing(QPoint at);
    void endEditing();
    void showEditing(bool on);
    // Follows the model's colour scheme; what already shows its colour is left alone.
    void showColours();
    // A restored match's title: the file it showed, when it still reads.
    void loadFile(const QString &name);
    // Loads a file into the area; false leaves the area as it was.
    bool load(const QString &name);
    void setFileName(const QString &name);
    // The document as it was read from its file, the measure of "changed".
    void markLoaded();
    void sendText();
    void showText(const QString &rtf);

    BoardModel &model_;
    QWidget *focusHome_ = nullptr;
    const TitleFilePlace place_;
    QLabel *Image1_ = nullptr;
    QTextEdit *eTitle_ = nullptr;
    QString fileName_;
    QByteArray loaded_;
    QString sent_;
    PacedSender *typing_ = nullptr;
    bool loading_ = false;
};
