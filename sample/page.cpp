// The "Deinterlace" property page. It edits the filter object handed to
// SetObjects through ISampleDeinterlace: every control change goes to the
// filter at once, and Apply asks the filter to store its settings.
#include "sample.h"

#include <new>

namespace {

constexpr wchar_t kTitle[] = L"Deinterlace";
const wchar_t *const kMethodNames[MethodCount] = {L"Blend", L"Bob", L"Weave", L"Motion adaptive"};

INT_PTR CALLBACK MeasureProc(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_INITDIALOG;
}

// Size of the page dialog in pixels: create it once, hidden, under a
// throw-away popup window and measure it.
SIZE DialogSize()
{
    SIZE size = {342, 182};   // fallback: 228 x 112 dialog units at 6x13 font
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g_module, nullptr);
    if (!parent)
        return size;
    HWND dlg = CreateDialogParamW(g_module, MAKEINTRESOURCEW(IDD_DEINTERLACE), parent, MeasureProc, 0);
    if (dlg) {
        RECT rc;
        GetWindowRect(dlg, &rc);
        size.cx = rc.right - rc.left;
        size.cy = rc.bottom - rc.top;
        DestroyWindow(dlg);
    }
    DestroyWindow(parent);
    return size;
}

class Page final : public IPropertyPage {
public:
    explicit Page(const ClassInfo *info) : info_(info)
    {
        ObjectCreated();
        Log("%s created", info_->logName);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        char buf[40];
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IPropertyPage))
            *ppv = static_cast<IPropertyPage *>(this);
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
        if (n == 0)
            delete this;
        return n;
    }

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite *site) override
    {
        Log("%s SetPageSite %s", info_->logName, site ? "set" : "null");
        if (site)
            site->AddRef();
        if (site_)
            site_->Release();
        site_ = site;
        return S_OK;
    }

    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL) override
    {
        if (!rect)
            return E_POINTER;
        if (Fault(FaultActivate)) {
            Log("%s fault activate", info_->logName);
            WriteThroughNull();
        }
        if (dlg_)
            DestroyWindow(dlg_);
        dlg_ = CreateDialogParamW(g_module, MAKEINTRESOURCEW(IDD_DEINTERLACE), parent, DlgProc,
                                  reinterpret_cast<LPARAM>(this));
        if (!dlg_) {
            DWORD err = GetLastError();
            Log("%s Activate-failed %lu", info_->logName, err);
            return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
        }
        Log("%s Activate", info_->logName);
        MoveTo(rect);
        return S_OK;
    }

    STDMETHODIMP Deactivate() override
    {
        Log("%s Deactivate", info_->logName);
        if (dlg_)
            DestroyWindow(dlg_);   // WM_NCDESTROY clears dlg_
        dlg_ = nullptr;
        return S_OK;
    }

    STDMETHODIMP GetPageInfo(PROPPAGEINFO *info) override
    {
        if (!info)
            return E_POINTER;
        if (Fault(FaultDivide)) {
            Log("%s fault divide", info_->logName);
            DivideByZero();
        }
        static const SIZE size = DialogSize();
        info->cb = sizeof *info;
        info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof kTitle));
        if (!info->pszTitle)
            return E_OUTOFMEMORY;
        CopyMemory(info->pszTitle, kTitle, sizeof kTitle);
        info->size = size;
        info->pszDocString = nullptr;
        info->pszHelpFile = nullptr;
        info->dwHelpContext = 0;
        Log("%s GetPageInfo cx=%ld cy=%ld", info_->logName, size.cx, size.cy);
        return S_OK;
    }

    STDMETHODIMP SetObjects(ULONG count, IUnknown **objects) override
    {
        if (filter_) {
            filter_->Release();
            filter_ = nullptr;
        }
        if (count == 0) {
            Log("%s SetObjects 0", info_->logName);
            return S_OK;
        }
        if (!objects || !objects[0])
            return E_POINTER;
        HRESULT hr = objects[0]->QueryInterface(IID_ISampleDeinterlace, reinterpret_cast<void **>(&filter_));
        if (FAILED(hr)) {
            filter_ = nullptr;
            Log("%s SetObjects %lu E_NOINTERFACE", info_->logName, count);
            return E_NOINTERFACE;
        }
        Log("%s SetObjects %lu", info_->logName, count);
        if (dlg_)
            ShowSettings();
        return S_OK;
    }

    STDMETHODIMP Show(UINT cmdShow) override
    {
        Log("%s Show %u", info_->logName, cmdShow);
        if (Fault(FaultCxxThrow)) {
            Log("%s fault cxx-throw", info_->logName);
            ThrowLikeMsvc();
        }
        if (!dlg_)
            return E_UNEXPECTED;
        ShowWindow(dlg_, cmdShow);
        return S_OK;
    }

    STDMETHODIMP Move(LPCRECT rect) override
    {
        Log("%s Move", info_->logName);
        if (!rect)
            return E_POINTER;
        if (!dlg_)
            return E_UNEXPECTED;
        MoveTo(rect);
        return S_OK;
    }

    STDMETHODIMP IsPageDirty() override
    {
        Log("%s IsPageDirty %s", info_->logName, dirty_ ? "S_OK" : "S_FALSE");
        return dirty_ ? S_OK : S_FALSE;
    }

    STDMETHODIMP Apply() override
    {
        Log("%s Apply", info_->logName);
        if (filter_)
            filter_->SaveSettings();
        dirty_ = false;
        return S_OK;
    }

    STDMETHODIMP Help(LPCOLESTR) override
    {
        Log("%s Help", info_->logName);
        return E_NOTIMPL;
    }

    STDMETHODIMP TranslateAccelerator(MSG *) override { return S_FALSE; }

