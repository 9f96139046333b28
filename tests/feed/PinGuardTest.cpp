#include "feed/PinGuard.h"
#include "tests/core/FakeTicks.h"

#include <gtest/gtest.h>

namespace {

const QHostAddress kPhone(QStringLiteral("192.168.1.20"));
const QHostAddress kOther(QStringLiteral("192.168.1.21"));

class PinGuardTest : public ::testing::Test
{
protected:
    PinGuardTest() : guard(ticks) { guard.renew(QStringLiteral("123456")); }
    PinGuard::Verdict tryPin(const QHostAddress &from, const char *pin) { return guard.check(from, pin); }

    FakeTicks ticks;
    PinGuard guard;
};

TEST_F(PinGuardTest, RightPinAcceptedWrongOrMissingRefused)
{
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Accepted);
    EXPECT_EQ(tryPin(kPhone, "123457"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin(kPhone, ""), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin(kPhone, "1234567"), PinGuard::Verdict::Wrong);
}

TEST_F(PinGuardTest, FiveWrongPinsBlockTheAddressForAMinute)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tryPin(kPhone, "000000"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Accepted);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tryPin(kPhone, "000000"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Blocked);
    EXPECT_EQ(guard.blockedSeconds(kPhone), 60);
    EXPECT_EQ(tryPin(kOther, "123456"), PinGuard::Verdict::Accepted);

    ticks.advance(59'999);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Blocked);
    EXPECT_EQ(guard.blockedSeconds(kPhone), 1);
    ticks.advance(1);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Accepted);
    EXPECT_EQ(guard.blockedSeconds(kPhone), 0);
}

TEST_F(PinGuardTest, BlockHoldsAcrossATickCounterWrap)
{
    ticks.value = 0xFFFF'FF00u;
    for (int i = 0; i < 5; ++i)
        tryPin(kPhone, "000000");
    ticks.advance(30'000);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Blocked);
}

TEST_F(PinGuardTest, AFullTableRefusesNewGuessers)
{
    for (int i = 0; i < PinGuard::kMaxTrackedAddresses; ++i) {
        const QHostAddress from(quint32(0x0A00'0000u + quint32(i)));
        for (int j = 0; j < 5; ++j)
            tryPin(from, "000000");
    }
    EXPECT_EQ(tryPin(kPhone, "000000"), PinGuard::Verdict::Blocked);
    EXPECT_EQ(tryPin(kPhone, "123456"), PinGuard::Verdict::Accepted);
}

TEST_F(PinGuardTest, PinIsSixDigitsAndNewUnlessFixed)
{
    EXPECT_EQ(guard.pin(), QStringLiteral("123456"));
    QSet<QString> seen;
    for (int i = 0; i < 20; ++i) {
        guard.renew();
        EXPECT_TRUE(PinGuard::isValidPin(guard.pin())) << guard.pin().toStdString();
        seen.insert(guard.pin());
    }
    EXPECT_GT(seen.size(), 15);
    guard.renew(QStringLiteral("12a456"));
    EXPECT_TRUE(PinGuard::isValidPin(guard.pin()));
    EXPECT_NE(guard.pin(), QStringLiteral("12a456"));
}

} // namespace
