#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

// The fuzz corpus, replayed by the ordinary suite without libFuzzer; a fault aborts the test.
TEST(RtfFuzzCorpus, EveryFileLoadsAndWritesBack)
{
    const QDir corpus(QStringLiteral(COURTLYX_FUZZ_CORPUS));
    const QFileInfoList files = corpus.entryInfoList(QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty()) << "no corpus in " << qPrintable(corpus.path());
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(info.filePath());
        const QByteArray data = file.readAll();
        SCOPED_TRACE(qPrintable(info.fileName()));
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(data.constData()),
                                         std::size_t(data.size())),
                  0);
    }
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
