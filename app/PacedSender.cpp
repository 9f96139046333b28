#include "app/PacedSender.h"

PacedSender::PacedSender(std::function<void()> send, QObject *parent) : QObject(parent), send_(std::move(send))
{
    pace_.setSingleShot(true);
    pace_.setInterval(kPaceMs);
    connect(&pace_, &QTimer::timeout, this, &PacedSender::flush);
}

void PacedSender::changed()
{
    if (pace_.isActive()) {
        waiting_ = true;
        return;
    }
    send_();
    pace_.start();
}

void PacedSender::flush()
{
    if (!waiting_)
        return;
    waiting_ = false;
    send_();
    pace_.start();
}
