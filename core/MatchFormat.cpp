#include "core/MatchFormat.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

using SetFormat = MatchFormat::SetFormat;
using Tiebreak = MatchFormat::Tiebreak;

// Games, points and set counts beyond two digits are typing errors, not formats.
constexpr int kMaxNumber = 99;
const QString kNoAd = QStringLiteral("NOAD");

const QRegularExpression &matchForm()
{
    static const QRegularExpression form(QStringLiteral("^SET([0-9]+)(X?)$"));
    return form;
}

const QRegularExpression &timedForm()
{
    static const QRegularExpression form(QStringLiteral("^T[0-9]"));
    return form;
}

const QRegularExpression &tiebreakSetForm()
{
    static const QRegularExpression form(QStringLiteral("^TB([0-9]+)(NOAD)?$"));
    return form;
}

const QRegularExpression &gamesSetForm()
{
    static const QRegularExpression form(
        QStringLiteral("^([0-9]+)(NOAD)?(?:/TB([0-9]+)(NOAD)?(?:@([0-9]+))?)?$"));
    return form;
}

// 0 for a number out of range, with the error naming it in its part.
int number(const QString &digits, const QString &part, QString &error)
{
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (ok && value >= 1 && value <= kMaxNumber)
        return value;
    error = QStringLiteral("'%1' in '%2' is not from 1 to %3").arg(digits, part).arg(kMaxNumber);
    return 0;
}

std::optional<SetFormat> parseSet(const QString &form, QString &error)
{
    if (timedForm().match(form).hasMatch()) {
        error = QStringLiteral("timed sets are not supported: '%1'").arg(form);
        return std::nullopt;
    }
    if (const auto m = tiebreakSetForm().match(form); m.hasMatch()) {
        const int to = number(m.captured(1), form, error);
        if (to == 0)
            return std::nullopt;
        return SetFormat::tiebreakOnly({to, m.hasCaptured(2)});
    }
    const auto m = gamesSetForm().match(form);
    if (!m.hasMatch()) {
        error = QStringLiteral("unknown set form '%1'").arg(form);
        return std::nullopt;
    }
    SetFormat set = SetFormat::advantage(number(m.captured(1), form, error), m.hasCaptured(2));
    if (set.setTo == 0)
        return std::nullopt;
    if (!m.hasCaptured(3))
        return set;
    const int to = number(m.captured(3), form, error);
    if (to == 0)
        return std::nullopt;
    set.tiebreak = Tiebreak{to, m.hasCaptured(4)};
    set.tiebreakAt = m.hasCaptured(5) ? number(m.captured(5), form, error) : set.setTo;
    if (set.tiebreakAt == 0)
        return std::nullopt;
    // Below one game short of the set, the tie-break would end the set before anyone reaches it.
    if (set.tiebreakAt < set.setTo - 1) {
        error = QStringLiteral("a tie-break at %1 all cannot decide a set to %2: '%3'")
                    .arg(set.tiebreakAt)
                    .arg(set.setTo)
                    .arg(form);
        return std::nullopt;
    }
    return set;
}

QString tiebreakCode(const Tiebreak &tiebreak)
{
    return QStringLiteral("TB") + QString::number(tiebreak.to) + (tiebreak.noAd ? kNoAd : QString());
}

QString setCode(const SetFormat &set)
{
    if (set.tiebreakSet)
        return tiebreakCode(*set.tiebreakSet);
    QString code = QString::number(set.setTo) + (set.noAd ? kNoAd : QString());
    if (set.tiebreak) {
        code += QLatin1Char('/') + tiebreakCode(*set.tiebreak);
        if (set.tiebreakAt != set.setTo)
            code += QLatin1Char('@') + QString::number(set.tiebreakAt);
    }
    return code;
}

QJsonObject tiebreakJson(const Tiebreak &tiebreak)
{
    QJsonObject json{{QStringLiteral("tiebreakTo"), tiebreak.to}};
    if (tiebreak.noAd)
        json.insert(QStringLiteral("NoAD"), true);
    return json;
}

