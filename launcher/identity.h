// Identity mode: the one-line JSON record that names this build.
#ifndef TEVRA_LAUNCHER_IDENTITY_H
#define TEVRA_LAUNCHER_IDENTITY_H

#include <string>

#include "platform/windows_api.h"
#include "resources/product.h"

namespace tevra {

// Written verbatim; no member needs escaping. 153 characters plus the bundle
// identifier, then a line feed.
inline constexpr char kIdentityRecord[] =
    "{\"product\":\"" TEVRA_PRODUCT_NAME "\","
    "\"vendor\":\"" TEVRA_VENDOR_NAME "\","
    "\"bundleId\":\"" TEVRA_BUNDLE_ID "\","
    "\"appId\":\"" TEVRA_APP_ID "\","
    "\"version\":\"" TEVRA_VERSION "\","
    "\"platform\":\"win-x64\"}\n";

// True when "--version-json" occurs anywhere in the command-line text, compared
// unit by unit: no splitting into arguments, no quotes, no case folding.
bool IsIdentityRequest(const std::wstring& command_line);

// Attaches to the parent's console, reopens stdout on it and writes the
// identity record. Every failure is silent: without a parent console the
// record goes nowhere.
void PrintIdentityRecord(ConsoleApi& console);

}  // namespace tevra

#endif  // TEVRA_LAUNCHER_IDENTITY_H
