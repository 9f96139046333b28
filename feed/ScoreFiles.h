#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

// One small text file per figure of the board (name1.txt, points1.txt, sets.txt ...), for
// broadcast software that shows text files. A file is replaced whole, and only when its
// text changed, so a reader never sees half a file and the disk is not written each second.
class ScoreFiles
{
public:
    explicit ScoreFiles(QString folder = defaultFolder());

    static QString defaultFolder();
    const QString &folder() const { return folder_; }

    // Files and their texts for a state document.
    static QHash<QString, QString> texts(const QJsonObject &state);
    // False when a file could not be written; errorText() names it. The others are written.
    bool write(const QJsonObject &state);
    const QString &errorText() const { return error_; }

private:
    bool writeFile(const QString &name, const QString &text);

    QString folder_;
    QHash<QString, QString> written_;
    QString error_;
};