private:
    ~Page()
    {
        if (dlg_)
            DestroyWindow(dlg_);
        if (filter_)
            filter_->Release();
        if (site_)
            site_->Release();
        ObjectDestroyed();
    }

    // Hook for fault-injecting page rows (see PageFault in sample.h).
    bool Fault(unsigned bit) const { return (info_->faults & bit) != 0; }

    void MoveTo(LPCRECT rc)
    {
        SetWindowPos(dlg_, nullptr, rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Filter settings -> controls.
    void ShowSettings()
    {
        DeinterlaceSettings s;
        if (filter_)
            filter_->GetSettings(&s);
        SendDlgItemMessageW(dlg_, IDC_METHOD, CB_SETCURSEL, s.method, 0);
        CheckRadioButton(dlg_, IDC_FIELD_TOP, IDC_FIELD_BOTTOM,
                         s.fieldOrder == FieldBottomFirst ? IDC_FIELD_BOTTOM : IDC_FIELD_TOP);
        CheckDlgButton(dlg_, IDC_CADENCE, s.cadence ? BST_CHECKED : BST_UNCHECKED);
        const BOOL enable = filter_ != nullptr;
        static const int controls[] = {IDC_METHOD, IDC_FIELD_TOP, IDC_FIELD_BOTTOM, IDC_CADENCE};
        for (int id : controls)
            EnableWindow(GetDlgItem(dlg_, id), enable);
    }

    // Controls -> filter, at once.
    void ControlsChanged()
    {
        if (!filter_)
            return;
        DeinterlaceSettings s;
        LRESULT sel = SendDlgItemMessageW(dlg_, IDC_METHOD, CB_GETCURSEL, 0, 0);
        s.method = sel >= 0 && sel < static_cast<LRESULT>(MethodCount) ? static_cast<DWORD>(sel) : MethodBlend;
        s.fieldOrder = IsDlgButtonChecked(dlg_, IDC_FIELD_BOTTOM) == BST_CHECKED ? FieldBottomFirst : FieldTopFirst;
        s.cadence = IsDlgButtonChecked(dlg_, IDC_CADENCE) == BST_CHECKED ? 1 : 0;
        char buf[80];
        Log("%s change %s", info_->logName, SettingsText(s, buf));
        filter_->SetSettings(&s);
        dirty_ = true;
        if (site_)
            site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
    }

    static INT_PTR CALLBACK DlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
    {
        Page *page = reinterpret_cast<Page *>(GetWindowLongPtrW(dlg, DWLP_USER));
        switch (msg) {
        case WM_INITDIALOG:
            page = reinterpret_cast<Page *>(lp);
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            page->dlg_ = dlg;
            if (page->Fault(FaultInitDialog)) {
                Log("%s fault initdialog", page->info_->logName);
                WriteThroughNull();
            }
            for (const wchar_t *name : kMethodNames)
                SendDlgItemMessageW(dlg, IDC_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
            page->ShowSettings();
            if (page->Fault(HandlesOwnException) && RaiseAndHandleOwnException())
                Log("%s handled-own-exception", page->info_->logName);
            return FALSE;   // the frame decides where the focus goes
        case WM_COMMAND: {
            if (!page)
                break;
            const int id = LOWORD(wp), code = HIWORD(wp);
            if (id == IDC_METHOD && code == CBN_SELCHANGE && page->Fault(FaultMethodChange)) {
                Log("%s fault method-change", page->info_->logName);
                WriteThroughNull();
            }
            if ((id == IDC_METHOD && code == CBN_SELCHANGE) ||
                ((id == IDC_FIELD_TOP || id == IDC_FIELD_BOTTOM || id == IDC_CADENCE) && code == BN_CLICKED))
                page->ControlsChanged();
            return TRUE;
        }
        case WM_NCDESTROY:
            if (page && page->dlg_ == dlg)
                page->dlg_ = nullptr;
            SetWindowLongPtrW(dlg, DWLP_USER, 0);
            break;
        }
        return FALSE;
    }

    const ClassInfo *info_;
    LONG refs_ = 1;
    IPropertyPageSite *site_ = nullptr;
    ISampleDeinterlace *filter_ = nullptr;
    HWND dlg_ = nullptr;
    bool dirty_ = false;
};

} // namespace

HRESULT CreatePage(const ClassInfo *info, REFIID riid, void **ppv)
{
    Page *page = new (std::nothrow) Page(info);
    if (!page)
        return E_OUTOFMEMORY;
    HRESULT hr = page->QueryInterface(riid, ppv);
    page->Release();
    return hr;
}
