// The balloon window's RTF reader on arbitrary bytes: every input either converts or is refused
// with a reason, never both, and a converted document is a whole HTML document.
#include "media/rtfreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qv::rtf::RtfResult result = qv::rtf::readRtf(bytes);
    const bool consistent = result.ok ? result.error.isEmpty() && !result.html.isEmpty()
                                      : !result.error.isEmpty() && result.html.isEmpty();
    if (!consistent) {
        std::fprintf(stderr, "rtf result inconsistent: ok=%d error=%s\n", result.ok,
                     result.error.toUtf8().constData());
        std::abort();
    }
    return 0;
}
