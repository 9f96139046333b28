#include "tests/feed/SchemaCheck.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

SchemaCheck::Outcome SchemaCheck::run(const QList<QJsonObject> &documents, const QString &schema)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        report = QStringLiteral("python3 is not installed");
        return Outcome::Unavailable;
    }
    QJsonArray array;
    for (const QJsonObject &document : documents)
        array.append(document);
    QTemporaryFile file;
    if (!file.open()) {
        report = QStringLiteral("no temporary file");
        return Outcome::Invalid;
    }
    file.write(QJsonDocument(array).toJson());
    file.flush();

    QProcess process;
    process.start(python, {QStringLiteral(COURTLYX_FEED_VALIDATOR), schema, file.fileName()});
    if (!process.waitForFinished(30'000)) {
        report = QStringLiteral("validator did not finish");
        return Outcome::Invalid;
    }
    report = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    if (process.exitCode() == 77)
        return Outcome::Unavailable;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? Outcome::Valid
                                                                                    : Outcome::Invalid;
}

void expectSchemaValid(const QList<QJsonObject> &documents, const QString &schema)
{
    SchemaCheck check;
    const SchemaCheck::Outcome outcome = check.run(documents, schema);
    if (outcome == SchemaCheck::Outcome::Unavailable) {
        std::printf("[ SKIPPED  ] schema check: %s\n", qPrintable(check.report));
        return;
    }
    EXPECT_EQ(outcome, SchemaCheck::Outcome::Valid) << check.report.toStdString();
}
