#pragma once

#include <QString>

class QTextEdit;
class QWidget;
class TitleFilePlace;

// The rich-text title above the score, and the file it was loaded from and is saved to.
class TitleArea
{
public:
    explicit TitleArea(QWidget &window);

    QTextEdit *edit() const { return eTitle_; }
    QString fileName() const { return fileName_; }

    // The default title file, named after the program (see TitleFilePlace).
    void loadDefault(const TitleFilePlace &place);
    // Ctrl+1 .. Ctrl+9: "<tag>.rtf" from the working folder.
    void RekClick(int tag);
    // A restored match's title: the file it showed, when it still reads.
    void loadFile(const QString &name);
    // At exit, and only when the operator changed the text. False when the file could
    // not be written, with the system's reason in *error.
    bool save(QString *error);
    // The text to another file, when its own could not be written.
    bool saveTo(const QString &file, QString *error) const;

private:
    void setFileName(const QString &name);

    QTextEdit *eTitle_ = nullptr;
    QString fileName_;
};
