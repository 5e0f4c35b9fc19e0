#include "launcher/launch.h"

void NarrowName(const char16_t* name, char (&caption)[kCaptionBytes]) {
    std::size_t at = 0;
    while (at < kCaptionBytes - 1 && name[at] != 0 && name[at] < 256) {
        caption[at] = static_cast<char>(name[at]);
        ++at;
    }
    caption[at] = '\0';
}

void ShowPageFault(const char16_t* filterName) {
    char caption[kCaptionBytes];
    NarrowName(filterName, caption);
    platform::MessageBoxA(platform::GetFocus(),
                          "Run-time error while display filter's property page", caption,
                          platform::kMbOk);
}
