#include "app/TitleFilePlace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <utility>

TitleFilePlace::TitleFilePlace(QString programPath, QString dataFolder)
    : programPath_(std::move(programPath)), dataFolder_(std::move(dataFolder))
{
}

TitleFilePlace TitleFilePlace::ofThisProgram()
{
    return TitleFilePlace(QCoreApplication::applicationFilePath(),
                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString TitleFilePlace::besideProgram() const
{
    const QFileInfo program(programPath_);
    return program.dir().filePath(program.completeBaseName() + QStringLiteral(".rtf"));
}

QString TitleFilePlace::inDataFolder() const
{
    return QDir(dataFolder_).filePath(QFileInfo(besideProgram()).fileName());
}

QString TitleFilePlace::defaultFile() const
{
    if (programFolderWritable())
        return besideProgram();
    makeDataFolder();
    return inDataFolder();
}

QString TitleFilePlace::startFile() const
{
    const QFileInfo data(inDataFolder());
    const QFileInfo beside(besideProgram());
    // A save beside the program after a fallback to the data folder makes that copy stale.
    if (data.isFile() && (!beside.exists() || data.lastModified() >= beside.lastModified()))
        return data.filePath();
    return beside.filePath();
}

QString TitleFilePlace::fallbackFor(const QString &file) const
{
    makeDataFolder();
    return QDir(dataFolder_).filePath(QFileInfo(file).fileName());
}

bool TitleFilePlace::programFolderWritable() const
{
    // access(2) underneath: false on a read-only mount, true for root whatever the mode.
    const QFileInfo folder(QFileInfo(programPath_).absolutePath());
    return folder.isDir() && folder.isWritable();
}

void TitleFilePlace::makeDataFolder() const
{
    // A folder that cannot be made shows as a failed save, which the caller handles.
    QDir().mkpath(dataFolder_);
}
