#include "feed/PinGuard.h"

#include "platform/TickCounter.h"

#include <QRandomGenerator>

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
    pin_ = isValidPin(fixed)
        ? fixed
        : QString::number(QRandomGenerator::system()->bounded(1'000'000)).rightJustified(6, u'0');
    records_.clear();
}

bool PinGuard::stillBlocked(const Record &record) const
{
    // Unsigned difference: right across a wrap of the tick counter.
    return record.blocked && ticks_.now() - record.blockedSince < kBlockMs;
}

PinGuard::Verdict PinGuard::check(const QHostAddress &from, const QByteArray &pin)
{
    auto found = records_.find(from);
    if (found != records_.end() && stillBlocked(*found))
        return Verdict::Blocked;
    if (found != records_.end() && found->blocked)
        records_.erase(found);

    // Every byte compared, so the time taken does not tell how many digits were right.
    const QByteArray expected = pin_.toLatin1();
    bool same = pin.size() == expected.size();
    unsigned char diff = 0;
    for (qsizetype i = 0; same && i < pin.size(); ++i)
        diff |= static_cast<unsigned char>(pin[i] ^ expected[i]);
    if (same && diff == 0) {
        records_.remove(from);
        return Verdict::Accepted;
    }

    if (!records_.contains(from) && records_.size() >= kMaxTrackedAddresses)
        forgetExpired();
    if (!records_.contains(from) && records_.size() >= kMaxTrackedAddresses)
        return Verdict::Blocked;
    Record &record = records_[from];
    if (++record.wrong >= kMaxWrongPins) {
        record.blocked = true;
        record.blockedSince = ticks_.now();
    }
    return Verdict::Wrong;
}

int PinGuard::blockedSeconds(const QHostAddress &from) const
{
    const auto found = records_.constFind(from);
    if (found == records_.constEnd() || !stillBlocked(*found))
        return 0;
    const std::uint32_t left = kBlockMs - (ticks_.now() - found->blockedSince);
    return static_cast<int>((left + 999) / 1000);
}

void PinGuard::forgetExpired()
{
    for (auto it = records_.begin(); it != records_.end();) {
        if (!stillBlocked(*it))
            it = records_.erase(it);
        else
            ++it;
    }
}
