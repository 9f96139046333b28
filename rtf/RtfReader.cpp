#include "rtf/RtfReader.h"

#include "rtf/RtfCodePage.h"
#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfTokenizer.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace {

QString plainText(const QByteArray &data)
{
    if (const auto marked = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*marked);
        return decoder.decode(data);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    const RtfCodePage western(RtfCodePage::kWestern);
    text.resize(data.size());
    for (qsizetype i = 0; i < data.size(); ++i)
        text[i] = QChar(western.decode(static_cast<unsigned char>(data[i])));
    return text;
}

} // namespace

bool readRtf(QTextDocument &doc, const QByteArray &data)
{
    if (!data.startsWith("{\\rtf"))
        return false;
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    RtfTokenizer tokens(data);
    RtfDocumentBuilder builder(doc);
    while (!builder.done()) {
        const RtfToken token = tokens.next();
        if (token.kind == RtfToken::Kind::End)
            break;
        builder.add(token);
    }
    builder.finish();
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    return true;
}

void readRtfOrPlainText(QTextDocument &doc, const QByteArray &data)
{
    if (readRtf(doc, data))
        return;
    doc.setPlainText(plainText(data));
    doc.setModified(false);
}
