#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Sends what the operator types at most once a second: the first change at once, the
// changes after it when the second is up, and whatever is left when the typing ends
// (flush). Every send would otherwise be a journal line per key.
class PacedSender : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPaceMs = 1000;

    explicit PacedSender(std::function<void()> send, QObject *parent = nullptr);

    void changed();
    // Sends a change still waiting for its second; nothing when none waits.
    void flush();
    bool waiting() const { return waiting_; }

private:
    std::function<void()> send_;
    QTimer pace_;
    bool waiting_ = false;
};
