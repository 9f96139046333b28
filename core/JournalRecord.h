#pragma once

#include "core/MatchCommand.h"

#include <QByteArray>

#include <cstdint>

// One line of the match journal: a command with the playing time at which it ran, the
// playing time alone while the clock runs, the whole state of the match (so a restore need
// not replay what came before it), or the mark that the board closed normally.
struct JournalRecord
{
    enum class Type { Command, End, Clock, Snapshot };

    Type type = Type::Command;
    MatchCommand command;
    std::uint32_t elapsedMs = 0; // playing time after the command, pauses excluded
    QByteArray snapshot;         // MatchController::snapshot() for a Snapshot

    static JournalRecord of(std::uint32_t elapsedMs, const MatchCommand &command)
    {
        JournalRecord r;
        r.command = command;
        r.elapsedMs = elapsedMs;
        return r;
    }

    static JournalRecord end(std::uint32_t elapsedMs)
    {
        JournalRecord r;
        r.type = Type::End;
        r.elapsedMs = elapsedMs;
        return r;
    }

    static JournalRecord clock(std::uint32_t elapsedMs)
    {
        JournalRecord r;
        r.type = Type::Clock;
        r.elapsedMs = elapsedMs;
        return r;
    }

    static JournalRecord ofSnapshot(std::uint32_t elapsedMs, const QByteArray &state)
    {
        JournalRecord r;
        r.type = Type::Snapshot;
        r.elapsedMs = elapsedMs;
        r.snapshot = state;
        return r;
    }

    bool operator==(const JournalRecord &) const = default;
};
