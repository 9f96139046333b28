#pragma once

#include <QString>

#include <vector>

double median(std::vector<double> values);

// The one table the benchmark prints: each figure beside its target.
class BenchTable
{
public:
    void add(const QString &figure, const QString &measured, const QString &target, bool pass,
             const QString &note = QString());
    void print() const;
    bool allPassed() const;

private:
    struct Row
    {
        QString figure;
        QString measured;
        QString target;
        bool pass;
        QString note;
    };
    std::vector<Row> rows_;
};
