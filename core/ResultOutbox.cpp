#include "core/ResultOutbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {
// A result is a few kilobytes; a point-by-point string of a marathon match some more.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
} // namespace

ResultOutbox::ResultOutbox(const QString &dataFolder)
    : folder_(QDir(dataFolder).filePath(QStringLiteral("outbox")))
{
    QFileInfoList files = QDir(folder_).entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &info : files) {
        const QString id = info.completeBaseName();
        if (!isMatchId(id) || info.size() > kMaxFileBytes)
            continue;
        QFile f(info.filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        waiting_[id] = {next_++, f.readAll()};
    }
}

bool ResultOutbox::isMatchId(const QString &id)
{
    return !id.isEmpty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'-';
    });
}

QString ResultOutbox::pathOf(const QString &id) const
{
    return QDir(folder_).filePath(id + QStringLiteral(".json"));
}

bool ResultOutbox::put(const QString &id, const QByteArray &payload)
{
    waiting_[id] = {next_++, payload};
    QSaveFile file(pathOf(id));
    const bool kept = QDir().mkpath(folder_) && file.open(QIODevice::WriteOnly)
                      && file.write(payload) == payload.size() && file.commit();
    problem_ = kept ? QString()
                    : QStringLiteral("Ergebnis %1 nicht im Ausgang gespeichert (%2): %3. Es wartet nur im Speicher "
                                     "auf den Broker und ginge bei einem Absturz verloren.")
                          .arg(id, file.errorString(), QDir::toNativeSeparators(pathOf(id)));
    return kept;
}

void ResultOutbox::delivered(const QString &id, const QByteArray &payload)
{
    const auto it = waiting_.find(id);
    if (it == waiting_.end() || it->second.second != payload)
        return;
    waiting_.erase(it);
    QFile::remove(pathOf(id));
}

QList<ResultOutbox::Entry> ResultOutbox::waiting() const
{
    std::vector<std::pair<quint64, Entry>> ordered;
    for (const auto &[id, value] : waiting_)
        ordered.push_back({value.first, Entry{id, value.second}});
    std::ranges::sort(ordered, {}, &std::pair<quint64, Entry>::first);
    QList<Entry> out;
    for (auto &[n, entry] : ordered)
        out.append(entry);
    return out;
}
