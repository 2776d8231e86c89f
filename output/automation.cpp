#include "output/automation.h"

#include "output/officeautomation.h"
#include "platform/services.h"

namespace qv::automation {

Factory& factory() {
    static OfficeFactory office;
    Factory* installed = services().automationFactory;
    return installed ? *installed : office;
}

} // namespace qv::automation
