#include "serial/messages.h"

#include <libintl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "config/tarnik_config.h"
#include "serial/message_catalogue_folder.h"

namespace tarnik {

namespace {

constexpr const char* kTexts[kComErrorCount] = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

const char* translate(const char* text)
{
    return dgettext(kSerialTextDomain, text);
}

}  // namespace

void initSerialMessages(const std::string& localeDir)
{
    bindtextdomain(kSerialTextDomain, localeDir.c_str());
    bind_textdomain_codeset(kSerialTextDomain, "UTF-8");
}

void initSerialMessages()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return;  // no catalogue folder to bind: texts stay as written
    const auto programFolder = exe.parent_path();
    initSerialMessages(
        messageCatalogueFolder(programFolder / "locale",
                               (programFolder / config::kLocaleFromBin).lexically_normal(),
                               kSerialTextDomain, userLanguages())
            .string());
}

const char* comErrorText(int code)
{
    return code >= 1 && code <= kComErrorCount ? kTexts[code - 1] : "";
}

std::string comErrorMessage(int code, int systemCode)
{
    const char* text = comErrorText(code);
    std::string message = *text ? translate(text) : "";
    if (systemCode != -1) {
        // The format comes from a catalogue: accept it only with exactly one %d and no
        // other conversion, so a faulty translation cannot corrupt the call.
        const std::string format = translate(kSystemCodeSuffix);
        const auto first = format.find('%');
        const bool safe = first != std::string::npos && format.compare(first, 2, "%d") == 0 &&
                          format.find('%', first + 2) == std::string::npos;
        const std::string& use = safe ? format : std::string(kSystemCodeSuffix);
        char buf[256];
        std::snprintf(buf, sizeof buf, use.c_str(), systemCode);
        message += buf;
    }
    return message;
}

}  // namespace tarnik
