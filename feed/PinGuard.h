#pragma once

#include <QHash>
#include <QHostAddress>
#include <QString>

#include <cstdint>

class TickSource;

// The PIN that commands must carry, and the lock-out of an address that guesses it.
class PinGuard
{
public:
    enum class Verdict { Accepted, Wrong, Blocked };

    static constexpr int kMaxWrongPins = 5;
    static constexpr std::uint32_t kBlockMs = 60'000;
    // Addresses remembered at most: a flood of senders cannot grow the table without end.
    static constexpr int kMaxTrackedAddresses = 1024;

    explicit PinGuard(const TickSource &ticks);

    // A fixed PIN of six digits, or a new random one when fixed is empty or not six digits.
    void renew(const QString &fixed = {});
    const QString &pin() const { return pin_; }

    Verdict check(const QHostAddress &from, const QByteArray &pin);
    // Seconds until a blocked address may try again, rounded up.
    int blockedSeconds(const QHostAddress &from) const;

    static bool isValidPin(const QString &pin);

private:
    struct Record
    {
        int wrong = 0;
        std::uint32_t blockedSince = 0;
        bool blocked = false;
    };

    bool stillBlocked(const Record &record) const;
    void forgetExpired();

    const TickSource &ticks_;
    QString pin_;
    QHash<QHostAddress, Record> records_;
};
