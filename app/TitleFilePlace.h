#pragma once

#include <QString>

// Where the board's default title file lives. Beside the program (<program>.rtf in its
// folder) while that folder is writable, as an installed program's folder usually is not;
// otherwise in the user's data folder. A title that cannot be saved to its own file goes to
// the data folder too, so that the text typed is not lost.
class TitleFilePlace
{
public:
    TitleFilePlace(QString programPath, QString dataFolder);
    // This program's path and its data folder (QStandardPaths::AppDataLocation).
    static TitleFilePlace ofThisProgram();

    QString besideProgram() const;
    QString inDataFolder() const;

    // The file the title area is saved to unless one was loaded from elsewhere. The data
    // folder is created when the file is to be there.
    QString defaultFile() const;
    // The file the title area is loaded from at start: the data folder's when present there
    // and not older than the one beside the program, else the one beside the program.
    QString startFile() const;
    // Where a title goes that could not be saved to `file`: a file of the same name in the
    // data folder, which is created.
    QString fallbackFor(const QString &file) const;

private:
    bool programFolderWritable() const;
    void makeDataFolder() const;

    QString programPath_;
    QString dataFolder_;
};
