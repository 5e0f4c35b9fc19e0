#include "launcher/launch.h"

#include "report/report.h"

using platform::HRESULT;

namespace {

constexpr platform::Guid kIidBaseFilter = {
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
constexpr platform::Guid kIidSpecifyPropertyPages = {
    0xB196B28B, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

// What the guarded frame call needs; borrowed from RunLauncher's frame.
struct FrameRequest {
    IBaseFilter* filter;
    const char16_t* caption;
    const platform::PageList* pages;
};

void OpenPropertyFrame(void* context) {
    const auto* request = static_cast<const FrameRequest*>(context);
    IBaseFilter* objects[] = {request->filter};
    platform::OleCreatePropertyFrame(platform::GetFocus(), 0, 0, request->caption, 1, objects,
                                     request->pages->cElems, request->pages->pElems, 0, 0, nullptr);
}

std::size_t MeasureText(const char* text) {
    std::size_t length = 0;
    while (text[length]) {
        ++length;
    }
    return length;
}

} // namespace

int RunLauncher(const char* commandLine) {
    IBaseFilter* filter = nullptr;
    ISpecifyPropertyPages* proppage = nullptr;

    platform::CoInitialize();

    const std::size_t length = MeasureText(commandLine);
    char16_t* wide = platform::AllocWide(length + 1);
    if (!wide) {
        ReportFailure(platform::kEOutOfMemory, "HeapAlloc");
        platform::CoUninitialize();
        return platform::kEOutOfMemory;
    }
    WidenText(commandLine, length, wide);
    // Zeroed first, so a text the platform rejects can only name the null class.
    platform::Guid clsid = {};
    platform::CLSIDFromString(wide, &clsid);
    platform::FreeWide(wide);

    void* object = nullptr;
    HRESULT hr = platform::CoCreateInstance(clsid, nullptr, platform::kClsctxInproc, kIidBaseFilter,
                                            &object);
    if (hr < 0) {
        ReportFailure(hr, "CoCreateInstance");
        platform::CoUninitialize();
        return hr;
    }
    filter = static_cast<IBaseFilter*>(object);

    platform::FilterInfo info = {};
    hr = platform::QueryFilterInfo(filter, &info);
    if (hr < 0) {
        ReportFailure(hr, "filter->QueryFilterInfo");
        platform::Release(filter);
        platform::CoUninitialize();
        return hr;
    }
    // The caller owns the graph reference; a name that fills the record is cut to fit.
    if (info.pGraph) {
        platform::Release(info.pGraph);
        info.pGraph = nullptr;
    }
    info.achName[platform::kFilterNameUnits - 1] = 0;

    object = nullptr;
    hr = platform::QueryInterface(filter, kIidSpecifyPropertyPages, &object);
    if (hr < 0) {
        ReportFailure(hr, "filter->QueryInterface(IID_ISpecifyPropertyPages,...)");
        platform::Release(filter);
        platform::CoUninitialize();
        return hr;
    }
    proppage = static_cast<ISpecifyPropertyPages*>(object);

    platform::PageList pages = {};
    hr = platform::GetPages(proppage, &pages);
    if (hr != platform::kSOk) {
        platform::Release(proppage);
        platform::Release(filter);
        platform::MessageBoxA(platform::GetFocus(), "Can not get filter's property page",
                              "Quorvell Deinterlace", platform::kMbOk);
        ReportFailure(hr, "proppage->GetPages(...)");
        platform::CoUninitialize();
        return hr;
    }

    FrameRequest request = {filter, info.achName, &pages};
    if (!platform::RunGuarded(OpenPropertyFrame, &request)) {
        ShowPageFault(info.achName);
    }

    platform::Release(proppage);
    platform::Release(filter);
    platform::CoTaskMemFree(pages.pElems);
    platform::CoUninitialize();
    return 0;
}
