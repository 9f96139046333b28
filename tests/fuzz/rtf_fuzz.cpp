#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The text a title file keeps: no controls or Qt's structure markers, and a surrogate
// without its other half (which only broken plain text brings) saved as U+FFFD.
QString asSaved(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n') || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
    });
    return text;
}

} // namespace

// libFuzzer entry: any bytes must load, lay out, write and load back to the same text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "rtf_fuzz";
    static char *argv[] = {name, nullptr};
    // Under libFuzzer nobody else makes the application; it lives until the process ends.
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    }

    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument doc;
    readRtfOrPlainText(doc, input);
    doc.setTextWidth(300);
    (void)doc.size();

    QTextDocument again;
    if (!readRtf(again, writeRtf(doc)) || again.toPlainText() != asSaved(doc.toPlainText()))
        std::abort();
    return 0;
}
