#include "output/automation.h"

#include "output/officeautomation.h"
#include "platform/services.h"

#include <exception>

namespace qv::automation {

Factory& factory() {
    static OfficeFactory office;
    Factory* installed = services().automationFactory;
    return installed ? *installed : office;
}

QString failureOf(const std::function<void()>& steps, bool* localWrite) {
    try {
        steps();
    } catch (const Error& e) {
        if (localWrite)
            *localWrite = e.localWrite;
        return e.message;
    } catch (const std::exception& e) {
        return QStringLiteral("The command failed: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return {};
}

} // namespace qv::automation
