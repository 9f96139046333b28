#include "bench/RtfBench.h"

#include "bench/BenchTable.h"
#include "bench/RtfSamples.h"
#include "rtf/RtfFile.h"
#include "rtf/RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextEdit>

#include <chrono>
#include <functional>

namespace {

constexpr int kRuns = 15; // bursts of page faults on a virtual machine can slow several runs in a row
using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

bool writeFile(const QString &name, const QByteArray &data)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Into the document of an edit of the title area's size, as the board loads a title.
std::vector<double> timeLoads(const QString &name, int &blocks)
{
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QTextEdit edit;
        edit.resize(530, 320);
        const auto start = Clock::now();
        const bool loaded = loadRtfFile(*edit.document(), name);
        ms.push_back(milliseconds(Clock::now() - start));
        blocks = loaded ? edit.document()->blockCount() : -1;
    }
    return ms;
}

QString ms(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" ms");
}

QString mb(qsizetype bytes)
{
    return QString::number(bytes / 1048576.0, 'f', 1) + QStringLiteral(" MB");
}

} // namespace

void runRtfBench(BenchTable &table, const QString &dir)
{
    const QString textFile = dir + QStringLiteral("/text.rtf");
    const QString pictureFile = dir + QStringLiteral("/picture.rtf");
    const QString savedFile = dir + QStringLiteral("/saved.rtf");
    const QByteArray text = titleRtf(1 << 20);
    const QSize pictureSize(1600, 1000);
    const QByteArray png = noisyPng(pictureSize);
    const QByteArray withPicture = titleRtfWithPicture(10 << 20, png, pictureSize);
    if (!writeFile(textFile, text) || !writeFile(pictureFile, withPicture)) {
        table.add(QStringLiteral("title files"), QStringLiteral("-"), QStringLiteral("-"), false,
                  QStringLiteral("cannot write to ") + dir);
        return;
    }

    int blocks = 0;
    const double textLoad = median(timeLoads(textFile, blocks));
    table.add(QStringLiteral("load 1 MB text RTF"), ms(textLoad), QStringLiteral("<= 50 ms"),
              blocks > 1 && textLoad <= 50,
              QStringLiteral("%1, %2 paragraphs").arg(mb(text.size())).arg(blocks));

    const double pictureLoad = median(timeLoads(pictureFile, blocks));
    table.add(QStringLiteral("load 10 MB RTF with picture"), ms(pictureLoad), QStringLiteral("<= 300 ms"),
              blocks > 1 && pictureLoad <= 300,
              QStringLiteral("%1, PNG %2 (%3 x %4)").arg(mb(withPicture.size()), mb(png.size()))
                  .arg(pictureSize.width()).arg(pictureSize.height()));

    QTextDocument doc;
    loadRtfFile(doc, textFile);
    std::vector<double> saves;
    bool saved = true;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        saved = saveRtfFile(doc, savedFile) && saved;
        saves.push_back(milliseconds(Clock::now() - start));
    }
    const double save = median(saves);
    table.add(QStringLiteral("save 1 MB title"), ms(save), QStringLiteral("<= 50 ms"), saved && save <= 50,
              QStringLiteral("%1 written").arg(mb(QFileInfo(savedFile).size())));

    // While the operator types into the title, its text goes to the model as RTF once a
    // second: what one such send costs the board's thread.
    const auto timeSends = [&](const QString &file) {
        QTextDocument title;
        loadRtfFile(title, file);
        std::vector<double> sends;
        qsizetype size = 0;
        for (int run = 0; run < kRuns; ++run) {
            const auto start = Clock::now();
            size = writeRtf(title).size();
            sends.push_back(milliseconds(Clock::now() - start));
        }
        return std::pair(median(sends), size);
    };
    const auto [textSend, textSize] = timeSends(textFile);
    table.add(QStringLiteral("title text sent while typing, 1 MB"), ms(textSend), QStringLiteral("<= 50 ms"),
              textSend <= 50, QStringLiteral("%1 of RTF, once a second at most").arg(mb(textSize)));
    const auto [pictureSend, pictureSize2] = timeSends(pictureFile);
    table.add(QStringLiteral("title text sent while typing, picture"), ms(pictureSend), QStringLiteral("<= 300 ms"),
              pictureSend <= 300, QStringLiteral("%1 of RTF, once a second at most").arg(mb(pictureSize2)));
}
