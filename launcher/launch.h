// The launch sequence: the whole run of the program, from the command-line tail to the
// exit code.
#pragma once

#include "platform/platform.h"

constexpr std::size_t kCaptionBytes = 256;

// Runs the tool on the class identifier text; returns 0 once the frame has closed,
// otherwise the result of the call that failed.
int RunLauncher(const char* commandLine);

// Returns the part of a process command line after the program's own name and the
// blanks that follow it. isLeadByte tells the first byte of a double-byte character.
const char* SkipProgramName(const char* commandLine, bool (*isLeadByte)(unsigned char));

// Copies each byte of text, terminator included, into the unit of the same value.
void WidenText(const char* text, std::size_t length, char16_t* wide);

// Narrows a filter name into caption: units below 256 become the byte of the same value;
// stops at the terminator or before the first unit of 256 or above; always terminated.
void NarrowName(const char16_t* name, char (&caption)[kCaptionBytes]);

// Tells the user that the filter's page code faulted, in a box captioned with its name.
void ShowPageFault(const char16_t* filterName);
