#pragma once

#include <QByteArray>
#include <QString>

// What the fuzzer demands of any input: it loads (as RTF or plain text), lays out,
// is written as RTF, and reading that back gives the same text and the same
// formatting, tables and lists. Returns an empty string when it holds, else what differed.
QString rtfRoundTripFault(const QByteArray &input);
