#include "controls/ClickLabel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Gesture
{
    const char *name;
    std::function<void(ClickLabel &)> act;
    int presses;
    int clicks;
};

class ClickLabelGesture : public ::testing::TestWithParam<Gesture>
{
};

} // namespace

// A left press released inside is a click; a double click is one click; every press of a
// mouse button is a press.
TEST_P(ClickLabelGesture, CountsPressesAndClicks)
{
    ClickLabel label;
    label.resize(40, 20);
    QSignalSpy presses(&label, &ClickLabel::pressed);
    QSignalSpy clicks(&label, &ClickLabel::clicked);
    GetParam().act(label);
    EXPECT_EQ(presses.size(), GetParam().presses);
    EXPECT_EQ(clicks.size(), GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, ClickLabelGesture,
    ::testing::Values(
        Gesture{"LeftClick", [](ClickLabel &l) { QTest::mouseClick(&l, Qt::LeftButton); }, 1, 1},
        Gesture{"RightClick", [](ClickLabel &l) { QTest::mouseClick(&l, Qt::RightButton); }, 1, 0},
        // As the platform delivers one: the second press comes as the double click.
        Gesture{"DoubleClick",
                [](ClickLabel &l) {
                    QTest::mouseClick(&l, Qt::LeftButton);
                    QTest::mouseDClick(&l, Qt::LeftButton);
                },
                2, 1},
        Gesture{"ReleasedOutside",
                [](ClickLabel &l) {
                    QTest::mousePress(&l, Qt::LeftButton, {}, QPoint(5, 5));
                    QTest::mouseRelease(&l, Qt::LeftButton, {}, QPoint(60, 5));
                },
                1, 0},
        Gesture{"BackButton", [](ClickLabel &l) { QTest::mouseClick(&l, Qt::BackButton); }, 0, 0}),
    [](const ::testing::TestParamInfo<Gesture> &info) { return std::string(info.param.name); });
