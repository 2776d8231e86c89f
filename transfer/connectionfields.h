#pragma once

#include "transfer/serversearch.h"

#include <QString>

namespace qv {

// Whether the three connection fields can be used at all, checked before anything is sent: the
// first problem as the operator is told of it, "" when there is none. An empty field comes first
// (missingConnectionField); then a login or password with a control character, which would break
// the protocol's command lines, and an address that carries a login or password of its own,
// which would otherwise be shown and saved in clear.
QString unusableConnectionField(const ConnectionFields& fields);

} // namespace qv
