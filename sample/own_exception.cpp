// A filter that raises an exception of its own and handles it, as filters
// built with structured exception handling do internally. The handler sits
// in this function's own frame, so the exception never travels further.
//
// On x86-64, __try1 writes this function's scope table with fixed labels,
// so this translation unit may hold only the one __try1.
#include "sample.h"

#include <excpt.h>

namespace {
constexpr DWORD kOwnException = 0xE0000001;
}

#if defined(__x86_64__)

extern "C" LONG filterprops_sample_OwnFilter(EXCEPTION_POINTERS *pointers, void *)
{
    return pointers->ExceptionRecord->ExceptionCode == kOwnException ? EXCEPTION_EXECUTE_HANDLER
                                                                      : EXCEPTION_CONTINUE_SEARCH;
}

__attribute__((noinline)) bool RaiseAndHandleOwnException()
{
    // In memory, so that its value is read back from the frame after the unwind.
    volatile bool handled = true;
    __try1(filterprops_sample_OwnFilter)
    RaiseException(kOwnException, 0, 0, nullptr);
    handled = false;   // reached only when someone else resumed the raise
    __except1
    return handled;
}

#elif defined(__i386__)

// A registration record of our own, pushed on the thread's exception list
// for the raise. Its handler resumes after RaiseException (the raise is
// continuable and there is nothing to repair).
struct OwnRecord {
    OwnRecord *next;
    EXCEPTION_DISPOSITION (__cdecl *handler)(EXCEPTION_RECORD *, void *, CONTEXT *, void *);
    volatile bool handled;
};

extern "C" EXCEPTION_DISPOSITION __cdecl filterprops_sample_OwnHandler(EXCEPTION_RECORD *exception,
                                                                      void *record, CONTEXT *, void *)
{
    if (exception->ExceptionCode != kOwnException ||
        (exception->ExceptionFlags & (EXCEPTION_NONCONTINUABLE | EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)))
        return ExceptionContinueSearch;
    static_cast<OwnRecord *>(record)->handled = true;
    return ExceptionContinueExecution;
}

__attribute__((noinline)) bool RaiseAndHandleOwnException()
{
    OwnRecord record;
    record.handler = filterprops_sample_OwnHandler;
    record.handled = false;
    asm volatile("movl %%fs:0, %0" : "=r"(record.next));
    asm volatile("movl %0, %%fs:0" : : "r"(&record) : "memory");
    RaiseException(kOwnException, 0, 0, nullptr);
    asm volatile("movl %0, %%fs:0" : : "r"(record.next) : "memory");
    return record.handled;
}

#else
#error "the sample knows only 32-bit and 64-bit x86"
#endif
