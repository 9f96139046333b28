#include "bench/BenchTable.h"

#include <algorithm>
#include <cstdio>

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BenchTable::add(const QString &figure, const QString &measured, const QString &target, bool pass,
                     const QString &note)
{
    rows_.push_back({figure, measured, target, pass, note});
}

void BenchTable::print() const
{
    const QString result[2] = {QStringLiteral("FAIL"), QStringLiteral("pass")};
    std::vector<std::vector<QString>> cells{{QStringLiteral("Figure"), QStringLiteral("Median"),
                                             QStringLiteral("Target"), QStringLiteral("Result"),
                                             QStringLiteral("Notes")}};
    for (const Row &r : rows_)
        cells.push_back({r.figure, r.measured, r.target, result[r.pass], r.note});
    std::vector<int> width(5, 0);
    for (const auto &row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c)
            width[c] = std::max(width[c], int(row[c].size()));
    }
    auto print = [&](const std::vector<QString> &row) {
        QString text = QStringLiteral("|");
        for (std::size_t c = 0; c < row.size(); ++c)
            text += u' ' + (c == 1 ? row[c].rightJustified(width[c]) : row[c].leftJustified(width[c])) + QStringLiteral(" |");
        std::printf("%s\n", text.toUtf8().constData());
    };
    print(cells[0]);
    QString rule = QStringLiteral("|");
    for (std::size_t c = 0; c < width.size(); ++c)
        rule += QString(width[c] + 1, u'-') + (c == 1 ? QStringLiteral(":|") : QStringLiteral("-|"));
    std::printf("%s\n", rule.toUtf8().constData());
    for (std::size_t i = 1; i < cells.size(); ++i)
        print(cells[i]);
    std::fflush(stdout);
}

bool BenchTable::allPassed() const
{
    return std::all_of(rows_.begin(), rows_.end(), [](const Row &r) { return r.pass; });
}
