#include "fake_platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

namespace fake {
namespace {

std::vector<Step> script;
std::size_t nextStep = 0;
std::vector<Call> calls;

// The scripted step for this call; a call out of script fails the test and gets a blank step.
const Step& Take(const std::string& call) {
    static const Step unexpected{};
    if (nextStep >= script.size()) {
        ADD_FAILURE() << "unexpected call " << call << " after the end of the script";
        return unexpected;
    }
    const Step& step = script[nextStep];
    if (step.call != call) {
        ADD_FAILURE() << "call " << nextStep << ": expected " << step.call << ", got " << call;
        return unexpected;
    }
    ++nextStep;
    return step;
}

void Record(const std::string& call, const std::string& detail = "", std::u16string text = {},
            std::string message = {}) {
    calls.push_back({call, detail, std::move(text), std::move(message)});
}

std::string Name(const IBaseFilter* p) {
    return p ? p->name : "null";
}
std::string Name(const ISpecifyPropertyPages* p) {
    return p ? p->name : "null";
}
std::string Name(const IFilterGraph* p) {
    return p ? p->name : "null";
}
std::string Name(const HWND__* p) {
    return p ? p->name : "null";
}
std::string Pointer(const void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return p ? text : "null";
}

} // namespace

void Script(std::vector<Step> steps) {
    script = std::move(steps);
    nextStep = 0;
    calls.clear();
}

const std::vector<Call>& Calls() {
    return calls;
}

std::vector<std::string> CallLines() {
    std::vector<std::string> lines;
    for (const Call& c : calls) {
        lines.push_back(c.detail.empty() ? c.call : c.call + " " + c.detail);
    }
    return lines;
}

bool ScriptDone() {
    return nextStep == script.size();
}

std::string FormatGuid(const platform::Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", g.data1,
                  g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

} // namespace fake

namespace platform {

using fake::Record;
using fake::Take;

char16_t* AllocWide(std::size_t units) {
    const fake::Step& step = Take("AllocWide");
    Record("AllocWide", std::to_string(units));
    return step.fails ? nullptr : new char16_t[units];
}

void FreeWide(char16_t* block) {
    Take("FreeWide");
    Record("FreeWide");
    delete[] block;
}

void CoInitialize() {
    Take("CoInitialize");
    Record("CoInitialize");
}

void CLSIDFromString(const char16_t* text, Guid* clsid) {
    const fake::Step& step = Take("CLSIDFromString");
    Record("CLSIDFromString", "clsid=" + fake::FormatGuid(*clsid), text);
    *clsid = step.clsid;
}

HRESULT CoCreateInstance(const Guid& clsid, void* outer, std::uint32_t context, const Guid& iid,
                         void** object) {
    const fake::Step& step = Take("CoCreateInstance");
    Record("CoCreateInstance",
           "clsid=" + fake::FormatGuid(clsid) + " outer=" + fake::Pointer(outer) +
               " context=" + std::to_string(context) + " iid=" + fake::FormatGuid(iid));
    *object = step.object;
    return step.result;
}

HRESULT QueryFilterInfo(IBaseFilter* filter, FilterInfo* info) {
    const fake::Step& step = Take("QueryFilterInfo");
    Record("QueryFilterInfo", fake::Name(filter));
    *info = step.info;
    return step.result;
}

HRESULT QueryInterface(IBaseFilter* filter, const Guid& iid, void** object) {
    const fake::Step& step = Take("QueryInterface");
    Record("QueryInterface", fake::Name(filter) + " iid=" + fake::FormatGuid(iid));
    *object = step.object;
    return step.result;
}

HRESULT GetPages(ISpecifyPropertyPages* proppage, PageList* pages) {
    const fake::Step& step = Take("GetPages");
    Record("GetPages", fake::Name(proppage));
    *pages = step.pages;
    return step.result;
}

void OleCreatePropertyFrame(Window owner, std::uint32_t x, std::uint32_t y, const char16_t* caption,
                            std::uint32_t objectCount, IBaseFilter** objects,
                            std::uint32_t pageCount, const Guid* pageIds, std::uint32_t locale,
                            std::uint32_t reserved, void* reservedPointer) {
    Take("OleCreatePropertyFrame");
    std::string objectNames;
    for (std::uint32_t i = 0; i < objectCount; ++i) {
        objectNames += (i ? "," : "") + fake::Name(objects[i]);
    }
    Record("OleCreatePropertyFrame",
           "owner=" + fake::Name(owner) + " at=" + std::to_string(x) + "," + std::to_string(y) +
               " objects=" + std::to_string(objectCount) + ":" + objectNames +
               " pages=" + std::to_string(pageCount) + ":" + fake::Pointer(pageIds) +
               " locale=" + std::to_string(locale) + " reserved=" + std::to_string(reserved) + "," +
               fake::Pointer(reservedPointer),
           caption);
}

void Release(ISpecifyPropertyPages* proppage) {
    Take("Release");
    Record("Release", fake::Name(proppage));
}

void Release(IBaseFilter* filter) {
    Take("Release");
    Record("Release", fake::Name(filter));
}

void Release(IFilterGraph* graph) {
    Take("Release");
    Record("Release", fake::Name(graph));
}

void CoTaskMemFree(void* block) {
    Take("CoTaskMemFree");
    Record("CoTaskMemFree", fake::Pointer(block));
}

void CoUninitialize() {
    Take("CoUninitialize");
    Record("CoUninitialize");
}

Window GetFocus() {
    const fake::Step& step = Take("GetFocus");
    Record("GetFocus");
    return step.window;
}

void MessageBoxA(Window owner, const char* text, const char* caption, std::uint32_t style) {
    Take("MessageBoxA");
    char styleText[16];
    std::snprintf(styleText, sizeof styleText, "0x%X", style);
    Record("MessageBoxA",
           "owner=" + fake::Name(owner) + " caption=\"" + caption + "\" style=" + styleText, {},
           text);
}

const char* GetCommandLineA() {
    ADD_FAILURE() << "GetCommandLineA is the entry point's, not the launcher's";
    return "";
}

bool IsDBCSLeadByte(unsigned char) {
    ADD_FAILURE() << "IsDBCSLeadByte is the entry point's, not the launcher's";
    return false;
}

void ExitProcess(int) {
    ADD_FAILURE() << "ExitProcess is the entry point's, not the launcher's";
    std::abort();
}

bool RunGuarded(void (*body)(void* context), void* context) {
    const fake::Step& step = Take("RunGuarded");
    Record("RunGuarded");
    // A fault is modelled as escaping once the body's calls have been made.
    body(context);
    return !step.fails;
}

} // namespace platform
