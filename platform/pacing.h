#pragma once

// How often long work lets the window show how far it has come: a few dozen times a second is
// as smooth as the eye follows, and far less often than the items such work goes through.
namespace qv {

inline constexpr int kShowProgressEveryMs = 40;

} // namespace qv
