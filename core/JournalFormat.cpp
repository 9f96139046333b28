#include "core/JournalFormat.h"

#include "core/MatchFormat.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace JournalFormat {
namespace {

using Arguments = MatchCommand::Arguments;
using Status = ReadResult::Status;

constexpr QByteArrayView kMagic = "courtlyx-journal";
constexpr QByteArrayView kEndWord = "end";
constexpr QByteArrayView kClockWord = "clock";
constexpr QByteArrayView kSnapshotWord = "state";

constexpr std::array<std::uint32_t, 256> crcTable()
{
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[i] = c;
    }
    return t;
}
constexpr auto kCrcTable = crcTable();

std::uint32_t crc32(QByteArrayView bytes)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (char ch : bytes)
        c = kCrcTable[(c ^ std::uint8_t(ch)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray crcText(QByteArrayView body)
{
    return QByteArray::number(crc32(body), 16).rightJustified(8, '0');
}

QByteArray buttonWord(Qt::MouseButton b)
{
    return b == Qt::LeftButton ? "left" : b == Qt::RightButton ? "right" : "middle";
}

std::optional<Qt::MouseButton> parseButton(QByteArrayView w)
{
    if (w == "left")
        return Qt::LeftButton;
    if (w == "right")
        return Qt::RightButton;
    if (w == "middle")
        return Qt::MiddleButton;
    return std::nullopt;
}

QByteArray textToken(const QString &text)
{
    return '"' + text.toUtf8().toPercentEncoding() + '"';
}

// Only the canonical spelling is taken, so a line read and written again is the same line.
std::optional<QString> parseText(QByteArrayView token)
{
    if (token.size() < 2 || token.front() != '"' || token.back() != '"')
        return std::nullopt;
    const QByteArrayView inner = token.sliced(1, token.size() - 2);
    const QByteArray utf8 = QByteArray::fromPercentEncoding(inner.toByteArray());
    if (utf8.toPercentEncoding() != inner)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(utf8);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Decimal without sign or leading zeros, at most max.
std::optional<std::uint64_t> parseNumber(QByteArrayView w, std::uint64_t max)
{
    if (w.isEmpty() || w.size() > 10 || (w.size() > 1 && w.front() == '0'))
        return std::nullopt;
    std::uint64_t n = 0;
    for (char c : w) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + std::uint64_t(c - '0');
    }
    if (n > max)
        return std::nullopt;
    return n;
}

std::optional<int> parseSmall(QByteArrayView w)
{
    const auto n = parseNumber(w, 99);
    return n ? std::optional<int>(int(*n)) : std::nullopt;
}

bool readArguments(MatchCommand &c, const MatchCommand::KindRow &row, std::span<const QByteArrayView> a)
{
    switch (row.arguments) {
    case Arguments::None:
        return a.empty();
    case Arguments::SideAndSource: {
        const auto side = a.size() == 2 ? parseSmall(a[0]) : std::nullopt;
        if (!side || (a[1] != "key" && a[1] != "name"))
            return false;
        c.side = *side;
        c.source = a[1] == "key" ? MatchCommand::PointSource::Key : MatchCommand::PointSource::NameLabel;
        return true;
    }
    case Arguments::Number: {
        const auto n = a.size() == 1 ? parseSmall(a[0]) : std::nullopt;
        if (!n)
            return false;
        c.*row.number = *n;
        return true;
    }
    case Arguments::NumberAndButton: {
        const auto n = a.size() == 2 ? parseSmall(a[0]) : std::nullopt;
        const auto button = a.size() == 2 ? parseButton(a[1]) : std::nullopt;
        if (!n || !button)
            return false;
        c.*row.number = *n;
        c.button = *button;
        return true;
    }
    case Arguments::Text: {
        const auto text = a.size() == 1 ? parseText(a[0]) : std::nullopt;
        if (!text)
            return false;
        c.text1 = *text;
        return true;
    }
    case Arguments::TwoTexts: {
        const auto text1 = a.size() == 2 ? parseText(a[0]) : std::nullopt;
        const auto text2 = a.size() == 2 ? parseText(a[1]) : std::nullopt;
        if (!text1 || !text2)
            return false;
        c.text1 = *text1;
        c.text2 = *text2;
        return true;
    }
    }
    return false;
}

std::optional<JournalRecord> parseRecord(QByteArrayView text, qsizetype seq)
{
    const qsizetype star = text.lastIndexOf(QByteArrayView(" *"));
    if (star < 0)
        return std::nullopt;
    const QByteArrayView body = text.first(star);
    if (text.sliced(star + 2) != crcText(body))
        return std::nullopt;

    // No line has more words than this: the split needs no allocation per line.
    std::array<QByteArrayView, 8> words;
    std::size_t count = 0;
    for (qsizetype from = 0; from <= body.size(); ++count) {
        if (count == words.size())
            return std::nullopt;
        qsizetype to = body.indexOf(' ', from);
        if (to < 0)
            to = body.size();
        words[count] = body.sliced(from, to - from);
        from = to + 1;
    }
    const std::span<const QByteArrayView> t(words.data(), count);
    if (t.size() < 3)
        return std::nullopt;
    const auto number = parseNumber(t[0], std::uint64_t(kMaxFileBytes));
    const auto ms = parseNumber(t[1], 0xFFFFFFFFu);
    if (!number || qsizetype(*number) != seq || !ms)
        return std::nullopt;

    JournalRecord r;
    r.elapsedMs = std::uint32_t(*ms);
    const QByteArrayView word = t[2];
    const std::size_t args = t.size() - 3;
    if (word == kEndWord || word == kClockWord) {
        if (args != 0)
            return std::nullopt;
        r.type = word == kEndWord ? JournalRecord::Type::End : JournalRecord::Type::Clock;
        return r;
    }
    if (word == kSnapshotWord) {
        if (args != 1 || t[3].isEmpty())
            return std::nullopt;
        r.type = JournalRecord::Type::Snapshot;
        r.snapshot = t[3].toByteArray();
        return r;
    }
    const MatchCommand::KindRow *row = MatchCommand::rowOfWord(word);
    if (!row)
        return std::nullopt;
    MatchCommand &c = r.command;
    c.kind = row->kind;
    if (!readArguments(c, *row, t.subspan(3)))
        return std::nullopt;
    // Earlier boards set up a best of one, two or four with its own count; the format line
    // after it gives that count, and any count but three is five to the rules.
    if (c.kind == MatchCommand::Kind::SetCount && c.value >= 1 && c.value <= kMaxSets && c.value != 3)
        c.value = 5;
    if (!c.isValid())
        return std::nullopt;
    return r;
}

QByteArray writtenArguments(const MatchCommand &c, const MatchCommand::KindRow &row)
{
    switch (row.arguments) {
    case Arguments::None:
        return {};
    case Arguments::SideAndSource:
        return ' ' + QByteArray::number(c.side) + (c.source == MatchCommand::PointSource::Key ? " key" : " name");
    case Arguments::Number:
        return ' ' + QByteArray::number(c.*row.number);
    case Arguments::NumberAndButton:
        return ' ' + QByteArray::number(c.*row.number) + ' ' + buttonWord(c.button);
    case Arguments::Text:
        return ' ' + textToken(c.text1);
    case Arguments::TwoTexts:
        return ' ' + textToken(c.text1) + ' ' + textToken(c.text2);
    }
    return {};
}

QByteArray body(const JournalRecord &r, qsizetype seq)
{
    QByteArray b = QByteArray::number(seq) + ' ' + QByteArray::number(r.elapsedMs) + ' ';
    if (r.type == JournalRecord::Type::End)
        return b + kEndWord.toByteArray();
    if (r.type == JournalRecord::Type::Clock)
        return b + kClockWord.toByteArray();
    if (r.type == JournalRecord::Type::Snapshot)
        return b + kSnapshotWord.toByteArray() + ' ' + r.snapshot;
    const MatchCommand &c = r.command;
    const MatchCommand::KindRow &row = MatchCommand::row(c.kind);
    Q_ASSERT(hasLine(r));
    return b + row.word.toByteArray() + writtenArguments(c, row);
}

bool isPrefixOfHeader(QByteArrayView text)
{
    return header().startsWith(text);
}

} // namespace

QByteArray header(const QString &matchId)
{
    QByteArray out = kMagic.toByteArray() + ' ' + QByteArray::number(kVersion);
    if (!matchId.isEmpty())
        out += ' ' + matchId.toLatin1();
    return out + '\n';
}

bool isMatchId(QByteArrayView id)
{
    return !id.isEmpty() && id.size() <= 40
           && std::all_of(id.begin(), id.end(), [](char c) {
                  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
              });
}

QByteArray seal(QByteArrayView body)
{
    return body.toByteArray() + " *" + crcText(body) + '\n';
}

QByteArray line(const JournalRecord &record, qsizetype seq)
{
    return seal(body(record, seq));
}

bool hasLine(const JournalRecord &record)
{
    return record.type != JournalRecord::Type::Command || record.command.isJournalled();
}

QByteArray write(const QList<JournalRecord> &records, const QString &matchId)
{
    QByteArray out = header(matchId);
    qsizetype seq = 0;
    for (const JournalRecord &r : records) {
        if (hasLine(r))
            out += line(r, ++seq);
    }
    return out;
}

ReadResult read(QByteArrayView bytes)
{
    ReadResult result;
    if (bytes.isEmpty()) {
        result.status = Status::Empty;
        return result;
    }
    // One count of the lines spares a long journal's list from growing a million times.
    result.records.reserve(std::count(bytes.begin(), bytes.end(), '\n'));
    qsizetype pos = 0;
    int lineNo = 0;
    while (pos < bytes.size()) {
        ++lineNo;
        qsizetype end = bytes.indexOf('\n', pos);
        const bool complete = end >= 0;
        if (!complete)
            end = bytes.size();
        QByteArrayView text = bytes.sliced(pos, end - pos);
        pos = end + 1;
        auto fail = [&](Status s) {
            result.status = s;
            result.badLine = lineNo;
            return result;
        };
        if (text.size() > kMaxLineBytes)
            return fail(Status::LineTooLong);
        if (text.endsWith('\r'))
            text.chop(1);
        if (lineNo == 1) {
            const qsizetype space = text.indexOf(' ');
            const qsizetype idSpace = space >= 0 ? text.indexOf(' ', space + 1) : -1;
            const QByteArrayView versionText =
                space < 0 ? QByteArrayView() : idSpace < 0 ? text.sliced(space + 1) : text.sliced(space + 1, idSpace - space - 1);
            const auto version = space >= 0 ? parseNumber(versionText, 1'000'000) : std::nullopt;
            const bool idOk = idSpace < 0 || isMatchId(text.sliced(idSpace + 1));
            if (space >= 0 && text.first(space) == kMagic && version && *version > std::uint64_t(kVersion)) {
                result.version = int(*version);
                return fail(Status::NewerVersion);
            }
            if (space < 0 || text.first(space) != kMagic || !version || *version == 0 || !idOk) {
                if (!complete && isPrefixOfHeader(text))
                    return fail(Status::CutOff);
                return fail(Status::NotAJournal);
            }
            // A torn id would name another match.
            if (idSpace >= 0 && !complete)
                return fail(Status::CutOff);
            result.version = int(*version);
            if (idSpace >= 0)
                result.matchId = QString::fromLatin1(text.sliced(idSpace + 1));
            continue;
        }
        auto record = parseRecord(text, result.records.size() + 1);
        if (!record)
            return fail(complete ? Status::Garbage : Status::CutOff);
        result.records.append(std::move(*record));
    }
    return result;
}

ReadResult readFile(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.exists()) {
        result.status = Status::Missing;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = Status::Unreadable;
        return result;
    }
    QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() <= kMaxFileBytes && file.error() != QFileDevice::NoError) {
        result.status = Status::Unreadable;
        return result;
    }
    if (bytes.size() > kMaxFileBytes) {
        // Only whole lines of the bounded start count.
        bytes.truncate(bytes.lastIndexOf('\n', kMaxFileBytes - 1) + 1);
        result = read(bytes);
        if (result.status == Status::Ok)
            result.status = Status::TooLarge;
        return result;
    }
    return read(bytes);
}

QString statusText(ReadResult::Status status)
{
    switch (status) {
    case Status::Ok: return QStringLiteral("ok");
    case Status::Missing: return QStringLiteral("no journal");
    case Status::Unreadable: return QStringLiteral("journal unreadable");
    case Status::Empty: return QStringLiteral("journal empty");
    case Status::NotAJournal: return QStringLiteral("not a journal");
    case Status::NewerVersion: return QStringLiteral("journal from a newer version");
    case Status::CutOff: return QStringLiteral("journal cut off");
    case Status::Garbage: return QStringLiteral("journal has a damaged line");
    case Status::LineTooLong: return QStringLiteral("journal line too long");
    case Status::TooLarge: return QStringLiteral("journal too large");
    }
    return QString();
}

} // namespace JournalFormat
