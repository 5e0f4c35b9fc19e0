// COM server plumbing of samplefilter.dll: DllMain, class factories,
// DllGetClassObject / DllCanUnloadNow and self-registration.
#include "sample.h"

#include <new>

HMODULE g_module;

namespace {

LONG g_objects;   // live objects of any kind, factories included
LONG g_locks;     // IClassFactory::LockServer count

class Factory final : public IClassFactory {
public:
    explicit Factory(const ClassInfo *info) : info_(info)
    {
        ObjectCreated();
        Log("factory created");
    }

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        char buf[40];
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IClassFactory))
            *ppv = static_cast<IClassFactory *>(this);
        Log("factory QueryInterface %s%s", IidName(riid, buf), *ppv ? "" : " E_NOINTERFACE");
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    STDMETHODIMP_(ULONG) AddRef() override
    {
        return CountAddRef(&refs_, "factory");
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG n = CountRelease(&refs_, "factory");
        if (n == 0)
            delete this;
        return n;
    }

    STDMETHODIMP CreateInstance(IUnknown *outer, REFIID riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        HRESULT hr;
        if (outer)
            hr = CLASS_E_NOAGGREGATION;
        else if (FAILED(info_->createResult))
            hr = info_->createResult;
        else if (info_->kind == ClassKind::Page)
            hr = CreatePage(info_, riid, ppv);
        else
            hr = CreateFilter(info_, riid, ppv);
        Log("factory CreateInstance %s 0x%08lX", info_->logName, static_cast<unsigned long>(hr));
        return hr;
    }

    STDMETHODIMP LockServer(BOOL lock) override
    {
        Log("factory LockServer %d", lock ? 1 : 0);
        if (lock)
            InterlockedIncrement(&g_locks);
        else
            InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    ~Factory() { ObjectDestroyed(); }

    const ClassInfo *info_;
    LONG refs_ = 1;
};

// "CLSID\{...}" for a class.
void ClassKey(const ClassInfo &c, wchar_t (&key)[64])
{
    lstrcpyW(key, L"CLSID\\");
    StringFromGUID2(*c.clsid, key + 6, 40);
}

LONG SetString(HKEY key, const wchar_t *name, const wchar_t *value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                          static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
}

LONG RegisterOne(const ClassInfo &c, const wchar_t *path)
{
    wchar_t name[64];
    ClassKey(c, name);
    HKEY key, server;
    LONG err = RegCreateKeyExW(HKEY_CLASSES_ROOT, name, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (err != ERROR_SUCCESS)
        return err;
    err = SetString(key, nullptr, c.regName ? c.regName : c.name);
    if (err == ERROR_SUCCESS)
        err = RegCreateKeyExW(key, L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, &server, nullptr);
    if (err == ERROR_SUCCESS) {
        err = SetString(server, nullptr, path);
        if (err == ERROR_SUCCESS)
            err = SetString(server, L"ThreadingModel", L"Both");
        RegCloseKey(server);
    }
    RegCloseKey(key);
    return err;
}

LONG UnregisterOne(const ClassInfo &c)
{
    wchar_t name[64];
    ClassKey(c, name);
    HKEY key;
    LONG err = RegOpenKeyExW(HKEY_CLASSES_ROOT, name, 0, KEY_WRITE, &key);
    if (err == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (err != ERROR_SUCCESS)
        return err;
    err = RegDeleteKeyW(key, L"InprocServer32");
    RegCloseKey(key);
    if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND)
        return err;
    err = RegDeleteKeyW(HKEY_CLASSES_ROOT, name);
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

} // namespace

void ObjectCreated() { InterlockedIncrement(&g_objects); }
void ObjectDestroyed() { InterlockedDecrement(&g_objects); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        Log("dll attach");
    } else if (reason == DLL_PROCESS_DETACH) {
        Log("dll detach");
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    const ClassInfo *info = FindClass(clsid);
    if (!info) {
        char buf[40];
        Log("dll DllGetClassObject %s CLASS_E_CLASSNOTAVAILABLE", GuidText(clsid, buf));
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    Log("dll DllGetClassObject %s", info->logName);
    Factory *factory = new (std::nothrow) Factory(info);
    if (!factory)
        return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow()
{
    LONG objects = g_objects, locks = g_locks;
    if (objects == 0 && locks == 0) {
        Log("dll DllCanUnloadNow S_OK");
        return S_OK;
    }
    Log("dll DllCanUnloadNow S_FALSE objects=%ld locks=%ld", objects, locks);
    return S_FALSE;
}

STDAPI DllRegisterServer()
{
    wchar_t path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(g_module, path, ARRAYSIZE(path));
    HRESULT hr = S_OK;
    if (n == 0 || n >= ARRAYSIZE(path))
        hr = SELFREG_E_CLASS;
    for (size_t i = 0; SUCCEEDED(hr) && i < g_classCount; ++i)
        if (RegisterOne(g_classes[i], path) != ERROR_SUCCESS)
            hr = SELFREG_E_CLASS;
    Log("dll DllRegisterServer 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}

STDAPI DllUnregisterServer()
{
    HRESULT hr = S_OK;
    for (size_t i = 0; i < g_classCount; ++i)
        if (UnregisterOne(g_classes[i]) != ERROR_SUCCESS)
            hr = SELFREG_E_CLASS;
    Log("dll DllUnregisterServer 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}
