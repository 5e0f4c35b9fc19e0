// A scripted fake of the platform boundary: a test states, in order, the calls it expects
// and what each returns; the fake records every call and fails the test on one that was
// not expected.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// The fake's stand-ins for the platform's objects carry a name for the call record.
struct IBaseFilter {
    const char* name;
};
struct ISpecifyPropertyPages {
    const char* name;
};
struct IFilterGraph {
    const char* name;
};
struct HWND__ {
    const char* name;
};

namespace fake {

struct Step {
    std::string call;                  // the platform function expected next
    platform::HRESULT result = 0;      // what it returns, where it returns a result
    platform::Guid clsid = {};         // CLSIDFromString: the identifier it reads
    void* object = nullptr;            // CoCreateInstance, QueryInterface: the object handed out
    platform::FilterInfo info = {};    // QueryFilterInfo: the record it fills
    platform::PageList pages = {};     // GetPages: the list it fills
    platform::Window window = nullptr; // GetFocus: the window it returns
    bool fails = false;                // AllocWide: no memory; RunGuarded: a fault escapes
};

struct Call {
    std::string call;    // function name
    std::string detail;  // the arguments that matter, as text
    std::u16string text; // CLSIDFromString: the text; OleCreatePropertyFrame: the caption
    std::string message; // MessageBoxA: the message
};

// Replaces the script and clears the record.
void Script(std::vector<Step> steps);
const std::vector<Call>& Calls();
// Each recorded call as "name detail".
std::vector<std::string> CallLines();
// True once every scripted step has been consumed.
bool ScriptDone();

std::string FormatGuid(const platform::Guid& guid);

} // namespace fake
