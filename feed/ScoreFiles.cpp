#include "feed/ScoreFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {
QJsonObject side(const QJsonObject &state, int number)
{
    return state.value(QStringLiteral("sides")).toArray().at(number - 1).toObject();
}

QString gamesText(const QJsonObject &set, int side)
{
    return set.value(QStringLiteral("texts")).toArray().at(side - 1).toString();
}

// A text source shows a file's lines one under another; a name typed with a line break
// or a control character would push the figure out of its box.
QString oneLine(QString text)
{
    text.removeIf([](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
    return text;
}
} // namespace

ScoreFiles::ScoreFiles(QString folder) : folder_(std::move(folder))
{
}

QString ScoreFiles::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/feed");
}

QHash<QString, QString> ScoreFiles::texts(const QJsonObject &state)
{
    const QJsonArray sets = state.value(QStringLiteral("sets")).toArray();
    QStringList played;
    for (const QJsonValue &value : sets) {
        const QJsonObject set = value.toObject();
        if (!gamesText(set, 1).isEmpty() && !gamesText(set, 2).isEmpty())
            played << gamesText(set, 1) + u':' + gamesText(set, 2);
    }
    // Past the last set the board stays on it.
    const qsizetype current = std::min<qsizetype>(state.value(QStringLiteral("currentSet")).toInt(), sets.size());
    const QJsonObject currentSet = current >= 1 ? sets.at(current - 1).toObject() : QJsonObject();

    return {
        {QStringLiteral("name1.txt"), oneLine(side(state, 1).value(QStringLiteral("name")).toString())},
        {QStringLiteral("name2.txt"), oneLine(side(state, 2).value(QStringLiteral("name")).toString())},
        {QStringLiteral("points1.txt"), side(state, 1).value(QStringLiteral("points")).toString()},
        {QStringLiteral("points2.txt"), side(state, 2).value(QStringLiteral("points")).toString()},
        {QStringLiteral("games1.txt"), gamesText(currentSet, 1)},
        {QStringLiteral("games2.txt"), gamesText(currentSet, 2)},
        {QStringLiteral("sets.txt"), played.join(u' ')},
        {QStringLiteral("server.txt"), QString::number(state.value(QStringLiteral("server")).toInt())},
        {QStringLiteral("time.txt"), state.value(QStringLiteral("elapsed")).toObject().value(QStringLiteral("text")).toString()},
        {QStringLiteral("tiebreak.txt"), state.value(QStringLiteral("tieBreak")).toBool() ? QStringLiteral("Tiebreak") : QString()},
    };
}

bool ScoreFiles::write(const QJsonObject &state)
{
    error_.clear();
    // A folder deleted meanwhile is made again with every file, not only the changed ones.
    if (!QFileInfo(folder_).isDir())
        written_.clear();
    if (!QDir().mkpath(folder_)) {
        error_ = QStringLiteral("%1: Ordner lässt sich nicht anlegen").arg(folder_);
        return false;
    }
    bool ok = true;
    const QHash<QString, QString> all = texts(state);
    for (auto it = all.constBegin(); it != all.constEnd(); ++it)
        ok = writeFile(it.key(), it.value()) && ok;
    return ok;
}

bool ScoreFiles::writeFile(const QString &name, const QString &text)
{
    const auto known = written_.constFind(name);
    if (known != written_.constEnd() && *known == text)
        return true;
    const QString path = folder_ + u'/' + name;
    // Replacing a link would write wherever it points, another user's file as well.
    if (QFileInfo(path).isSymLink()) {
        error_ = QStringLiteral("%1 ist ein Verweis, nicht geschrieben").arg(path);
        written_.remove(name);
        return false;
    }
    if (known == written_.constEnd()) {
        // From an earlier run the file may already hold this text.
        QFile existing(path);
        if (existing.open(QIODevice::ReadOnly) && existing.size() < 4096
            && QString::fromUtf8(existing.readAll()) == text) {
            written_.insert(name, text);
            return true;
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        error_ = QStringLiteral("%1: %2").arg(path, file.errorString());
        written_.remove(name);
        return false;
    }
    written_.insert(name, text);
    return true;
}
