#include "transfer/connectionfields.h"

#include "transfer/commandtext.h"
#include "transfer/ftpaddress.h"

namespace qv {

QString unusableConnectionField(const ConnectionFields& fields) {
    if (QString missing = missingConnectionField(fields); !missing.isEmpty())
        return missing;
    if (transfer::hasControlCharacter(fields.login))
        return QStringLiteral("The Login Name holds a control character (such as a line end). "
                              "Key it in again without it.");
    if (transfer::hasControlCharacter(fields.password))
        return QStringLiteral("The password holds a control character (such as a line end). "
                              "Key it in again without it.");
    if (transfer::addressHoldsCredentials(fields.address))
        return transfer::credentialsInAddressText();
    return {};
}

} // namespace qv
