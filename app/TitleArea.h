#pragma once

#include <QString>

class QTextEdit;
class QWidget;

// The rich-text title above the score, and the file it was loaded from and is saved to.
class TitleArea
{
public:
    explicit TitleArea(QWidget &window);

    QTextEdit *edit() const { return eTitle_; }
    QString fileName() const { return fileName_; }

    // The file beside the program, named after it.
    void loadDefault();
    // Ctrl+1 .. Ctrl+9: "<tag>.rtf" from the working folder.
    void RekClick(int tag);
    // A restored match's title: the file it showed, when it still reads.
    void loadFile(const QString &name);
    // At exit, and only when the operator changed the text.
    void save();

private:
    void setFileName(const QString &name);

    QTextEdit *eTitle_ = nullptr;
    QString fileName_;
};
