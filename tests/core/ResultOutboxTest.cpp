#include "core/ResultOutbox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Entry = ResultOutbox::Entry;

TEST(ResultOutbox, WhatWaitsOutlivesARestartInTheOrderItCameAndLeavesOnlyWhenItsPayloadIsDelivered)
{
    QTemporaryDir data;
    {
        ResultOutbox box(data.path());
        EXPECT_TRUE(box.put(QStringLiteral("20261209-100005"), "{\"a\":1}"));
        EXPECT_TRUE(box.put(QStringLiteral("20261209-110000-2"), "{\"b\":2}"));
        // An undo reopened the first match while its result was on its way: the clear replaces it.
        EXPECT_TRUE(box.put(QStringLiteral("20261209-100005"), QByteArray()));
        box.delivered(QStringLiteral("20261209-100005"), "{\"a\":1}");
        EXPECT_EQ(box.waiting(), (QList<Entry>{{QStringLiteral("20261209-110000-2"), "{\"b\":2}"},
                                               {QStringLiteral("20261209-100005"), QByteArray()}}))
            << "the late acknowledgement of the result does not take the clear";
        EXPECT_TRUE(box.problemText().isEmpty());
    }
    // Not a match id of ours: left alone.
    QFile stray(QDir(data.path()).filePath(QStringLiteral("outbox/notes.json")));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();
    ResultOutbox again(data.path());
    EXPECT_EQ(again.waiting(), (QList<Entry>{{QStringLiteral("20261209-110000-2"), "{\"b\":2}"},
                                             {QStringLiteral("20261209-100005"), QByteArray()}}))
        << "oldest first, as before the restart";
    again.delivered(QStringLiteral("20261209-110000-2"), "{\"b\":2}");
    EXPECT_EQ(again.waiting(), (QList<Entry>{{QStringLiteral("20261209-100005"), QByteArray()}}));
    EXPECT_FALSE(QFile::exists(QDir(data.path()).filePath(QStringLiteral("outbox/20261209-110000-2.json"))));
    EXPECT_TRUE(ResultOutbox::isMatchId(QStringLiteral("20261209-100005-12")));
    EXPECT_FALSE(ResultOutbox::isMatchId(QStringLiteral("../x")));
}

TEST(ResultOutbox, AFolderThatCannotBeWrittenIsSaidAndTheResultWaitsInMemory)
{
    QTemporaryDir data;
    // A file where the outbox folder would be.
    QFile blocker(QDir(data.path()).filePath(QStringLiteral("outbox")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ResultOutbox box(data.path());
    EXPECT_FALSE(box.put(QStringLiteral("20261209-100005"), "{}"));
    EXPECT_TRUE(box.problemText().startsWith(QStringLiteral("Ergebnis 20261209-100005 nicht im Ausgang gespeichert")))
        << box.problemText().toStdString();
    EXPECT_EQ(box.size(), 1);
    blocker.remove();
    EXPECT_TRUE(box.put(QStringLiteral("20261209-100005"), "{}"));
    EXPECT_TRUE(box.problemText().isEmpty());
}

} // namespace
