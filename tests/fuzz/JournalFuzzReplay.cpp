#include "core/JournalFormat.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <string>

std::string checkJournalInput(const QByteArray &input);

// The fuzz corpus, replayed by the ordinary suite without libFuzzer.
TEST(JournalFuzzCorpus, EveryFileReadsToAPrefixThatWritesBack)
{
    const QDir corpus(QStringLiteral(COURTLYX_JOURNAL_CORPUS));
    const QFileInfoList files = corpus.entryInfoList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 5) << "no corpus in " << qPrintable(corpus.path());
    using Status = JournalFormat::ReadResult::Status;
    // The hand-made seeds and what the reader must make of them; fuzz finds are only replayed.
    const std::map<QString, Status> seeds = {
        {QStringLiteral("match.txt"), Status::Ok},           {QStringLiteral("every-kind.txt"), Status::Ok},
        {QStringLiteral("undo-redo.txt"), Status::Ok},       {QStringLiteral("crlf.txt"), Status::Ok},
        {QStringLiteral("header-only.txt"), Status::Ok},     {QStringLiteral("cut-off.txt"), Status::CutOff},
        {QStringLiteral("garbage-line.txt"), Status::Garbage}, {QStringLiteral("newer-version.txt"), Status::NewerVersion},
        {QStringLiteral("not-a-journal.txt"), Status::NotAJournal},
    };
    int withRecords = 0;
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(info.filePath());
        const QByteArray data = file.readAll();
        SCOPED_TRACE(qPrintable(info.fileName()));
        EXPECT_EQ(checkJournalInput(data), "");
        const JournalFormat::ReadResult read = JournalFormat::read(data);
        withRecords += !read.records.isEmpty();
        if (const auto seed = seeds.find(info.fileName()); seed != seeds.end()) {
            EXPECT_EQ(read.status, seed->second);
            qsizetype lines = 0;
            for (const QByteArray &line : data.split('\n'))
                lines += !line.isEmpty();
            if (seed->second == Status::Ok) {
                EXPECT_EQ(read.records.size(), lines - 1) << "every line after the header is a record";
            }
        }
    }
    EXPECT_GE(withRecords, 3) << "the corpus must hold journals with records, not only refusals";
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
