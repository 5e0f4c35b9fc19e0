// Process entry. The tool needs nothing from the C runtime's start-up, so it has its own:
// it finds the command-line tail after the program's name and hands it to WinMain.
#include "launcher/launch.h"

struct HINSTANCE__;

extern "C" int __stdcall WinMain(HINSTANCE__*, HINSTANCE__*, char* commandLine, int) {
    return RunLauncher(commandLine);
}

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    const char* tail = SkipProgramName(platform::GetCommandLineA(), platform::IsDBCSLeadByte);
    platform::ExitProcess(WinMain(nullptr, nullptr, const_cast<char*>(tail), 0));
}
