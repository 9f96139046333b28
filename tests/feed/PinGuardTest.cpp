#include "feed/PinGuard.h"
#include "tests/core/FakeTicks.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

const QHostAddress kPhone(QStringLiteral("192.168.1.20"));

class PinGuardTest : public ::testing::Test
{
protected:
    PinGuardTest() : guard(ticks) { guard.renew(QStringLiteral("123456")); }
    PinGuard::Verdict tryPin(const char *pin) { return guard.check(pin); }

    FakeTicks ticks;
    PinGuard guard;
};

TEST_F(PinGuardTest, RightPinAcceptedWrongRefusedAndAMissingOneIsNoTry)
{
    EXPECT_EQ(tryPin("123456"), PinGuard::Verdict::Accepted);
    EXPECT_EQ(tryPin("123457"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin("1234567"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(tryPin("12345"), PinGuard::Verdict::Wrong);
    // A page of another site cannot set the header: however often it posts, nothing is used up.
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(tryPin(""), PinGuard::Verdict::Missing);
    EXPECT_EQ(tryPin("123456"), PinGuard::Verdict::Accepted);
}

TEST_F(PinGuardTest, WrongPinsAreJudgedAtAFixedRateForAllSendersTogether)
{
    // Two minutes of guessing, as fast as a thousand addresses could: the rate stays.
    int judged = 0;
    for (int ms = 0; ms < 120'000; ms += 5) {
        judged += tryPin("000000") == PinGuard::Verdict::Wrong;
        ticks.advance(5);
    }
    EXPECT_EQ(judged, 2 * PinGuard::kMaxWrongPins);
}

TEST_F(PinGuardTest, BlockedSecondsTellWhenTheNextTryIsJudgedAcrossATickWrap)
{
    ticks.value = 0xFFFF'FF00u;
    EXPECT_EQ(guard.blockedSeconds(), 0) << "a first typo waits for nothing";
    for (int i = 0; i < PinGuard::kMaxWrongPins; ++i)
        EXPECT_EQ(tryPin("000000"), PinGuard::Verdict::Wrong);
    EXPECT_EQ(guard.blockedSeconds(), 60);
    ticks.advance(59'001);
    // The right PIN is not judged either while the rate is used up.
    EXPECT_EQ(tryPin("123456"), PinGuard::Verdict::Blocked);
    EXPECT_EQ(guard.blockedSeconds(), 1);
    ticks.advance(999);
    EXPECT_EQ(guard.blockedSeconds(), 0);
    EXPECT_EQ(tryPin("123456"), PinGuard::Verdict::Accepted);
}

TEST_F(PinGuardTest, PairedDevicesAreKnownByTheirTokenUntilForgottenOrANewPin)
{
    const QByteArray first = guard.pair(kPhone, QStringLiteral("phone"));
    const QByteArray second = guard.pair(kPhone, QStringLiteral("tablet"));
    EXPECT_EQ(first.size(), 2 * PinGuard::kTokenBytes);
    EXPECT_NE(first, second);
    const QHostAddress moved(QStringLiteral("192.168.1.77"));
    ASSERT_NE(guard.knows(first, moved), nullptr);
    EXPECT_EQ(guard.devices().at(0).address, moved);
    EXPECT_EQ(guard.knows(first.left(31) + (first.endsWith('0') ? "1" : "0"), kPhone), nullptr);
    EXPECT_EQ(guard.knows(QByteArray(), kPhone), nullptr);

    guard.forget(first);
    EXPECT_EQ(guard.knows(first, kPhone), nullptr);
    EXPECT_NE(guard.knows(second, kPhone), nullptr);
    guard.renew(QStringLiteral("123456"));
    EXPECT_NE(guard.knows(second, kPhone), nullptr) << "the same PIN keeps its devices";
    guard.renew(QStringLiteral("654321"));
    EXPECT_EQ(guard.knows(second, kPhone), nullptr);
    EXPECT_TRUE(guard.devices().isEmpty());
}

TEST_F(PinGuardTest, AFullListForgetsTheDeviceUnusedLongest)
{
    QList<QByteArray> tokens;
    for (int i = 0; i < PinGuard::kMaxDevices; ++i) {
        tokens << guard.pair(kPhone, QString::number(i));
        ticks.advance(10);
    }
    guard.knows(tokens[0], kPhone);
    const QByteArray extra = guard.pair(kPhone, QStringLiteral("extra"));
    EXPECT_EQ(guard.devices().size(), PinGuard::kMaxDevices);
    EXPECT_NE(guard.knows(tokens[0], kPhone), nullptr);
    EXPECT_EQ(guard.knows(tokens[1], kPhone), nullptr);
    EXPECT_NE(guard.knows(extra, kPhone), nullptr);
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