QJsonObject setJson(const SetFormat &set)
{
    if (set.tiebreakSet)
        return {{QStringLiteral("tiebreakSet"), tiebreakJson(*set.tiebreakSet)}};
    QJsonObject json{{QStringLiteral("setTo"), set.setTo}};
    if (set.noAd)
        json.insert(QStringLiteral("NoAD"), true);
    if (set.tiebreak) {
        json.insert(QStringLiteral("tiebreakFormat"), tiebreakJson(*set.tiebreak));
        json.insert(QStringLiteral("tiebreakAt"), set.tiebreakAt);
    } else {
        json.insert(QStringLiteral("noTiebreak"), true);
    }
    return json;
}

} // namespace

bool MatchFormat::SetFormat::operator==(const SetFormat &other) const
{
    if (tiebreakSet || other.tiebreakSet)
        return tiebreakSet == other.tiebreakSet;
    if (setTo != other.setTo || noAd != other.noAd || tiebreak != other.tiebreak)
        return false;
    return !tiebreak || tiebreakAt == other.tiebreakAt;
}

const MatchFormat::SetFormat &MatchFormat::finalSetFormat() const
{
    return bestOf > 1 && finalSet ? *finalSet : set;
}

MatchFormat::Parsed MatchFormat::parse(const QString &code)
{
    if (code.isEmpty())
        return {std::nullopt, QStringLiteral("empty format code")};
    const QStringList parts = code.split(QLatin1Char('-'));
    if (parts.contains(QString()))
        return {std::nullopt, QStringLiteral("empty part between dashes in '%1'").arg(code)};
    const QString &match = parts[0];
    if (timedForm().match(match).hasMatch())
        return {std::nullopt, QStringLiteral("timed matches are not supported: '%1'").arg(match)};
    const auto m = matchForm().match(match);
    if (!m.hasMatch())
        return {std::nullopt, QStringLiteral("unknown match form '%1'").arg(match)};
    bool ok = false;
    MatchFormat format;
    format.bestOf = m.captured(1).toInt(&ok);
    format.exactly = m.captured(2) == QLatin1Char('X');
    if (!ok || format.bestOf < 1 || format.bestOf > kMaxSets)
        return {std::nullopt, QStringLiteral("'%1' is not 1 to %2 sets").arg(match).arg(kMaxSets)};
    // Best of an even number has no majority to win: at one set all it would be over undecided.
    if (format.bestOf % 2 == 0 && !format.exactly) {
        return {std::nullopt, QStringLiteral("best of %1 is not a tennis format, SET%1X plays exactly %1 sets")
                                  .arg(format.bestOf)};
    }
    if (parts.size() < 2)
        return {std::nullopt, QStringLiteral("no set form after '%1'").arg(match)};
    if (!parts[1].startsWith(QLatin1String("S:")))
        return {std::nullopt, QStringLiteral("expected the sets as 'S:', not '%1'").arg(parts[1])};
    QString error;
    const auto set = parseSet(parts[1].mid(2), error);
    if (!set)
        return {std::nullopt, error};
    format.set = *set;
    if (parts.size() > 2) {
        if (!parts[2].startsWith(QLatin1String("F:")))
            return {std::nullopt, QStringLiteral("expected the final set as 'F:', not '%1'").arg(parts[2])};
        format.finalSet = parseSet(parts[2].mid(2), error);
        if (!format.finalSet)
            return {std::nullopt, error};
    }
    if (parts.size() > 3)
        return {std::nullopt, QStringLiteral("unexpected part '%1' after the final set").arg(parts[3])};
    return {format, QString()};
}

QString MatchFormat::code() const
{
    QString code = QStringLiteral("SET") + QString::number(bestOf) + (exactly ? QStringLiteral("X") : QString())
                   + QStringLiteral("-S:") + setCode(set);
    if (finalSetFormat() != set)
        code += QStringLiteral("-F:") + setCode(finalSetFormat());
    return code;
}

QJsonObject MatchFormat::toJson() const
{
    QJsonObject json{{QStringLiteral("bestOf"), bestOf}, {QStringLiteral("setFormat"), setJson(set)}};
    if (exactly)
        json.insert(QStringLiteral("exactly"), true);
    if (finalSet)
        json.insert(QStringLiteral("finalSetFormat"), setJson(*finalSet));
    return json;
}

bool MatchFormat::operator==(const MatchFormat &other) const
{
    return bestOf == other.bestOf && exactly == other.exactly && set == other.set
           && finalSetFormat() == other.finalSetFormat();
}
