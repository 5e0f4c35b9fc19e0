/*
 * floor: the least a program can do to show a filter's property pages, as the yardstick
 * for filterprops' start-up time and memory. Started with a filter's {CLSID} after its name:
 * CoInitialize, CLSIDFromString of the tail, CoCreateInstance, ISpecifyPropertyPages,
 * GetPages, OleCreatePropertyFrame, release, CoUninitialize. No checks beyond what keeps it
 * from crashing, no C runtime start-up, no report: any failure just ends it with the code.
 */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>

/* From the program name (quoted or not) to the first non-blank after it. */
static WCHAR *command_tail(WCHAR *p)
{
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    return p;
}

static HRESULT show_pages(const WCHAR *tail)
{
    CLSID clsid;
    IUnknown *filter = NULL;
    ISpecifyPropertyPages *specify = NULL;
    CAUUID pages = {0, NULL};
    HRESULT hr = CLSIDFromString((LPOLESTR)tail, &clsid);
    if (FAILED(hr))
        return hr;
    hr = CoCreateInstance(&clsid, NULL, CLSCTX_INPROC_SERVER, &IID_IUnknown, (void **)&filter);
    if (FAILED(hr))
        return hr;
    hr = filter->lpVtbl->QueryInterface(filter, &IID_ISpecifyPropertyPages, (void **)&specify);
    if (SUCCEEDED(hr)) {
        hr = specify->lpVtbl->GetPages(specify, &pages);
        if (SUCCEEDED(hr)) {
            hr = OleCreatePropertyFrame(NULL, 0, 0, L"floor", 1, &filter, pages.cElems,
                                        pages.pElems, LOCALE_USER_DEFAULT, 0, NULL);
            CoTaskMemFree(pages.pElems);
        }
        specify->lpVtbl->Release(specify);
    }
    filter->lpVtbl->Release(filter);
    return hr;
}

__attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup(void)
{
    HRESULT hr = CoInitialize(NULL);
    if (SUCCEEDED(hr)) {
        hr = show_pages(command_tail(GetCommandLineW()));
        CoUninitialize();
    }
    ExitProcess(SUCCEEDED(hr) ? 0 : (UINT)hr);
}
