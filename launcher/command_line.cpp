#include "launcher/launch.h"

const char* SkipProgramName(const char* commandLine, bool (*isLeadByte)(unsigned char)) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') {
            if (isLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
                ++p;
            }
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (static_cast<unsigned char>(*p) > ' ') {
            ++p;
        }
    }
    while (*p && static_cast<unsigned char>(*p) <= ' ') {
        ++p;
    }
    return p;
}

void WidenText(const char* text, std::size_t length, char16_t* wide) {
    for (std::size_t i = 0; i <= length; ++i) {
        wide[i] = static_cast<unsigned char>(text[i]);
    }
}
