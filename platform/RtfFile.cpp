#include "platform/RtfFile.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

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

bool saveRtfFile(const QTextDocument &doc, const QString &fileName)
{
    const QByteArray data = writeRtf(doc);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
