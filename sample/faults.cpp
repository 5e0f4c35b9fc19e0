// Faults the test pages raise. Everything goes through volatile objects, so
// the compiler can neither prove the fault nor drop or replace it: the
// processor (or RaiseException) raises exactly the exception named.
#include "sample.h"

void WriteThroughNull()
{
    volatile int *volatile target = nullptr;
    *target = 0x5a;
}

void DivideByZero()
{
    volatile int dividend = 1, divisor = 0;
    volatile int quotient = dividend / divisor;
    (void)quotient;
}

// What the C++ runtime of an MSVC-built filter raises for a throw: the
// exception code "msc", the runtime's magic number, the thrown object and
// its throw information (and, on 64-bit, the image base the throw
// information is relative to). No object and no type information are
// given, so no C++ runtime that might see it could match a catch clause.
void ThrowLikeMsvc()
{
    constexpr DWORD kMsvcException = 0xE06D7363;
    constexpr ULONG_PTR kMagic = 0x19930520;
    const ULONG_PTR args[] = {kMagic, 0, 0, reinterpret_cast<ULONG_PTR>(g_module)};
#if defined(_WIN64)
    constexpr DWORD kArgs = 4;
#else
    constexpr DWORD kArgs = 3;
#endif
    RaiseException(kMsvcException, EXCEPTION_NONCONTINUABLE, kArgs, args);
}
