/*
 * e2e-launch: start a program with an exact command line and report its
 * full 32-bit exit code.
 *
 *   e2e-launch.exe <cmdline-file> [timeout-ms]
 *
 * The whole content of <cmdline-file> is the command line, byte for byte
 * (nothing is stripped, not even a trailing newline).  It is handed to
 * CreateProcessA with no application name, so its first token names the
 * program; a quoted path with blanks works.  Reading the command line
 * from a file sidesteps the re-quoting that "wine prog args" does.
 *
 * Output (stdout, "\n" line ends, flushed after each line):
 *   pid <decimal pid>        as soon as the child runs
 *   peak <bytes>             child ended; its peak working set (left
 *                            out when it could not be read)
 *   exit 0x<8 hex digits>    child ended; exit code in upper case hex
 *   timeout                  child still running after timeout-ms
 *                            (default 60000); it is then terminated
 *   error <what> <code>      could not read the file or start the child
 *
 * Return value: 0 after "exit", 1 after "timeout", 2 after "error".
 *
 * Bytes above 127: CreateProcessA converts the command line from the
 * ANSI code page to UTF-16, and the child's GetCommandLineA converts it
 * back with the same code page.  With a single-byte ANSI code page such
 * as 1252 every byte survives the round trip, so the child sees exactly
 * the bytes of the file.
 */
#include <windows.h>
#include <psapi.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

#define PEAK_POLL_MS 50

/* The larger of peak and the process's peak working set, when it can be read. */
static SIZE_T peak_so_far(HANDLE process, SIZE_T peak)
{
    PROCESS_MEMORY_COUNTERS mem;
    if (K32GetProcessMemoryInfo(process, &mem, sizeof mem) && mem.PeakWorkingSetSize > peak)
        peak = mem.PeakWorkingSetSize;
    return peak;
}

static int fail(const char *what, DWORD code)
{
    printf("error %s %lu\n", what, (unsigned long)code);
    fflush(stdout);
    return 2;
}

int wmain(int argc, wchar_t **argv)
{
    HANDLE file;
    LARGE_INTEGER size;
    char *cmdline;
    DWORD got = 0, timeout_ms = 60000, wait, code = 0;
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    ULONGLONG deadline;
    SIZE_T peak = 0;

    _setmode(_fileno(stdout), _O_BINARY);

    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: e2e-launch <cmdline-file> [timeout-ms]\n");
        return 2;
    }
    if (argc == 3)
        timeout_ms = (DWORD)wcstoul(argv[2], NULL, 10);

    file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, NULL,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return fail("open", GetLastError());
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 65536) {
        CloseHandle(file);
        return fail("size", GetLastError());
    }
    /* CreateProcessA may write into the buffer, so it must be our own. */
    cmdline = calloc((size_t)size.QuadPart + 1, 1);
    if (!cmdline) {
        CloseHandle(file);
        return fail("memory", 0);
    }
    if (size.QuadPart &&
        !ReadFile(file, cmdline, (DWORD)size.QuadPart, &got, NULL)) {
        CloseHandle(file);
        return fail("read", GetLastError());
    }
    CloseHandle(file);
    cmdline[got] = 0;

    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    ZeroMemory(&pi, sizeof pi);
    if (!CreateProcessA(NULL, cmdline, NULL, NULL, FALSE, 0, NULL, NULL,
                        &si, &pi))
        return fail("createprocess", GetLastError());
    CloseHandle(pi.hThread);

    printf("pid %lu\n", (unsigned long)pi.dwProcessId);
    fflush(stdout);

    /* Windows keeps an ended process's counters; Wine reads them from the live process
       only, so the peak is also sampled while the child runs. */
    deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        DWORD slice = now >= deadline ? 0
                    : (DWORD)(deadline - now < PEAK_POLL_MS ? deadline - now : PEAK_POLL_MS);
        wait = WaitForSingleObject(pi.hProcess, slice);
        if (wait != WAIT_TIMEOUT || slice == 0)
            break;
        peak = peak_so_far(pi.hProcess, peak);
    }
    if (wait != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        printf("timeout\n");
        fflush(stdout);
        return 1;
    }
    if (!GetExitCodeProcess(pi.hProcess, &code)) {
        CloseHandle(pi.hProcess);
        return fail("exitcode", GetLastError());
    }
    peak = peak_so_far(pi.hProcess, peak);
    if (peak)
        printf("peak %llu\n", (unsigned long long)peak);
    CloseHandle(pi.hProcess);
    printf("exit 0x%08lX\n", (unsigned long)code);
    fflush(stdout);
    return 0;
}
