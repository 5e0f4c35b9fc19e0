// The classes served by samplefilter.dll (see sample.h for the row layout).
#include "sample.h"

namespace {

constexpr ClassInfo FilterRow(const CLSID &clsid, const char *logName, const wchar_t *name)
{
    ClassInfo c;
    c.clsid = &clsid;
    c.logName = logName;
    c.name = name;
    return c;
}

constexpr ClassInfo PageRow(const CLSID &clsid, const char *logName, const wchar_t *regName)
{
    ClassInfo c;
    c.clsid = &clsid;
    c.logName = logName;
    c.regName = regName;
    c.kind = ClassKind::Page;
    return c;
}

} // namespace

const ClassInfo g_classes[] = {
    FilterRow(CLSID_SampleDeinterlace, "filter", L"Sample Deinterlace"),
    PageRow(CLSID_SampleDeinterlacePage, "page", L"Sample Deinterlace Property Page"),

    FilterRow(CLSID_TestInfoFails, "infofail", L"Sample Deinterlace (info fails)")
        .InfoFails(VFW_E_NOT_CONNECTED),
    FilterRow(CLSID_TestNoPages, "nopages", L"Sample Deinterlace (no pages)").NoPages(),
    FilterRow(CLSID_TestPagesFalse, "pagesfalse", L"Sample Deinterlace (pages S_FALSE)")
        .Pages(S_FALSE, true),
    FilterRow(CLSID_TestPagesFail, "pagesfail", L"Sample Deinterlace (pages fail)")
        .Pages(E_UNEXPECTED, false),
    FilterRow(CLSID_TestPagesEmpty, "pagesempty", L"Sample Deinterlace (no page list)")
        .Pages(S_OK, false),
    FilterRow(CLSID_TestNameLatin1, "name-latin1", L"Filtre D\u00e9sentrelac\u00e9"),
    FilterRow(CLSID_TestNameOmegaMid, "name-omega-mid", L"Deinterlace \u03a9 Pro"),
    FilterRow(CLSID_TestNameOmegaStart, "name-omega-start", L"\u03a9mega Deinterlace"),
    FilterRow(CLSID_TestNameEmpty, "name-empty", L"")
        .RegName(L"Sample Deinterlace (empty name)"),
    FilterRow(CLSID_TestNameFull, "name-full", L"")
        .FillName(L'N', L"Sample Deinterlace (128 N, unterminated)"),
    FilterRow(CLSID_TestCreateFails, "createfail", L"Sample Deinterlace (create fails)")
        .CreateFails(E_ACCESSDENIED),

    // Faults in the page code, each behind a filter that lists that page.
    FilterRow(CLSID_TestFaultActivate, "fault-activate", L"Fault in Activate")
        .ListsPage(CLSID_TestFaultActivatePage),
    PageRow(CLSID_TestFaultActivatePage, "fault-activate-page", L"Fault in Activate Property Page")
        .Faults(FaultActivate),
    FilterRow(CLSID_TestFaultInitDialog, "fault-initdialog", L"Fault in WM_INITDIALOG")
        .ListsPage(CLSID_TestFaultInitDialogPage),
    PageRow(CLSID_TestFaultInitDialogPage, "fault-initdialog-page", L"Fault in WM_INITDIALOG Property Page")
        .Faults(FaultInitDialog),
    FilterRow(CLSID_TestFaultCxxThrow, "fault-cxx-throw", L"C++ throw in Show")
        .ListsPage(CLSID_TestFaultCxxThrowPage),
    PageRow(CLSID_TestFaultCxxThrowPage, "fault-cxx-throw-page", L"C++ throw in Show Property Page")
        .Faults(FaultCxxThrow),
    FilterRow(CLSID_TestFaultDivide, "fault-divide", L"Divide by zero in GetPageInfo")
        .ListsPage(CLSID_TestFaultDividePage),
    PageRow(CLSID_TestFaultDividePage, "fault-divide-page", L"Divide by zero in GetPageInfo Property Page")
        .Faults(FaultDivide),
    FilterRow(CLSID_TestFaultMethodChange, "fault-method-change", L"Fault on method change")
        .ListsPage(CLSID_TestFaultMethodChangePage),
    PageRow(CLSID_TestFaultMethodChangePage, "fault-method-change-page", L"Fault on method change Property Page")
        .Faults(FaultMethodChange),
    FilterRow(CLSID_TestHandlesOwn, "fault-handled", L"Handles its own exception")
        .ListsPage(CLSID_TestHandlesOwnPage),
    PageRow(CLSID_TestHandlesOwnPage, "fault-handled-page", L"Handles its own exception Property Page")
        .Faults(HandlesOwnException),
};

const size_t g_classCount = sizeof g_classes / sizeof g_classes[0];

const ClassInfo *FindClass(REFCLSID clsid)
{
    for (const ClassInfo &c : g_classes)
        if (*c.clsid == clsid)
            return &c;
    return nullptr;
}
