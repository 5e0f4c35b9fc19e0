// The failure report: one failed platform call, shown to the user in an error box.
#pragma once

#include "platform/platform.h"

constexpr std::size_t kReportBytes = 256;

// Writes "error 0x<eight upper-case hex digits>\n<label>" into message, always terminated.
void FormatFailure(platform::HRESULT result, const char* label, char (&message)[kReportBytes]);

// Shows the formatted failure in a modal error box; returns when the user has dismissed it.
void ReportFailure(platform::HRESULT result, const char* label);
