// Event log of samplefilter.dll.
//
// If the environment variable FILTERPROPS_SAMPLE_LOG names a file (a Windows
// path; under Wine e.g. Z:\tmp\sample.log), every event appends one line,
// "<who> <event> [details]" ending in LF, ASCII only. The file is opened,
// appended to and closed for each line, so lines written before a crash stay.
// Without the variable nothing is logged.
//
// <who> is "dll", "factory", "page" or the log name of a filter or test page class
// ("filter" for Sample Deinterlace; the rest are in column 4 of classes.txt).
// HRESULTs are written as 0x%08X. Events:
//
//   dll attach                         DLL_PROCESS_ATTACH
//   dll detach                         DLL_PROCESS_DETACH
//   dll DllGetClassObject <class>      (<class> = log name, or the {CLSID}
//                                       followed by CLASS_E_CLASSNOTAVAILABLE)
//   dll DllCanUnloadNow S_OK
//   dll DllCanUnloadNow S_FALSE objects=<n> locks=<n>
//   dll DllRegisterServer <hr>         dll DllUnregisterServer <hr>
//
//   Every object (factory, page, filters):
//   <who> created
//   <who> AddRef <count after>
//   <who> Release <count after>        (including "Release 0")
//   <who> last-release                 right after "Release 0"
//   <who> QueryInterface <iface>       [E_NOINTERFACE when refused]
//                                      <iface>: IUnknown, IPersist, IMediaFilter,
//                                      IBaseFilter, ISpecifyPropertyPages,
//                                      IPropertyPage, IClassFactory,
//                                      ISampleDeinterlace, ... or {IID}
//
//   factory CreateInstance <class> <hr>
//   factory LockServer <0|1>
//
//   <filter> GetClassID
//   <filter> QueryFilterInfo           [<hr> when it fails]
//   <filter> GetPages <hr> count=<n>
//   <filter> settings loaded <S>       from the registry, on creation
//   <filter> settings defaults <S>     nothing stored yet
//   <filter> settings changed <S>      the page handed over a change
//   <filter> settings saved <S>        on Apply and after last-release
//   <filter> settings save-failed <win32 error>
//     <S> = method=<Blend|Bob|Weave|MotionAdaptive> field=<top|bottom> cadence=<0|1>
//
//   page SetPageSite <set|null>
//   page SetObjects <n>                [E_NOINTERFACE when the object is foreign]
//   page GetPageInfo cx=<n> cy=<n>
//   page Activate                      page Activate-failed <win32 error>
//   page Show <nCmdShow>
//   page Move
//   page change <S>                    a control changed (then OnStatusChange)
//   page IsPageDirty <S_OK|S_FALSE>
//   page Apply
//   page Deactivate
//   page Help
//   page fault <kind>                  right before a test page raises a fault
//                                      (kinds: PageFault in sample.h)
//   page handled-own-exception         a test page took its own exception back
//
//   A test page logs under its own name, "<filter's log name>-page".
#include "sample.h"

#include <cstdarg>
#include <cstdio>

void Log(const char *fmt, ...)
{
    wchar_t path[1024];
    DWORD n = GetEnvironmentVariableW(L"FILTERPROPS_SAMPLE_LOG", path, ARRAYSIZE(path));
    if (n == 0 || n >= ARRAYSIZE(path))
        return;

    char line[512];
    va_list ap;
    va_start(ap, fmt);
    int len = vsnprintf(line, sizeof line - 1, fmt, ap);
    va_end(ap);
    if (len < 0)
        return;
    if (len > static_cast<int>(sizeof line) - 2)
        len = sizeof line - 2;
    line[len++] = '\n';

    DWORD savedError = GetLastError();
    HANDLE h = CreateFileW(path, FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(h, line, static_cast<DWORD>(len), &written, nullptr);
        CloseHandle(h);
    }
    SetLastError(savedError);
}

const char *GuidText(REFGUID g, char (&buf)[40])
{
    snprintf(buf, sizeof buf, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(g.Data1), g.Data2, g.Data3,
             g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
             g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

const char *IidName(REFIID riid, char (&buf)[40])
{
    static const struct { const IID *iid; const char *name; } known[] = {
        {&__uuidof(IUnknown), "IUnknown"},
        {&__uuidof(IClassFactory), "IClassFactory"},
        {&__uuidof(IPersist), "IPersist"},
        {&__uuidof(IMediaFilter), "IMediaFilter"},
        {&__uuidof(IBaseFilter), "IBaseFilter"},
        {&__uuidof(ISpecifyPropertyPages), "ISpecifyPropertyPages"},
        {&__uuidof(IPropertyPage), "IPropertyPage"},
        {&__uuidof(IPropertyPage2), "IPropertyPage2"},
        {&__uuidof(IMarshal), "IMarshal"},
        {&__uuidof(IDispatch), "IDispatch"},
        {&IID_ISampleDeinterlace, "ISampleDeinterlace"},
    };
    for (const auto &k : known)
        if (*k.iid == riid)
            return k.name;
    return GuidText(riid, buf);
}

const char *SettingsText(const DeinterlaceSettings &s, char (&buf)[80])
{
    static const char *const methods[] = {"Blend", "Bob", "Weave", "MotionAdaptive"};
    snprintf(buf, sizeof buf, "method=%s field=%s cadence=%lu",
             s.method < MethodCount ? methods[s.method] : "?",
             s.fieldOrder == FieldBottomFirst ? "bottom" : "top",
             static_cast<unsigned long>(s.cadence));
    return buf;
}

ULONG CountAddRef(LONG *refs, const char *who)
{
    ULONG n = InterlockedIncrement(refs);
    Log("%s AddRef %lu", who, n);
    return n;
}

ULONG CountRelease(LONG *refs, const char *who)
{
    ULONG n = InterlockedDecrement(refs);
    Log("%s Release %lu", who, n);
    if (n == 0)
        Log("%s last-release", who);
    return n;
}
