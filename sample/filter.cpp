// The sample deinterlacing filter (and, through its ClassInfo row, every test
// class). It has no pins and processes nothing; it exists to carry a name,
// a property page and the settings that page edits.
#include "sample.h"

#include <new>

namespace {

constexpr wchar_t kSettingsRoot[] = L"Software\\filterprops-sample\\";

class Filter final : public IBaseFilter, public ISpecifyPropertyPages, public ISampleDeinterlace {
public:
    explicit Filter(const ClassInfo *info) : info_(info)
    {
        ObjectCreated();
        InitializeCriticalSection(&lock_);
        Log("%s created", info_->logName);
        LoadSettings();
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        char buf[40];
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IPersist) ||
            riid == __uuidof(IMediaFilter) || riid == __uuidof(IBaseFilter))
            *ppv = static_cast<IBaseFilter *>(this);
        else if (riid == __uuidof(ISpecifyPropertyPages) && info_->specifyPages)
            *ppv = static_cast<ISpecifyPropertyPages *>(this);
        else if (riid == IID_ISampleDeinterlace)
            *ppv = static_cast<ISampleDeinterlace *>(this);
        Log("%s QueryInterface %s%s", info_->logName, IidName(riid, buf), *ppv ? "" : " E_NOINTERFACE");
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }

    STDMETHODIMP_(ULONG) AddRef() override
    {
        return CountAddRef(&refs_, info_->logName);
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG n = CountRelease(&refs_, info_->logName);
        if (n == 0) {
            SaveSettings();
            delete this;
        }
        return n;
    }

    // IPersist
    STDMETHODIMP GetClassID(CLSID *clsid) override
    {
        Log("%s GetClassID", info_->logName);
        if (!clsid)
            return E_POINTER;
        *clsid = *info_->clsid;
        return S_OK;
    }

    // IMediaFilter: a pinless filter only has to remember its state.
    STDMETHODIMP Stop() override { state_ = State_Stopped; return S_OK; }
    STDMETHODIMP Pause() override { state_ = State_Paused; return S_OK; }
    STDMETHODIMP Run(REFERENCE_TIME) override { state_ = State_Running; return S_OK; }
    STDMETHODIMP GetState(DWORD, FILTER_STATE *state) override
    {
        if (!state)
            return E_POINTER;
        *state = state_;
        return S_OK;
    }
    STDMETHODIMP SetSyncSource(IReferenceClock *) override { return E_NOTIMPL; }
    STDMETHODIMP GetSyncSource(IReferenceClock **) override { return E_NOTIMPL; }

    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins **) override { return E_NOTIMPL; }
    STDMETHODIMP FindPin(LPCWSTR, IPin **) override { return E_NOTIMPL; }
    STDMETHODIMP JoinFilterGraph(IFilterGraph *, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP QueryVendorInfo(LPWSTR *) override { return E_NOTIMPL; }

    STDMETHODIMP QueryFilterInfo(FILTER_INFO *info) override
    {
        if (FAILED(info_->infoResult)) {
            Log("%s QueryFilterInfo 0x%08lX", info_->logName, static_cast<unsigned long>(info_->infoResult));
            return info_->infoResult;
        }
        Log("%s QueryFilterInfo", info_->logName);
        if (!info)
            return E_POINTER;
        if (info_->nameFill) {
            for (WCHAR &ch : info->achName)   // deliberately no terminator
                ch = info_->nameFill;
        } else {
            lstrcpynW(info->achName, info_->name, ARRAYSIZE(info->achName));
        }
        info->pGraph = nullptr;   // never joined to a graph
        return S_OK;
    }

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID *pages) override
    {
        if (!pages)
            return E_POINTER;
        pages->cElems = 0;
        pages->pElems = nullptr;
        HRESULT hr = info_->pagesResult;
        if (info_->pagesList) {
            pages->pElems = static_cast<GUID *>(CoTaskMemAlloc(sizeof(GUID)));
            if (pages->pElems) {
                pages->pElems[0] = *info_->page;
                pages->cElems = 1;
            } else {
                hr = E_OUTOFMEMORY;
            }
        }
        Log("%s GetPages 0x%08lX count=%lu", info_->logName, static_cast<unsigned long>(hr),
            static_cast<unsigned long>(pages->cElems));
        return hr;
    }

    // ISampleDeinterlace
    STDMETHODIMP GetSettings(DeinterlaceSettings *out) override
    {
        if (!out)
            return E_POINTER;
        EnterCriticalSection(&lock_);
        *out = settings_;
        LeaveCriticalSection(&lock_);
        return S_OK;
    }

    STDMETHODIMP SetSettings(const DeinterlaceSettings *in) override
    {
        if (!in)
            return E_POINTER;
        if (in->method >= MethodCount || in->fieldOrder > FieldBottomFirst || in->cadence > 1)
            return E_INVALIDARG;
        char buf[80];
        EnterCriticalSection(&lock_);
        settings_ = *in;
        LeaveCriticalSection(&lock_);
        Log("%s settings changed %s", info_->logName, SettingsText(*in, buf));
        return S_OK;
    }

    STDMETHODIMP SaveSettings() override
    {
        DeinterlaceSettings s;
        GetSettings(&s);
        wchar_t path[80];
        SettingsKey(path);
        HKEY key;
        LONG err = RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        if (err == ERROR_SUCCESS) {
            const struct { const wchar_t *name; DWORD value; } values[] = {
                {L"Method", s.method}, {L"FieldOrder", s.fieldOrder}, {L"Cadence", s.cadence}};
            for (const auto &v : values)
                if (err == ERROR_SUCCESS)
                    err = RegSetValueExW(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&v.value), sizeof(DWORD));
            RegCloseKey(key);
        }
        char buf[80];
        if (err != ERROR_SUCCESS) {
            Log("%s settings save-failed %ld", info_->logName, err);
            return HRESULT_FROM_WIN32(err);
        }
        Log("%s settings saved %s", info_->logName, SettingsText(s, buf));
        return S_OK;
    }

