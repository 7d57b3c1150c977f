#pragma once

// The maker's addresses, handed to the system's browser and mail program.

namespace tarnik::maker {

inline constexpr const char* kWebPage = "https://www.example.com/";
inline constexpr const char* kWebPageText = "www.example.com";  // what the about box shows
inline constexpr const char* kSupportEmail = "serwis@example.com";
inline constexpr const char* kSupportSubject =
    "Uwagi do programu Tarnik      ";  // 6 trailing blanks

}  // namespace tarnik::maker
