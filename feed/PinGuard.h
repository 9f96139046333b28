#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <cstdint>
#include <deque>

class TickSource;

// The PIN and the devices paired with it. A device proves the PIN once and from then on
// carries a random token; wrong PINs are judged at a fixed rate for all senders together,
// so more addresses do not buy more guesses.
class PinGuard
{
public:
    enum class Verdict { Accepted, Missing, Wrong, Blocked };

    // Wrong PINs judged in any window of kWindowMs, from all addresses together.
    static constexpr int kMaxWrongPins = 5;
    static constexpr std::uint32_t kWindowMs = 60'000;
    // Paired devices kept at most; pairing one more forgets the one unused longest.
    static constexpr int kMaxDevices = 16;
    static constexpr int kTokenBytes = 16;

    struct Device
    {
        QByteArray token;
        QHostAddress address;
        // Ticks of the last request that carried the token.
        std::uint32_t lastUsed = 0;
        QString label;
    };

    explicit PinGuard(const TickSource &ticks);

    // A fixed PIN of six digits, or a new random one when fixed is empty or not six digits.
    // A PIN that changes forgets every paired device.
    void renew(const QString &fixed = {});
    const QString &pin() const { return pin_; }

    // An empty PIN is no try: it neither counts nor is judged.
    Verdict check(const QByteArray &pin);
    // Seconds until a wrong PIN may be judged again, rounded up; 0 when one may now.
    int blockedSeconds() const;

    // A new device after an accepted PIN: its token, hex digits.
    QByteArray pair(const QHostAddress &from, const QString &label);
    // The device a token belongs to, or nullptr; a known one is marked as used now.
    const Device *knows(const QByteArray &token, const QHostAddress &from);
    const QList<Device> &devices() const { return devices_; }
    void forget(const QByteArray &token);
    void forgetAll() { devices_.clear(); }

    static bool isValidPin(const QString &pin);

private:
    bool saturated() const;

    const TickSource &ticks_;
    QString pin_;
    // Ticks of the latest wrong PINs, oldest first, at most kMaxWrongPins.
    std::deque<std::uint32_t> wrongAt_;
    QList<Device> devices_;
};
