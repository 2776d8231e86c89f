#include "output/mergeinteraction.h"

#include "platform/services.h"

namespace qv::output {

MergeInteraction& mergeInteraction() {
    static DefaultMergeInteraction fallback;
    MergeInteraction* installed = services().mergeInteraction;
    return installed ? *installed : fallback;
}

} // namespace qv::output
