// Scripts shared by the launcher's tests: the platform's answers for one run of the tool.
#pragma once

#include <string>
#include <vector>

#include "fake_platform.h"

namespace support {

inline IBaseFilter filter{"filter"};
inline ISpecifyPropertyPages proppage{"proppage"};
inline IFilterGraph graph{"graph"};
inline HWND__ focusBeforeFrame{"focus-frame"};
inline HWND__ focusFirstBox{"focus-box1"};
inline HWND__ focusSecondBox{"focus-box2"};

constexpr platform::Guid kFilterClass = {
    0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
inline platform::Guid pageIds[2] = {
    {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}},
    {0xAAAAAAAA, 0xBBBB, 0xCCCC, {0xDD, 0xDD, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}}};

inline platform::FilterInfo Named(const std::u16string& name) {
    platform::FilterInfo info = {};
    for (std::size_t i = 0; i < name.size() && i < platform::kFilterNameUnits; ++i) {
        info.achName[i] = name[i];
    }
    return info;
}

inline fake::Step Call(const char* name, platform::HRESULT result = 0) {
    fake::Step step;
    step.call = name;
    step.result = result;
    return step;
}

inline fake::Step Focus(HWND__* window) {
    fake::Step step = Call("GetFocus");
    step.window = window;
    return step;
}

// The steps up to and including GetPages, answering as a well-behaved filter named name.
inline std::vector<fake::Step> OpeningSteps(const std::u16string& name = u"Sample Deinterlace") {
    fake::Step read = Call("CLSIDFromString");
    read.clsid = kFilterClass;
    fake::Step create = Call("CoCreateInstance");
    create.object = &filter;
    fake::Step query = Call("QueryFilterInfo");
    query.info = Named(name);
    fake::Step pagesOf = Call("QueryInterface");
    pagesOf.object = &proppage;
    fake::Step list = Call("GetPages");
    list.pages = {2, pageIds};
    return {Call("CoInitialize"),
            Call("AllocWide"),
            read,
            Call("FreeWide"),
            create,
            query,
            pagesOf,
            list};
}

// The frame and the normal end after it.
inline std::vector<fake::Step> FrameSteps(bool fault = false) {
    fake::Step guard = Call("RunGuarded");
    guard.fails = fault;
    std::vector<fake::Step> steps = {guard, Focus(&focusBeforeFrame),
                                     Call("OleCreatePropertyFrame")};
    if (fault) {
        steps.push_back(Focus(&focusFirstBox));
        steps.push_back(Call("MessageBoxA"));
    }
    for (const char* call : {"Release", "Release", "CoTaskMemFree", "CoUninitialize"}) {
        steps.push_back(Call(call));
    }
    return steps;
}

inline std::vector<fake::Step> Join(std::vector<fake::Step> a, const std::vector<fake::Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::string PointerText(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

} // namespace support
