// Identifiers shared by the sample filter DLL, its dialog resource and the
// test robot: class identifiers, the private settings interface, and the
// control IDs of the "Deinterlace" property page.
//
// The same CLSIDs are listed in classes.txt (one class a line) for scripts.
#pragma once

// ---- Dialog and control IDs (stable; a test robot drives them) -----------
//
// IDD_DEINTERLACE      the page dialog template (DS_CONTROL | WS_CHILD).
// IDC_METHOD           drop-down list; item index = method:
//                        0 Blend, 1 Bob, 2 Weave, 3 Motion adaptive.
//                      CB_SETCURSEL does not notify; after it, send
//                      WM_COMMAND(MAKEWPARAM(IDC_METHOD, CBN_SELCHANGE),
//                      hwndCombo) to the page dialog (the combo's parent).
// IDC_FIELD_TOP        auto radio button "Top field first".
// IDC_FIELD_BOTTOM     auto radio button "Bottom field first".
// IDC_CADENCE          auto check box "Show film mode cadence".
//                      For the buttons, send BM_CLICK to the control: it
//                      changes the state and notifies the page (BN_CLICKED).
//
// Every change is handed to the filter at once and marks the page dirty.
#define IDD_DEINTERLACE   101
#define IDC_METHOD        1001
#define IDC_FIELD_TOP     1002
#define IDC_FIELD_BOTTOM  1003
#define IDC_CADENCE       1004
#define IDC_NOTE          1005

#ifndef RC_INVOKED
#include <windows.h>
#include <unknwn.h>

// ---- Settings kept by the filter -----------------------------------------
//
// Stored under HKCU\Software\filterprops-sample\{CLSID of the filter class}
// as REG_DWORD values Method (0..3), FieldOrder (0 top, 1 bottom) and
// Cadence (0/1); written on IPropertyPage::Apply and on the filter's last
// Release, read when a filter object is created.
enum DeinterlaceMethod : DWORD { MethodBlend, MethodBob, MethodWeave, MethodMotionAdaptive, MethodCount };
enum FieldOrder : DWORD { FieldTopFirst, FieldBottomFirst };

struct DeinterlaceSettings {
    DWORD method = MethodBlend;
    DWORD fieldOrder = FieldTopFirst;
    DWORD cadence = 0;
};

// ---- Class and interface identifiers --------------------------------------
// {9B81947D-D8C2-43B6-8F78-F26B00BB1B5C}
inline constexpr GUID CLSID_SampleDeinterlace =
    {0x9b81947d, 0xd8c2, 0x43b6, {0x8f, 0x78, 0xf2, 0x6b, 0x00, 0xbb, 0x1b, 0x5c}};
// {E33F9DBE-0BF7-4226-84F8-257CA3547088}
inline constexpr GUID CLSID_SampleDeinterlacePage =
    {0xe33f9dbe, 0x0bf7, 0x4226, {0x84, 0xf8, 0x25, 0x7c, 0xa3, 0x54, 0x70, 0x88}};
// {DC5F3B2F-A755-4B54-8BCC-99F6AC7EB18E}
inline constexpr GUID IID_ISampleDeinterlace =
    {0xdc5f3b2f, 0xa755, 0x4b54, {0x8b, 0xcc, 0x99, 0xf6, 0xac, 0x7e, 0xb1, 0x8e}};
// {DB2F895B-A0B1-4F4B-B782-2E68D29425A6}
inline constexpr GUID CLSID_TestInfoFails =
    {0xdb2f895b, 0xa0b1, 0x4f4b, {0xb7, 0x82, 0x2e, 0x68, 0xd2, 0x94, 0x25, 0xa6}};
// {CE27015B-BB86-4D49-9B31-75A07FC7A8B4}
inline constexpr GUID CLSID_TestNoPages =
    {0xce27015b, 0xbb86, 0x4d49, {0x9b, 0x31, 0x75, 0xa0, 0x7f, 0xc7, 0xa8, 0xb4}};
// {DFF05E0E-2037-408C-9FDC-A22778F516E5}
inline constexpr GUID CLSID_TestPagesFalse =
    {0xdff05e0e, 0x2037, 0x408c, {0x9f, 0xdc, 0xa2, 0x27, 0x78, 0xf5, 0x16, 0xe5}};
// {4E994F2E-5DB0-489B-9F53-0B5F23129A1A}
inline constexpr GUID CLSID_TestPagesFail =
    {0x4e994f2e, 0x5db0, 0x489b, {0x9f, 0x53, 0x0b, 0x5f, 0x23, 0x12, 0x9a, 0x1a}};
// {2DE32172-94C0-483F-8BA8-8DA3EA869241}
inline constexpr GUID CLSID_TestPagesEmpty =
    {0x2de32172, 0x94c0, 0x483f, {0x8b, 0xa8, 0x8d, 0xa3, 0xea, 0x86, 0x92, 0x41}};
// {7DD16E8D-F007-45EC-BE70-CA3DBF2636EA}
inline constexpr GUID CLSID_TestNameLatin1 =
    {0x7dd16e8d, 0xf007, 0x45ec, {0xbe, 0x70, 0xca, 0x3d, 0xbf, 0x26, 0x36, 0xea}};
// {23AB01D3-EDC1-4FEE-AF3D-95A24597DDDF}
inline constexpr GUID CLSID_TestNameOmegaMid =
    {0x23ab01d3, 0xedc1, 0x4fee, {0xaf, 0x3d, 0x95, 0xa2, 0x45, 0x97, 0xdd, 0xdf}};
