// Internal declarations of the sample filter DLL.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <ocidl.h>
#include <strmif.h>
#include <vfwmsgs.h>

#include "sample_ids.h"

// ---- Module state (server.cpp) ---------------------------------------------
extern HMODULE g_module;
void ObjectCreated();    // every COM object of this DLL counts while alive
void ObjectDestroyed();

// ---- Logging (log.cpp) -----------------------------------------------------
void Log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
const char *GuidText(REFGUID guid, char (&buf)[40]);
const char *IidName(REFIID riid, char (&buf)[40]);

// Reference counting that logs each step as "<who> AddRef n" / "<who> Release n", and
// "<who> last-release" when the count reaches zero; the caller then destroys the object.
ULONG CountAddRef(LONG *refs, const char *who);
ULONG CountRelease(LONG *refs, const char *who);
const char *SettingsText(const DeinterlaceSettings &s, char (&buf)[80]);

// ---- Class table (classes.cpp) -------------------------------------------
//
// One row per class the DLL serves. The sample filter and its page are
// plain rows; each test class is a copy of the sample filter row with one
// behaviour changed. To add a class: generate a CLSID in sample_ids.h, add a
// row here and a line in classes.txt.
enum class ClassKind { Filter, Page };

// Fault bits a page row may carry. Page rows with faults get their own
// CLSID and a filter row whose GetPages lists that page; Page checks the
// bits through Page::Fault(). Each fault is logged as "<page> fault <kind>"
// right before it is raised (kinds in parentheses).
enum PageFault : unsigned {
    FaultNone = 0,
    FaultActivate = 1u << 0,      // (activate) access violation in Activate
    FaultInitDialog = 1u << 1,    // (initdialog) access violation in WM_INITDIALOG
    FaultCxxThrow = 1u << 2,      // (cxx-throw) an MSVC C++ throw leaves Show
    FaultDivide = 1u << 3,        // (divide) integer divide by zero in GetPageInfo
    FaultMethodChange = 1u << 4,  // (method-change) access violation on CBN_SELCHANGE of IDC_METHOD
    HandlesOwnException = 1u << 5,// raises and handles an exception of its own in
                                  // WM_INITDIALOG, logs "<page> handled-own-exception"
};

struct ClassInfo {
    const CLSID *clsid = nullptr;
    const char *logName = "";           // first word of every log line
    const wchar_t *name = L"";          // QueryFilterInfo name
    const wchar_t *regName = nullptr;   // registry default value (null: name)
    ClassKind kind = ClassKind::Filter;
    HRESULT createResult = S_OK;        // class factory CreateInstance
    HRESULT infoResult = S_OK;          // QueryFilterInfo
    bool specifyPages = true;           // exposes ISpecifyPropertyPages
    HRESULT pagesResult = S_OK;         // GetPages result ...
    bool pagesList = true;              // ... and whether it lists the page
    wchar_t nameFill = 0;               // nonzero: achName is 128 of these
    const CLSID *page = &CLSID_SampleDeinterlacePage;  // page GetPages lists
    unsigned faults = FaultNone;        // PageFault bits (page rows)

    constexpr ClassInfo CreateFails(HRESULT hr) const { ClassInfo c = *this; c.createResult = hr; return c; }
    constexpr ClassInfo InfoFails(HRESULT hr) const { ClassInfo c = *this; c.infoResult = hr; return c; }
    constexpr ClassInfo NoPages() const { ClassInfo c = *this; c.specifyPages = false; return c; }
    constexpr ClassInfo Pages(HRESULT hr, bool list) const { ClassInfo c = *this; c.pagesResult = hr; c.pagesList = list; return c; }
    constexpr ClassInfo FillName(wchar_t ch, const wchar_t *reg) const { ClassInfo c = *this; c.nameFill = ch; c.regName = reg; return c; }
    constexpr ClassInfo RegName(const wchar_t *reg) const { ClassInfo c = *this; c.regName = reg; return c; }
    constexpr ClassInfo ListsPage(const CLSID &p) const { ClassInfo c = *this; c.page = &p; return c; }
    constexpr ClassInfo Faults(unsigned bits) const { ClassInfo c = *this; c.faults = bits; return c; }
};

extern const ClassInfo g_classes[];
extern const size_t g_classCount;
const ClassInfo *FindClass(REFCLSID clsid);

// ---- Faults the test pages raise (faults.cpp, own_exception.cpp) -----------
// The raising ones do not return unless a handler resumes after the fault.
void WriteThroughNull();                        // EXCEPTION_ACCESS_VIOLATION
void DivideByZero();                            // EXCEPTION_INT_DIVIDE_BY_ZERO
void ThrowLikeMsvc();                           // 0xE06D7363, noncontinuable
bool RaiseAndHandleOwnException();              // true when our handler took it

// ---- Object constructors -------------------------------------------------
HRESULT CreateFilter(const ClassInfo *info, REFIID riid, void **ppv);   // filter.cpp
HRESULT CreatePage(const ClassInfo *info, REFIID riid, void **ppv);     // page.cpp
