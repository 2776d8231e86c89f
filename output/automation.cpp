#include "output/automation.h"

#include "output/officeautomation.h"

namespace qv::automation {

namespace {
Factory*& injected() {
    static Factory* factory = nullptr;
    return factory;
}
} // namespace

Factory& factory() {
    static OfficeFactory office;
    return injected() ? *injected() : office;
}

void setFactory(Factory* f) {
    injected() = f;
}

} // namespace qv::automation
