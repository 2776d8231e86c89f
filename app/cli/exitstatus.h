#pragma once

// The exit statuses of the command line, one for each class of failure.
namespace qv::cli {

inline constexpr int kSuccess = 0;
inline constexpr int kFailed = 1;     // an export could not be made (the message says why)
inline constexpr int kUsage = 2;      // unknown command or option, missing or unusable value
inline constexpr int kConnection = 3; // the server could not be reached, or refused the login
inline constexpr int kLocalWrite = 4; // a file or the settings could not be written here
inline constexpr int kUntrusted = 5;  // the server's certificate or host key was not trusted
inline constexpr int kNotStored = 6;  // a search listed files it could not store (each is named)
inline constexpr int kBusy = 7;       // another search is running in the program folder

} // namespace qv::cli
