#include "core/SettingsStore.h"

#include "core/MatchFormat.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

// HKCU\Software\Quorbel\Courtlyx on Windows, the user's config file elsewhere.
std::unique_ptr<QSettings> nativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QLatin1String(SettingsStore::kOrganisation),
                                       QCoreApplication::applicationName());
}

using Key = SettingsStore::Key;
using Kind = SettingsStore::Kind;
using Reading = SettingsStore::Reading;

// A registry number: a 32-bit value, signed or unsigned.
constexpr qint64 kLowestNumber = std::numeric_limits<qint32>::min();
constexpr qint64 kHighestNumber = std::numeric_limits<quint32>::max();

std::optional<qint64> asNumber(const QVariant &v)
{
    bool ok = false;
    qint64 n = 0;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        n = v.toLongLong(&ok);
        break;
    case QMetaType::QString: // a text store keeps numbers as text
        n = v.toString().trimmed().toLongLong(&ok);
        break;
    default:
        break;
    }
    return ok ? std::optional(n) : std::nullopt;
}

std::optional<QString> asText(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    if (v.typeId() == QMetaType::QStringList) // an unquoted comma in a hand-edited file
        return v.toStringList().join(QStringLiteral(", "));
    return std::nullopt;
}

// The stored value as `take` expects it; nothing when it is missing, of another kind, out
// of the key's bounds or, for a format, a code that does not parse.
std::optional<QVariant> valueOf(const Key &key, const QVariant &stored)
{
    if (key.kind == Kind::Text || key.kind == Kind::Format || key.kind == Kind::Court) {
        const std::optional<QString> t = asText(stored);
        if (!t || (key.kind == Kind::Format && !MatchFormat::parse(*t).format)
            || (key.kind == Kind::Court && !SettingsStore::isCourtName(*t)))
            return std::nullopt;
        return QVariant(*t);
    }
    const std::optional<qint64> n = asNumber(stored);
    if (!n || *n < key.lowest || *n > key.highest)
        return std::nullopt;
    return QVariant(*n);
}

template <int BoardSettings::*M>
Key number(const char *name, int fallback, Reading reading, qint64 lowest = kLowestNumber,
           qint64 highest = kHighestNumber)
{
    return {name, Kind::Number, reading, qint64(fallback), lowest, highest,
            [](BoardSettings &s, const QVariant &v) { s.*M = int(v.toLongLong()); },
            [](const BoardSettings &s) { return QVariant(s.*M); }};
}

// Any non-zero number reads as true; true is written as 1.
template <bool BoardSettings::*M>
Key flag(const char *name, bool fallback, Reading reading)
{
    return {name, Kind::Flag, reading, qint64(fallback), kLowestNumber, kHighestNumber,
            [](BoardSettings &s, const QVariant &v) { s.*M = v.toLongLong() != 0; },
            [](const BoardSettings &s) { return QVariant(s.*M ? 1 : 0); }};
}

// System colours are stored as their negative codes, as the registry holds them.
template <int Slot>
Key colour(const char *name, TColor fallback, Reading reading)
{
    return {name, Kind::Colour, reading, qint64(fallback), kLowestNumber, kHighestNumber,
            [](BoardSettings &s, const QVariant &v) { s.C[Slot] = TColor(quint32(v.toLongLong())); },
            [](const BoardSettings &s) { return QVariant(qint32(s.C[Slot])); }};
}

template <QString BoardSettings::*M>
Key text(const char *name, const QString &fallback, Reading reading, Kind kind = Kind::Text)
{
    return {name, kind, reading, fallback, 0, 0,
            [](BoardSettings &s, const QVariant &v) { s.*M = v.toString(); },
            [](const BoardSettings &s) { return QVariant(s.*M); }};
}

} // namespace

