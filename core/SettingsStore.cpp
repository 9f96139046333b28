#include "core/SettingsStore.h"

#include "core/MatchFormat.h"

#include <QCoreApplication>
#include <QSettings>

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

// A registry number: a 32-bit value, signed or unsigned. Anything else, missing or not,
// ends the reading.
std::optional<QVariant> number(const QSettings &s, const char *key)
{
    const QVariant v = s.value(QLatin1String(key));
    if (!v.isValid())
        return std::nullopt;
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
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return QVariant(n);
}

// A text that is missing reads as empty; a value of another kind ends the reading.
std::optional<QVariant> text(const QSettings &s, const char *key)
{
    const QVariant v = s.value(QLatin1String(key));
    if (!v.isValid())
        return QVariant(QString());
    if (v.typeId() == QMetaType::QString)
        return v;
    if (v.typeId() == QMetaType::QStringList) // an unquoted comma in a hand-edited file
        return QVariant(v.toStringList().join(QStringLiteral(", ")));
    return std::nullopt;
}

// How a value is kept: numbers (and flags and colours) as 32-bit numbers, names as text.
enum class Kind { Number, Text };

// One stored value: its name, its kind, how it reaches the settings value when read (a
// number arrives as qint64, a text as QString) and what is written for it. Its default
// is what BoardSettings starts with.
struct Key
{
    const char *name;
    Kind kind;
    void (*take)(BoardSettings &, const QVariant &);
    QVariant (*give)(const BoardSettings &);
};

template <int BoardSettings::*M>
void takeInt(BoardSettings &s, const QVariant &v) { s.*M = int(v.toLongLong()); }
template <int BoardSettings::*M>
QVariant giveInt(const BoardSettings &s) { return s.*M; }

// Any non-zero number reads as true; true is written as 1.
template <bool BoardSettings::*M>
void takeFlag(BoardSettings &s, const QVariant &v) { s.*M = v.toLongLong() != 0; }
template <bool BoardSettings::*M>
QVariant giveFlag(const BoardSettings &s) { return s.*M ? 1 : 0; }

template <QString BoardSettings::*M>
void takeText(BoardSettings &s, const QVariant &v) { s.*M = v.toString(); }
template <QString BoardSettings::*M>
QVariant giveText(const BoardSettings &s) { return s.*M; }

// System colours are stored as their negative codes, as the registry holds them.
template <int Slot>
void takeColour(BoardSettings &s, const QVariant &v) { s.C[Slot] = TColor(quint32(v.toLongLong())); }
template <int Slot>
QVariant giveColour(const BoardSettings &s) { return qint32(s.C[Slot]); }

// A stored code that does not parse is dropped, so the board keeps its format.
void takeFormat(BoardSettings &s, const QVariant &v)
{
    s.Format = MatchFormat::parse(v.toString()).format ? v.toString() : QString();
}

// A port the feed may not or cannot listen on is the default one.
void takePort(BoardSettings &s, const QVariant &v)
{
    const qint64 port = v.toLongLong();
    s.FeedPort = port >= 1024 && port <= 65535 ? int(port) : BoardSettings().FeedPort;
}

// In the stored order, which is also the order of reading. New keys go at the end: a
// store written by an older board then reads in full and the new values keep defaults.
const Key kKeys[] = {
    {"L", Kind::Number, takeInt<&BoardSettings::L>, giveInt<&BoardSettings::L>},
    {"T", Kind::Number, takeInt<&BoardSettings::T>, giveInt<&BoardSettings::T>},
    {"W", Kind::Number, takeInt<&BoardSettings::W>, giveInt<&BoardSettings::W>},
    {"H", Kind::Number, takeInt<&BoardSettings::H>, giveInt<&BoardSettings::H>},
    {"Sound", Kind::Number, takeFlag<&BoardSettings::Sound>, giveFlag<&BoardSettings::Sound>},
    {"Monitor", Kind::Number, takeInt<&BoardSettings::Monitor>, giveInt<&BoardSettings::Monitor>},
    {"Comanda1", Kind::Text, takeText<&BoardSettings::Comanda1>, giveText<&BoardSettings::Comanda1>},
    {"Comanda2", Kind::Text, takeText<&BoardSettings::Comanda2>, giveText<&BoardSettings::Comanda2>},
    {"C0", Kind::Number, takeColour<0>, giveColour<0>},
    {"C1", Kind::Number, takeColour<1>, giveColour<1>},
    {"C2", Kind::Number, takeColour<2>, giveColour<2>},
    {"C3", Kind::Number, takeColour<3>, giveColour<3>},
    {"C4", Kind::Number, takeColour<4>, giveColour<4>},
    {"TieBreak", Kind::Number, takeFlag<&BoardSettings::TieBreak>, giveFlag<&BoardSettings::TieBreak>},
    {"CountSets", Kind::Number, takeInt<&BoardSettings::CountSets>, giveInt<&BoardSettings::CountSets>},
    {"AutoSchet", Kind::Number, takeFlag<&BoardSettings::AutoSchet>, giveFlag<&BoardSettings::AutoSchet>},
    {"Format", Kind::Text, takeFormat, giveText<&BoardSettings::Format>},
    {"TieBreakPoints", Kind::Number, takeFlag<&BoardSettings::TieBreakPoints>,
     giveFlag<&BoardSettings::TieBreakPoints>},
    {"FullScreen", Kind::Number, takeFlag<&BoardSettings::FullScreen>, giveFlag<&BoardSettings::FullScreen>},
    {"Feed", Kind::Number, takeFlag<&BoardSettings::Feed>, giveFlag<&BoardSettings::Feed>},
    {"FeedPort", Kind::Number, takePort, giveInt<&BoardSettings::FeedPort>},
    {"FeedNet", Kind::Number, takeFlag<&BoardSettings::FeedNet>, giveFlag<&BoardSettings::FeedNet>},
    {"FeedFiles", Kind::Number, takeFlag<&BoardSettings::FeedFiles>, giveFlag<&BoardSettings::FeedFiles>},
    {"FeedFolder", Kind::Text, takeText<&BoardSettings::FeedFolder>, giveText<&BoardSettings::FeedFolder>},
    {"FeedPin", Kind::Text, takeText<&BoardSettings::FeedPin>, giveText<&BoardSettings::FeedPin>},
};

} // namespace

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
    for (const Key &key : kKeys) {
        const std::optional<QVariant> v = key.kind == Kind::Number ? number(s, key.name)
                                                                   : text(s, key.name);
        if (!v)
            break;
        key.take(read, *v);
    }
    return read;
}

void SettingsStore::write(QSettings &s, const BoardSettings &settings)
{
    for (const Key &key : kKeys)
        s.setValue(QLatin1String(key.name), key.give(settings));
    s.sync();
}
