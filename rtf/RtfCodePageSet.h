#pragma once

#include "rtf/RtfCodePage.h"

#include <memory>
#include <unordered_map>

// The code pages one file uses, each built once. A file naming more pages than a title
// ever needs gets the western page for the rest, so hostile files cannot pile up decoders.
class RtfCodePageSet
{
public:
    RtfCodePage &page(int number);

private:
    std::unordered_map<int, std::unique_ptr<RtfCodePage>> pages_;
    RtfCodePage *last_ = nullptr;
};
