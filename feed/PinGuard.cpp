#include "feed/PinGuard.h"

#include "platform/TickCounter.h"

#include <QRandomGenerator>

#include <algorithm>

namespace {
// Every byte compared, so the time taken does not tell how many were right.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}
} // namespace

PinGuard::PinGuard(const TickSource &ticks) : ticks_(ticks)
{
    renew();
}

bool PinGuard::isValidPin(const QString &pin)
{
    if (pin.size() != 6)
        return false;
    for (QChar c : pin) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

void PinGuard::renew(const QString &fixed)
{
    const QString before = pin_;
    pin_ = isValidPin(fixed)
        ? fixed
        : QString::number(QRandomGenerator::system()->bounded(1'000'000)).rightJustified(6, u'0');
    if (pin_ != before)
        devices_.clear();
    wrongAt_.clear();
}

bool PinGuard::saturated() const
{
    // Unsigned difference: right across a wrap of the tick counter.
    return wrongAt_.size() >= std::size_t(kMaxWrongPins) && ticks_.now() - wrongAt_.front() < kWindowMs;
}

PinGuard::Verdict PinGuard::check(const QByteArray &pin)
{
    if (pin.isEmpty())
        return Verdict::Missing;
    // The right PIN waits too: judging it would judge every guess.
    if (saturated())
        return Verdict::Blocked;
    if (sameBytes(pin, pin_.toLatin1()))
        return Verdict::Accepted;
    wrongAt_.push_back(ticks_.now());
    while (wrongAt_.size() > std::size_t(kMaxWrongPins))
        wrongAt_.pop_front();
    return Verdict::Wrong;
}

int PinGuard::blockedSeconds() const
{
    if (!saturated())
        return 0;
    const std::uint32_t left = kWindowMs - (ticks_.now() - wrongAt_.front());
    return static_cast<int>((left + 999) / 1000);
}

QByteArray PinGuard::pair(const QHostAddress &from, const QString &label)
{
    if (devices_.size() >= kMaxDevices) {
        const std::uint32_t now = ticks_.now();
        const auto idlest = std::max_element(devices_.begin(), devices_.end(), [now](const Device &a, const Device &b) {
            return now - a.lastUsed < now - b.lastUsed;
        });
        devices_.erase(idlest);
    }
    QByteArray raw(kTokenBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()), kTokenBytes / 4);
    Device device{raw.toHex(), from, ticks_.now(), label};
    devices_.append(device);
    return device.token;
}

const PinGuard::Device *PinGuard::knows(const QByteArray &token, const QHostAddress &from)
{
    Device *found = nullptr;
    // Compared with every device, so the time does not tell which came close.
    for (Device &device : devices_) {
        if (sameBytes(token, device.token))
            found = &device;
    }
    if (found) {
        found->lastUsed = ticks_.now();
        found->address = from;
    }
    return found;
}

void PinGuard::forget(const QByteArray &token)
{
    devices_.removeIf([&token](const Device &device) { return device.token == token; });
}