std::span<const Key> SettingsStore::keys()
{
    using enum Reading;
    // New keys go at the end, read on their own: a store written by an older board then
    // reads in full and the new values keep their defaults.
    static const Key keys[] = {
        number<&BoardSettings::L>("L", 248, InBlock),
        number<&BoardSettings::T>("T", 128, InBlock),
        number<&BoardSettings::W>("W", 800, InBlock),
        number<&BoardSettings::H>("H", 578, InBlock),
        flag<&BoardSettings::Sound>("Sound", false, InBlock),
        number<&BoardSettings::Monitor>("Monitor", 0, InBlock),
        text<&BoardSettings::Comanda1>("Comanda1", QStringLiteral("Name 1"), InBlock),
        text<&BoardSettings::Comanda2>("Comanda2", QStringLiteral("Name 2"), InBlock),
        colour<0>("C0", clBlack, InBlock),
        colour<1>("C1", clBlack, InBlock),
        colour<2>("C2", clWhite, InBlock),
        colour<3>("C3", clWhite, InBlock),
        colour<4>("C4", clYellow, InBlock),
        flag<&BoardSettings::TieBreak>("TieBreak", true, InBlock),
        number<&BoardSettings::CountSets>("CountSets", 5, InBlock),
        flag<&BoardSettings::AutoSchet>("AutoSchet", true, InBlock),
        text<&BoardSettings::Format>("Format", QString(), OnItsOwn, Kind::Format),
        flag<&BoardSettings::TieBreakPoints>("TieBreakPoints", false, OnItsOwn),
        flag<&BoardSettings::FullScreen>("FullScreen", false, OnItsOwn),
        flag<&BoardSettings::Feed>("Feed", false, OnItsOwn),
        number<&BoardSettings::FeedPort>("FeedPort", kDefaultPort, OnItsOwn, kLowestPort, kHighestPort),
        flag<&BoardSettings::FeedNet>("FeedNet", false, OnItsOwn),
        flag<&BoardSettings::FeedFiles>("FeedFiles", false, OnItsOwn),
        text<&BoardSettings::FeedFolder>("FeedFolder", QString(), OnItsOwn),
        text<&BoardSettings::FeedPin>("FeedPin", QString(), OnItsOwn),
        text<&BoardSettings::FeedHost>("FeedHost", QString(), OnItsOwn),
        flag<&BoardSettings::Broker>("Broker", false, OnItsOwn),
        text<&BoardSettings::BrokerHost>("BrokerHost", QString(), OnItsOwn),
        number<&BoardSettings::BrokerPort>("BrokerPort", kDefaultBrokerPort, OnItsOwn, 1, kHighestPort),
        text<&BoardSettings::BrokerCourt>("BrokerCourt", QStringLiteral("1"), OnItsOwn, Kind::Court),
        text<&BoardSettings::BrokerUser>("BrokerUser", QString(), OnItsOwn),
        text<&BoardSettings::BrokerPassword>("BrokerPassword", QString(), OnItsOwn),
        flag<&BoardSettings::BrokerTls>("BrokerTls", false, OnItsOwn),
        text<&BoardSettings::BrokerCaFile>("BrokerCaFile", QString(), OnItsOwn),
    };
    return keys;
}

std::optional<BoardSettings> SettingsStore::read(const BoardSettings &current)
{
    return read(*nativeStore(), current);
}

void SettingsStore::write(const BoardSettings &settings)
{
    write(*nativeStore(), settings);
}

std::optional<BoardSettings> SettingsStore::read(QSettings &s, const BoardSettings &current)
{
    if (s.allKeys().isEmpty())
        return std::nullopt; // no key: every setting keeps its default
    BoardSettings read = current;
    bool blockGoesOn = true;
    for (const Key &key : keys()) {
        const QVariant stored = s.value(QLatin1String(key.name));
        std::optional<QVariant> v = valueOf(key, stored);
        if (key.reading == Reading::OnItsOwn) {
            key.take(read, v.value_or(key.fallback));
            continue;
        }
        if (!v && !stored.isValid() && key.kind == Kind::Text)
            v = QString(); // in the block a missing name reads as empty and reading goes on
        blockGoesOn = blockGoesOn && v;
        if (blockGoesOn)
            key.take(read, *v);
    }
    return read;
}

bool SettingsStore::holds(const char *name)
{
    return holds(*nativeStore(), name);
}

bool SettingsStore::isCourtName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxCourtLength)
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-'
               || c == u'_';
    });
}

void SettingsStore::write(QSettings &s, const BoardSettings &settings)
{
    // The file is closed to others before the password goes in, and stays so: the store's
    // rewrite keeps an existing file's permissions.
    const bool secret = !settings.BrokerPassword.isEmpty();
    const auto closeToOthers = [&s] {
        QFile file(s.fileName());
        if (!file.exists() && file.open(QIODevice::WriteOnly))
            file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    };
    if (secret)
        closeToOthers();
    for (const Key &key : keys())
        s.setValue(QLatin1String(key.name), key.give(settings));
    s.sync();
    if (secret)
        closeToOthers();
}

bool SettingsStore::holds(QSettings &s, const char *name)
{
    return s.contains(QLatin1String(name));
}
