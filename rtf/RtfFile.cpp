#include "rtf/RtfFile.h"

#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QFile>
#include <QSaveFile>

bool loadRtfFile(QTextDocument &doc, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRtfFileSize)
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    readRtfOrPlainText(doc, data);
    return true;
}

bool saveRtfFile(const QTextDocument &doc, const QString &fileName, QString *error)
{
    const QByteArray data = writeRtf(doc);
    QSaveFile file(fileName);
    const auto fail = [&](const QString &reason) {
        if (error)
            *error = reason.isEmpty() ? QStringLiteral("cannot write %1").arg(fileName) : reason;
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(data) != data.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
