#include "tests/fuzz/RtfRoundTrip.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

QList<QPair<QString, QByteArray>> corpusFiles()
{
    QList<QPair<QString, QByteArray>> files;
    const QDir corpus(QStringLiteral(COURTLYX_FUZZ_CORPUS));
    for (const QFileInfo &info : corpus.entryInfoList(QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.append({info.fileName(), file.readAll()});
    }
    return files;
}

} // namespace

// The fuzz corpus, replayed by the ordinary suite without libFuzzer.
TEST(RtfFuzzCorpus, EveryFileRoundTripsToTheSameDocument)
{
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 9) << "corpus missing in " << COURTLYX_FUZZ_CORPUS;
    for (const auto &[name, data] : files) {
        const QString fault = rtfRoundTripFault(data);
        EXPECT_TRUE(fault.isEmpty()) << qPrintable(name) << ": " << qPrintable(fault);
    }
}

// The fuzz entry aborts on a fault; run in a child process, an abort fails this test by name.
TEST(RtfFuzzCorpusDeathTest, FuzzEntryReturnsForEveryFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const auto &[name, data] : corpusFiles()) {
        // _Exit: the child ends with the application still alive, which is no leak of the entry's.
        EXPECT_EXIT(std::_Exit(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                                      std::size_t(data.size()))),
                    ::testing::ExitedWithCode(0), "")
            << qPrintable(name);
    }
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
