// ole32.cpp — apartment start-up (CoInitialize family), the interface IDs
// and the export table of "ole32.dll".
//
// There is no COM runtime behind this: the stand-in only counts start-ups per
// thread (so S_OK / S_FALSE / RPC_E_CHANGED_MODE come out as on Windows) and
// provides streams over global memory (hglobal_stream.cpp).
#include "module_exports.h"
#include "windows.h"

// {00000000-0000-0000-C000-000000000046}
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0C733A30-2A1C-11CE-ADE5-00AA0044773A}
const IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3A}};
// {0000000C-0000-0000-C000-000000000046}
const IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

namespace {

struct ThreadApartment {
    int count = 0;            // successful start-ups not yet undone
    bool multithreaded = false;
};

ThreadApartment& apartment() {
    thread_local ThreadApartment a;
    return a;
}

constexpr DWORD kKnownCoInitFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

}  // namespace

HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    if (pvReserved != nullptr || (dwCoInit & ~kKnownCoInitFlags) != 0) return E_INVALIDARG;
    ThreadApartment& a = apartment();
    bool mta = (dwCoInit & COINIT_APARTMENTTHREADED) == 0;
    if (a.count > 0) {
        if (a.multithreaded != mta) return RPC_E_CHANGED_MODE;  // not counted
        ++a.count;
        return S_FALSE;
    }
    a.multithreaded = mta;
    a.count = 1;
    return S_OK;
}

HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

// An unmatched call (more CoUninitialize than successful start-ups) is ignored.
void WINAPI CoUninitialize(void) {
    ThreadApartment& a = apartment();
    if (a.count > 0) --a.count;
}

namespace plat {

namespace {
const ExportEntry kOle32Entries[] = {
    PLAT_EXPORT(CreateStreamOnHGlobal),
    PLAT_EXPORT(GetHGlobalFromStream),
    PLAT_EXPORT(CoInitialize),
    PLAT_EXPORT(CoInitializeEx),
    PLAT_EXPORT(CoUninitialize),
};
}  // namespace

const ExportTable ole32_exports = {"ole32.dll", kOle32Entries, sizeof kOle32Entries / sizeof kOle32Entries[0]};

}  // namespace plat
