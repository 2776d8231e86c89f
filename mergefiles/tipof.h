#pragma once

#include "ui/tooltip.h"

#include <type_traits>

namespace qv {

// The window's tooltip objects, whether held directly or through a pointer.
template <typename T> CTooltip& tipOf(T& tip) {
    if constexpr (std::is_base_of_v<CTooltip, std::remove_cv_t<T>>)
        return tip;
    else
        return *tip;
}

} // namespace qv
