// The merge-file reader on arbitrary bytes: item joining with both joiners, the record counter's
// line feeds, the header and every record, as the record list and the exports walk them.
#include "mergefiles/mergefile.h"
#include "platform/codepage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray counted = joinMergeItems(bytes, "");
    countMergeLineFeeds(bytes);
    const QString text = qv::codepage::decode(joinMergeItems(bytes, " "));

    const auto header = mergeHeader(text);
    if (!header)
        return 0;
    qsizetype at = header->end;
    while (const auto record = nextMergeRecord(text, at)) {
        if (record->end <= at)
            __builtin_trap(); // the walk must always move forward
        at = record->end;
    }
    (void)counted;
    return 0;
}
