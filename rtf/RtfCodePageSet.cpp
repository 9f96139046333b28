#include "rtf/RtfCodePageSet.h"

#include "rtf/RtfLimits.h"

RtfCodePage &RtfCodePageSet::page(int number)
{
    if (last_ && last_->number() == number)
        return *last_;
    if (pages_.size() >= kMaxCodePages && !pages_.count(number))
        number = RtfCodePage::kWestern;
    auto &slot = pages_[number];
    if (!slot)
        slot = std::make_unique<RtfCodePage>(number);
    last_ = slot.get();
    return *last_;
}
