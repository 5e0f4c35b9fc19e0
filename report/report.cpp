#include "report/report.h"

void FormatFailure(platform::HRESULT result, const char* label, char (&message)[kReportBytes]) {
    static const char kPrefix[] = "error 0x";
    static const char kHexDigits[] = "0123456789ABCDEF";
    std::size_t at = 0;
    for (const char* p = kPrefix; *p; ++p) {
        message[at++] = *p;
    }
    const auto code = static_cast<std::uint32_t>(result);
    for (int shift = 28; shift >= 0; shift -= 4) {
        message[at++] = kHexDigits[(code >> shift) & 0xF];
    }
    message[at++] = '\n';
    while (*label && at < kReportBytes - 1) {
        message[at++] = *label++;
    }
    message[at] = '\0';
}

void ReportFailure(platform::HRESULT result, const char* label) {
    char message[kReportBytes];
    FormatFailure(result, label, message);
    platform::MessageBoxA(platform::GetFocus(), message, "Show Property Page",
                          platform::kMbIconError | platform::kMbOk);
}
