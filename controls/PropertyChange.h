#pragma once

#include <QString>
#include <QWidget>

#include <type_traits>

// When a setter repaints: the label and the button only on a real change, the clock on
// every assignment.
enum class Repaint { OnChange, Always };

// Stores `value` in `field` and repaints, unless `when` is OnChange and the value is
// already there. `repaint` is the control (whose update() queues a repaint) or a callable
// that repaints. Returns whether the value differed.
template <typename T, typename Repainter>
bool change(T &field, std::type_identity_t<T> value, Repainter &&repaint, Repaint when = Repaint::OnChange)
{
    const bool differs = !(field == value);
    if (!differs && when == Repaint::OnChange)
        return false;
    field = std::move(value);
    if constexpr (std::is_convertible_v<Repainter, QWidget *>)
        static_cast<QWidget *>(repaint)->update();
    else
        repaint();
    return differs;
}

// A control's hint and whether it shows: the tool tip carries the text only while it does.
class HintText
{
public:
    const QString &text() const { return text_; }
    bool shown() const { return shown_; }
    void setText(QWidget &control, const QString &text)
    {
        text_ = text;
        apply(control);
    }
    void setShown(QWidget &control, bool shown)
    {
        shown_ = shown;
        apply(control);
    }

private:
    void apply(QWidget &control) const { control.setToolTip(shown_ ? text_ : QString()); }

    QString text_;
    bool shown_ = false;
};
