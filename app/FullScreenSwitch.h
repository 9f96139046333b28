#pragma once

#include <functional>
#include <memory>

class BoardLayout;
class FullScreenView;
class MonitorSource;
class QCheckBox;
class QScreen;
class QWidget;

// Takes the board full screen and back: F11, the strip's "Vollbild" box, and the board's
// pictures at the size the enlarged board needs.
class FullScreenSwitch
{
public:
    // `monitor` is the number picked in the strip's monitor list.
    FullScreenSwitch(QWidget &board, QWidget &strip, BoardLayout &layout, const MonitorSource &monitors,
                     std::function<int()> monitor);
    ~FullScreenSwitch();

    bool shown() const;
    void set(bool on);
    FullScreenView *view() const { return view_.get(); }
    // Leaves the scene before the board goes, which the view would take with it.
    void release();

private:
    void showLargePictures(bool large);
    // The monitor picked in the list; the primary one for "Anfangswert" or a number that
    // no longer exists.
    QScreen *chosenScreen() const;

    BoardLayout &layout_;
    const MonitorSource &monitors_;
    std::function<int()> monitor_;
    std::unique_ptr<FullScreenView> view_;
    QCheckBox *cbFullScreen_ = nullptr;
};
