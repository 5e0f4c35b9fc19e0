// The fault guard's mechanism: turns any exception that leaves the guarded call, processor
// faults included, into a normal return.
#include <windows.h>

#include "platform/platform.h"

namespace {

// On 64-bit Windows, a 32-bit process may see exceptions raised inside kernel callbacks
// (sent messages such as WM_INITDIALOG) filtered away before any handler of ours runs.
// Older systems lack the switch, so it is looked up at run time.
// https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-setprocessusermodeexceptionpolicy
void LetCallbackExceptionsThrough() {
    constexpr DWORD kCallbackFilterEnabled = 0x1;
    using GetPolicy = BOOL(WINAPI*)(LPDWORD);
    using SetPolicy = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel) {
        return;
    }
    auto get = reinterpret_cast<GetPolicy>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "GetProcessUserModeExceptionPolicy")));
    auto set = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetProcessUserModeExceptionPolicy")));
    DWORD flags = 0;
    if (get && set && get(&flags)) {
        set(flags & ~kCallbackFilterEnabled);
    }
}

} // namespace

#if defined(__i386__)

// A registration record of our own on the thread's exception list. The dispatcher offers
// every exception to the inner records first, so whatever the filter handles itself never
// reaches us; what reaches us would otherwise end the process. The handler then unwinds the
// abandoned inner frames and resumes in GuardedCall with our record on top of the list.
//
// Record layout on GuardedCall's stack, from its lowest address:
//   +0 next record, +4 handler, +8 saved ebp, +12 stack pointer at the record.
extern "C" int __cdecl filterprops_GuardedCall(void (*body)(void*), void* context);
extern "C" EXCEPTION_DISPOSITION __cdecl filterprops_GuardHandler(EXCEPTION_RECORD* exception,
                                                                  void* record, CONTEXT*, void*);

asm(R"(
    .text
    .globl _filterprops_GuardedCall
_filterprops_GuardedCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $16, %esp
    movl %fs:0, %eax
    movl %eax, 0(%esp)
    movl $_filterprops_GuardHandler, 4(%esp)
    movl %ebp, 8(%esp)
    movl %esp, 12(%esp)
    movl %esp, %fs:0
    subl $12, %esp
    pushl 12(%ebp)
    call *8(%ebp)
    addl $16, %esp
    movl $1, %eax
filterprops_GuardLeave:
    movl 0(%esp), %ecx
    movl %ecx, %fs:0
    addl $16, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
    .globl _filterprops_GuardResume
_filterprops_GuardResume:
    xorl %eax, %eax
    jmp filterprops_GuardLeave
)");

struct GuardRecord {
    void* next;
    void* handler;
    DWORD savedEbp;
    DWORD savedEsp;
};

extern "C" EXCEPTION_DISPOSITION __cdecl filterprops_GuardHandler(EXCEPTION_RECORD* exception,
                                                                  void* record, CONTEXT*, void*) {
    if (exception->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) {
        return ExceptionContinueSearch;
    }
    // Runs the unwind handlers of every frame the fault abandoned; afterwards our record is
    // the head of the list again.
    ::RtlUnwind(record, nullptr, exception, nullptr);
    const auto* guard = static_cast<const GuardRecord*>(record);
    asm volatile("movl %0, %%esp\n\t"
                 "movl %1, %%ebp\n\t"
                 "jmp _filterprops_GuardResume"
                 :
                 : "a"(guard->savedEsp), "c"(guard->savedEbp)
                 : "memory");
    __builtin_unreachable();
}

bool platform::RunGuarded(void (*body)(void* context), void* context) {
    LetCallbackExceptionsThrough();
    return filterprops_GuardedCall(body, context) != 0;
}

#elif defined(__x86_64__)

#include <excpt.h>

// On x86-64 there is no exception list: the dispatcher finds handlers through the image's
// unwind tables. __try1 names, in RunGuarded's own table entry, the C runtime's scope handler
// with our filter; the dispatcher offers the exception to every inner frame first, and only
// what nobody handled reaches the filter. The filter takes it; the scope handler unwinds the
// abandoned frames and resumes at the end of the scope with RunGuarded's frame restored.
extern "C" LONG filterprops_GuardFilter(EXCEPTION_POINTERS*, void*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

__attribute__((noinline)) bool platform::RunGuarded(void (*body)(void* context), void* context) {
    LetCallbackExceptionsThrough();
    // In memory, so that its value is read back from the frame after an unwind.
    volatile bool returned = false;
    __try1(filterprops_GuardFilter) body(context);
    returned = true;
    __except1 return returned;
}

#else
#error "the fault guard knows only 32-bit and 64-bit x86"
#endif
