// The clip reader on arbitrary bytes: whatever the file says, reading ends, stays within its
// limits and gives either an empty clip or frames of the size it reports.
#include "media/avireader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qv::AviClip clip = qv::readAviClip(bytes);
    for (const QImage& frame : clip.frames) {
        if (frame.width() != clip.width || frame.height() != clip.height)
            __builtin_trap();
    }
    if (!clip.isNull() &&
        (clip.frameIntervalMs < qv::kMinIntervalMs || clip.frameIntervalMs > qv::kMaxIntervalMs))
        __builtin_trap();
    return 0;
}
