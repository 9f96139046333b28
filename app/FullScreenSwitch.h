#pragma once

#include <QObject>

#include <memory>

class BoardModel;
class FullScreenView;
class MonitorSource;
class QCheckBox;
class QScreen;
class QWidget;
class TPLNClock;

// Takes the board full screen and back: F11, the strip's "Vollbild" box, and the board's
// pictures at the size the enlarged board needs.
class FullScreenSwitch : public QObject
{
    Q_OBJECT

public:
    // The monitor is the model's, picked in the strip's monitor list.
    FullScreenSwitch(QWidget &board, QWidget &strip, TPLNClock &clock, const MonitorSource &monitors,
                     const BoardModel &model);
    ~FullScreenSwitch() override;

    bool shown() const;
    void set(bool on);
    FullScreenView *view() const { return view_.get(); }
    // Leaves the scene before the board goes, which the view would take with it.
    void release();

signals:
    // The board's pictures are to be drawn for the enlarged board, or at their size again.
    void largePicturesWanted(bool large);

private:
    // The monitor picked in the list; the primary one for "Anfangswert" or a number that
    // no longer exists.
    QScreen *chosenScreen() const;

    TPLNClock &clock_;
    const MonitorSource &monitors_;
    const BoardModel &model_;
    std::unique_ptr<FullScreenView> view_;
    QCheckBox *cbFullScreen_ = nullptr;
};
