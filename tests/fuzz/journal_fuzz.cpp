#include "core/JournalFormat.h"
#include "core/Match.h"
#include "core/MatchController.h"
#include "core/MatchRecord.h"
#include "platform/TickCounter.h"

#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class StillTicks final : public TickSource
{
public:
    std::uint32_t now() const override { return 42; }
};

} // namespace

// What any bytes must satisfy: the reader returns a valid prefix that writes and reads back
// to the same records, the same bytes when written again, and a replay of it that the
// written journal reproduces. Empty when all hold, else what broke.
std::string checkJournalInput(const QByteArray &input)
{
    const JournalFormat::ReadResult first = JournalFormat::read(input);
    const QByteArray written = JournalFormat::write(first.records);
    const JournalFormat::ReadResult again = JournalFormat::read(written);
    if (again.status != JournalFormat::ReadResult::Status::Ok)
        return "written records do not read back cleanly: " + JournalFormat::statusText(again.status).toStdString();
    if (again.records != first.records)
        return "written records read back differently";
    if (JournalFormat::write(again.records) != written)
        return "writing again gives other bytes";

    StillTicks ticks;
    Match live(ticks, QString());
    MatchController controller(live);
    controller.replay(first.records);
    Match restored(ticks, QString());
    MatchController replayed(restored);
    replayed.replay(JournalFormat::read(JournalFormat::write(controller.journal())).records);
    if (restored.score().state() != live.score().state())
        return "the replayed journal's journal gives another board";
    (void)MatchRecord::fromJournal(first.records).csvLine({});
    return {};
}

// libFuzzer entry: a broken property aborts, so the fuzzer keeps the input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "journal_fuzz";
    static char *argv[] = {name, nullptr};
    // Under libFuzzer nobody else makes the application; it lives until the process ends.
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!checkJournalInput(input).empty())
        std::abort();
    return 0;
}
