// The Win32 implementation of the platform boundary.
#include <windows.h>

#include <ole2.h>
#include <olectl.h>
#include <strmif.h>

#include <cstddef>

#include "platform/platform.h"

static_assert(sizeof(platform::Guid) == sizeof(GUID), "Guid must match GUID");
static_assert(sizeof(char16_t) == sizeof(WCHAR), "a wide unit is 16 bits");
static_assert(sizeof(platform::FilterInfo) == sizeof(FILTER_INFO), "FilterInfo must match");
static_assert(offsetof(platform::FilterInfo, pGraph) == offsetof(FILTER_INFO, pGraph),
              "FilterInfo must match");
static_assert(sizeof(platform::PageList) == sizeof(CAUUID), "PageList must match CAUUID");
static_assert(offsetof(platform::PageList, pElems) == offsetof(CAUUID, pElems),
              "PageList must match CAUUID");

namespace platform {

char16_t* AllocWide(std::size_t units) {
    return static_cast<char16_t*>(::HeapAlloc(::GetProcessHeap(), 0, units * sizeof(char16_t)));
}

void FreeWide(char16_t* block) {
    ::HeapFree(::GetProcessHeap(), 0, block);
}

void CoInitialize() {
    ::CoInitialize(nullptr);
}

void CLSIDFromString(const char16_t* text, Guid* clsid) {
    ::CLSIDFromString(reinterpret_cast<LPCOLESTR>(text), reinterpret_cast<CLSID*>(clsid));
}

HRESULT CoCreateInstance(const Guid& clsid, void* outer, std::uint32_t context, const Guid& iid,
                         void** object) {
    return ::CoCreateInstance(reinterpret_cast<const CLSID&>(clsid), static_cast<IUnknown*>(outer),
                              context, reinterpret_cast<const IID&>(iid), object);
}

HRESULT QueryFilterInfo(IBaseFilter* filter, FilterInfo* info) {
    return filter->QueryFilterInfo(reinterpret_cast<FILTER_INFO*>(info));
}

HRESULT QueryInterface(IBaseFilter* filter, const Guid& iid, void** object) {
    return filter->QueryInterface(reinterpret_cast<const IID&>(iid), object);
}

HRESULT GetPages(ISpecifyPropertyPages* proppage, PageList* pages) {
    return proppage->GetPages(reinterpret_cast<CAUUID*>(pages));
}

// https://learn.microsoft.com/windows/win32/api/olectl/nf-olectl-olecreatepropertyframe
void OleCreatePropertyFrame(Window owner, std::uint32_t x, std::uint32_t y, const char16_t* caption,
                            std::uint32_t objectCount, IBaseFilter** objects,
                            std::uint32_t pageCount, const Guid* pageIds, std::uint32_t locale,
                            std::uint32_t reserved, void* reservedPointer) {
    // IBaseFilter derives from IUnknown alone, so each object pointer is its IUnknown.
    ::OleCreatePropertyFrame(owner, x, y, reinterpret_cast<LPCOLESTR>(caption), objectCount,
                             reinterpret_cast<IUnknown**>(objects), pageCount,
                             reinterpret_cast<CLSID*>(const_cast<Guid*>(pageIds)), locale, reserved,
                             reservedPointer);
}

void Release(ISpecifyPropertyPages* proppage) {
    proppage->Release();
}

void Release(IBaseFilter* filter) {
    filter->Release();
}

void Release(IFilterGraph* graph) {
    graph->Release();
}

void CoTaskMemFree(void* block) {
    ::CoTaskMemFree(block);
}

void CoUninitialize() {
    ::CoUninitialize();
}

Window GetFocus() {
    return ::GetFocus();
}

void MessageBoxA(Window owner, const char* text, const char* caption, std::uint32_t style) {
    ::MessageBoxA(owner, text, caption, style);
}

const char* GetCommandLineA() {
    return ::GetCommandLineA();
}

bool IsDBCSLeadByte(unsigned char byte) {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

void ExitProcess(int exitCode) {
    ::ExitProcess(static_cast<UINT>(exitCode));
}

} // namespace platform