// {2146FCAC-55A8-4E61-AA25-EF29D187D91E}
inline constexpr GUID CLSID_TestNameOmegaStart =
    {0x2146fcac, 0x55a8, 0x4e61, {0xaa, 0x25, 0xef, 0x29, 0xd1, 0x87, 0xd9, 0x1e}};
// {FB1C2D97-43B6-4A7F-A879-2BDF45217BDD}
inline constexpr GUID CLSID_TestNameEmpty =
    {0xfb1c2d97, 0x43b6, 0x4a7f, {0xa8, 0x79, 0x2b, 0xdf, 0x45, 0x21, 0x7b, 0xdd}};
// {4E14A525-5CE3-4323-AE27-BF047C413C97}
inline constexpr GUID CLSID_TestNameFull =
    {0x4e14a525, 0x5ce3, 0x4323, {0xae, 0x27, 0xbf, 0x04, 0x7c, 0x41, 0x3c, 0x97}};
// {AEFEAB66-CAAF-4B2C-99E4-16767943CAFE}
inline constexpr GUID CLSID_TestCreateFails =
    {0xaefeab66, 0xcaaf, 0x4b2c, {0x99, 0xe4, 0x16, 0x76, 0x79, 0x43, 0xca, 0xfe}};

// Filters whose page faults (each with a page class of its own), and one
// whose page raises and handles an exception of its own.
// {C586DCBB-BF66-4C86-9E6B-135723DCD115}
inline constexpr GUID CLSID_TestFaultActivate =
    {0xc586dcbb, 0xbf66, 0x4c86, {0x9e, 0x6b, 0x13, 0x57, 0x23, 0xdc, 0xd1, 0x15}};
// {D140CFC2-D2F9-45A9-971E-38A95FC02E6A}
inline constexpr GUID CLSID_TestFaultActivatePage =
    {0xd140cfc2, 0xd2f9, 0x45a9, {0x97, 0x1e, 0x38, 0xa9, 0x5f, 0xc0, 0x2e, 0x6a}};
// {1A5F47EF-3053-4CDC-B3DB-BF647B4B5BEA}
inline constexpr GUID CLSID_TestFaultInitDialog =
    {0x1a5f47ef, 0x3053, 0x4cdc, {0xb3, 0xdb, 0xbf, 0x64, 0x7b, 0x4b, 0x5b, 0xea}};
// {C4C1CA7F-8B44-48C3-B5CA-03231D247C4C}
inline constexpr GUID CLSID_TestFaultInitDialogPage =
    {0xc4c1ca7f, 0x8b44, 0x48c3, {0xb5, 0xca, 0x03, 0x23, 0x1d, 0x24, 0x7c, 0x4c}};
// {F88220CB-A83A-48F8-9DD2-0EF9D40E5DCD}
inline constexpr GUID CLSID_TestFaultCxxThrow =
    {0xf88220cb, 0xa83a, 0x48f8, {0x9d, 0xd2, 0x0e, 0xf9, 0xd4, 0x0e, 0x5d, 0xcd}};
// {5DEE5561-9988-4F62-A8CB-5AB5A87AC0CD}
inline constexpr GUID CLSID_TestFaultCxxThrowPage =
    {0x5dee5561, 0x9988, 0x4f62, {0xa8, 0xcb, 0x5a, 0xb5, 0xa8, 0x7a, 0xc0, 0xcd}};
// {1FD4E9DB-E9CA-409C-BDAE-3A796AC10DD1}
inline constexpr GUID CLSID_TestFaultDivide =
    {0x1fd4e9db, 0xe9ca, 0x409c, {0xbd, 0xae, 0x3a, 0x79, 0x6a, 0xc1, 0x0d, 0xd1}};
// {FFF2EBB0-4C47-441A-AFC9-67276542A09D}
inline constexpr GUID CLSID_TestFaultDividePage =
    {0xfff2ebb0, 0x4c47, 0x441a, {0xaf, 0xc9, 0x67, 0x27, 0x65, 0x42, 0xa0, 0x9d}};
// {CE4FCCD8-7DD1-4EDB-8137-C08D9B4355E6}
inline constexpr GUID CLSID_TestFaultMethodChange =
    {0xce4fccd8, 0x7dd1, 0x4edb, {0x81, 0x37, 0xc0, 0x8d, 0x9b, 0x43, 0x55, 0xe6}};
// {64A41E8E-385B-4484-9835-3EE59600E865}
inline constexpr GUID CLSID_TestFaultMethodChangePage =
    {0x64a41e8e, 0x385b, 0x4484, {0x98, 0x35, 0x3e, 0xe5, 0x96, 0x00, 0xe8, 0x65}};
// {516122E7-CB0C-4A3E-97D4-BA7114664CD3}
inline constexpr GUID CLSID_TestHandlesOwn =
    {0x516122e7, 0xcb0c, 0x4a3e, {0x97, 0xd4, 0xba, 0x71, 0x14, 0x66, 0x4c, 0xd3}};
// {E55DE1F2-C9B0-48E5-9575-29EAADB16897}
inline constexpr GUID CLSID_TestHandlesOwnPage =
    {0xe55de1f2, 0xc9b0, 0x48e5, {0x95, 0x75, 0x29, 0xea, 0xad, 0xb1, 0x68, 0x97}};

// Private interface the page uses to reach the filter it edits (in-process
// only; never marshalled).
struct ISampleDeinterlace : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSettings(DeinterlaceSettings *out) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSettings(const DeinterlaceSettings *in) = 0;
    virtual HRESULT STDMETHODCALLTYPE SaveSettings() = 0;
};

#endif // RC_INVOKED