private:
    ~Filter()
    {
        DeleteCriticalSection(&lock_);
        ObjectDestroyed();
    }

    void SettingsKey(wchar_t (&path)[80]) const
    {
        lstrcpyW(path, kSettingsRoot);
        StringFromGUID2(*info_->clsid, path + lstrlenW(path), 40);
    }

    void LoadSettings()
    {
        wchar_t path[80];
        SettingsKey(path);
        HKEY key;
        bool stored = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
        if (stored) {
            struct { const wchar_t *name; DWORD *value; DWORD limit; } values[] = {
                {L"Method", &settings_.method, MethodCount - 1},
                {L"FieldOrder", &settings_.fieldOrder, FieldBottomFirst},
                {L"Cadence", &settings_.cadence, 1}};
            for (const auto &v : values) {
                DWORD data, type, size = sizeof data;
                if (RegQueryValueExW(key, v.name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size) == ERROR_SUCCESS &&
                    type == REG_DWORD && data <= v.limit)
                    *v.value = data;
            }
            RegCloseKey(key);
        }
        char buf[80];
        Log("%s settings %s %s", info_->logName, stored ? "loaded" : "defaults", SettingsText(settings_, buf));
    }

    const ClassInfo *info_;
    LONG refs_ = 1;
    FILTER_STATE state_ = State_Stopped;
    CRITICAL_SECTION lock_;
    DeinterlaceSettings settings_;
};

} // namespace

HRESULT CreateFilter(const ClassInfo *info, REFIID riid, void **ppv)
{
    Filter *filter = new (std::nothrow) Filter(info);
    if (!filter)
        return E_OUTOFMEMORY;
    HRESULT hr = filter->QueryInterface(riid, ppv);
    filter->Release();
    return hr;
}
