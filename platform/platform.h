// The narrow boundary between the launcher and the platform: COM, OLE's property frame,
// the window manager and the fault guard. The launcher and the report include only this
// header; the program links the Win32 implementation, the host tests a scripted fake.
#pragma once

#include <cstddef>
#include <cstdint>

// Opaque platform objects, reached only through the calls below. The names match the
// platform's own interface and handle types, so the Win32 implementation uses them as they are.
struct IBaseFilter;
struct ISpecifyPropertyPages;
struct IFilterGraph;
struct HWND__;

namespace platform {

using HRESULT = std::int32_t;
using Window = HWND__*;

constexpr HRESULT kSOk = 0;
constexpr HRESULT kEOutOfMemory = static_cast<HRESULT>(0x8007000E);

constexpr std::uint32_t kClsctxInproc = 3; // CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER
constexpr std::uint32_t kMbOk = 0x00;
constexpr std::uint32_t kMbIconError = 0x10;

// Laid out like the platform's GUID.
struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

constexpr std::size_t kFilterNameUnits = 128;

// Laid out like FILTER_INFO: the name, and a graph reference that the caller owns.
struct FilterInfo {
    char16_t achName[kFilterNameUnits];
    IFilterGraph* pGraph;
};

// Laid out like CAUUID: the page identifiers, allocated with the COM task allocator.
struct PageList {
    std::uint32_t cElems;
    Guid* pElems;
};

// Heap block for the wide copy of the command line; null when it cannot be had.
char16_t* AllocWide(std::size_t units);
void FreeWide(char16_t* block);

void CoInitialize();
void CLSIDFromString(const char16_t* text, Guid* clsid);
HRESULT CoCreateInstance(const Guid& clsid, void* outer, std::uint32_t context, const Guid& iid,
                         void** object);
HRESULT QueryFilterInfo(IBaseFilter* filter, FilterInfo* info);
HRESULT QueryInterface(IBaseFilter* filter, const Guid& iid, void** object);
HRESULT GetPages(ISpecifyPropertyPages* proppage, PageList* pages);
void OleCreatePropertyFrame(Window owner, std::uint32_t x, std::uint32_t y, const char16_t* caption,
                            std::uint32_t objectCount, IBaseFilter** objects,
                            std::uint32_t pageCount, const Guid* pageIds, std::uint32_t locale,
                            std::uint32_t reserved, void* reservedPointer);
void Release(ISpecifyPropertyPages* proppage);
void Release(IBaseFilter* filter);
void Release(IFilterGraph* graph);
void CoTaskMemFree(void* block);
void CoUninitialize();

Window GetFocus();
void MessageBoxA(Window owner, const char* text, const char* caption, std::uint32_t style);

// Process start and end, for the entry point.
const char* GetCommandLineA();
bool IsDBCSLeadByte(unsigned char byte);
[[noreturn]] void ExitProcess(int exitCode);

// Runs body(context) so that any exception leaving it, processor faults included, returns
// here instead of ending the process. True when body returned normally; false when a fault
// was caught, after the frames it abandoned have been unwound.
bool RunGuarded(void (*body)(void* context), void* context);

} // namespace platform
