#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// Runs every collected document through the published JSON schema (python3-jsonschema).
struct SchemaCheck
{
    enum class Outcome { Valid, Invalid, Unavailable };

    Outcome run(const QList<QJsonObject> &documents, const QString &schema = QStringLiteral(COURTLYX_FEED_SCHEMA));
    // The validator's report, or why it could not run.
    QString report;
};

// Fails the test unless every document is valid; says so, and passes, where no checker runs.
void expectSchemaValid(const QList<QJsonObject> &documents, const QString &schema = QStringLiteral(COURTLYX_FEED_SCHEMA));
