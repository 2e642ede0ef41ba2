// hglobal_stream.cpp — IStream over a global memory block (CreateStreamOnHGlobal).
//
// The block always has exactly the stream's size (as on Windows, so a caller
// can hand GlobalSize(GetHGlobalFromStream(...)) bytes to someone else); it
// grows with GlobalReAlloc when a write passes the end. Clones share the
// block and its size but keep their own seek position; the block is freed
// with the last stream if fDeleteOnRelease was given. Streams may be used
// from several threads: the shared block is guarded by a mutex.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "windows.h"

namespace {

struct Storage {
    std::mutex mu;
    HGLOBAL block = nullptr;
    ULONGLONG size = 0;
    bool delete_on_release = false;

    ~Storage() {
        if (delete_on_release && block) GlobalFree(block);
    }

    // Requires mu. Reallocates the block to exactly new_size bytes; added
    // bytes are zero.
    bool resize_locked(ULONGLONG new_size) {
        if (new_size > static_cast<ULONGLONG>(SIZE_MAX)) return false;
        if (new_size == size) return true;
        HGLOBAL h = GlobalReAlloc(block, static_cast<SIZE_T>(new_size), GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (!h) return false;
        block = h;  // a fixed block may have moved
        size = new_size;
        return true;
    }
};

class HGlobalStream final : public IStream {
public:
    HGlobalStream(std::shared_ptr<Storage> storage, ULONGLONG pos) : storage_(std::move(storage)), pos_(pos) {}

    HGLOBAL block() {
        std::lock_guard<std::mutex> lock(storage_->mu);
        return storage_->block;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (!ppvObject) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IStream)) {
            *ppvObject = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // ISequentialStream
    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead) *pcbRead = 0;
        if (!pv && cb) return STG_E_INVALIDPOINTER;
        Storage& s = *storage_;
        std::lock_guard<std::mutex> lock(s.mu);
        ULONG n = 0;
        if (pos_ < s.size) n = static_cast<ULONG>(std::min<ULONGLONG>(cb, s.size - pos_));
        if (n) {
            auto* data = static_cast<const char*>(GlobalLock(s.block));
            if (!data) return STG_E_READFAULT;
            std::memcpy(pv, data + pos_, n);
            GlobalUnlock(s.block);
            pos_ += n;
        }
        if (pcbRead) *pcbRead = n;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
        if (pcbWritten) *pcbWritten = 0;
        if (!pv && cb) return STG_E_INVALIDPOINTER;
        if (cb == 0) return S_OK;
        Storage& s = *storage_;
        std::lock_guard<std::mutex> lock(s.mu);
        ULONGLONG end = pos_ + cb;
        if (end < pos_) return STG_E_MEDIUMFULL;  // position overflow
        if (end > s.size && !s.resize_locked(end)) return STG_E_MEDIUMFULL;
        auto* data = static_cast<char*>(GlobalLock(s.block));
        if (!data) return STG_E_WRITEFAULT;
        std::memcpy(data + pos_, pv, cb);
        GlobalUnlock(s.block);
        pos_ = end;
        if (pcbWritten) *pcbWritten = cb;
        return S_OK;
    }

    // IStream
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
        Storage& s = *storage_;
        std::lock_guard<std::mutex> lock(s.mu);
        LONGLONG base;
        switch (dwOrigin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = static_cast<LONGLONG>(pos_); break;
        case STREAM_SEEK_END: base = static_cast<LONGLONG>(s.size); break;
        default: return STG_E_INVALIDFUNCTION;
        }
        LONGLONG target;
        if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0) return STG_E_INVALIDFUNCTION;
        pos_ = static_cast<ULONGLONG>(target);  // past the end is allowed; a write there fills the gap with zeros
        if (plibNewPosition) plibNewPosition->QuadPart = pos_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override {
        Storage& s = *storage_;
        std::lock_guard<std::mutex> lock(s.mu);
        return s.resize_locked(libNewSize.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
    }

    HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                     ULARGE_INTEGER* pcbWritten) override {
        if (pcbRead) pcbRead->QuadPart = 0;
        if (pcbWritten) pcbWritten->QuadPart = 0;
        if (!pstm) return STG_E_INVALIDPOINTER;
        // Chunks are read under this stream's lock and written without it,
        // so copying into a clone of this stream cannot deadlock.
        std::vector<char> chunk;
        ULONGLONG left = cb.QuadPart, total_read = 0, total_written = 0;
        HRESULT hr = S_OK;
        while (left > 0) {
            ULONG want = static_cast<ULONG>(std::min<ULONGLONG>(left, 64 * 1024));
            chunk.resize(want);
            ULONG got = 0;
            hr = Read(chunk.data(), want, &got);
            if (FAILED(hr) || got == 0) break;
            total_read += got;
            ULONG put = 0;
            hr = pstm->Write(chunk.data(), got, &put);
            total_written += put;
            if (FAILED(hr)) break;
            if (put < got) { hr = STG_E_MEDIUMFULL; break; }
            left -= got;
        }
        if (pcbRead) pcbRead->QuadPart = total_read;
        if (pcbWritten) pcbWritten->QuadPart = total_written;
        return hr;
    }

    // Memory is always current: nothing to commit or revert.
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }

    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
        if (!pstatstg) return STG_E_INVALIDPOINTER;
        if (grfStatFlag != STATFLAG_DEFAULT && grfStatFlag != STATFLAG_NONAME) return STG_E_INVALIDFLAG;
        std::memset(pstatstg, 0, sizeof *pstatstg);
        pstatstg->pwcsName = nullptr;  // memory streams have no name
        pstatstg->type = STGTY_STREAM;
        {
            std::lock_guard<std::mutex> lock(storage_->mu);
            pstatstg->cbSize.QuadPart = storage_->size;
        }
        pstatstg->grfMode = STGM_READWRITE;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
        if (!ppstm) return STG_E_INVALIDPOINTER;
        ULONGLONG pos;
        {
            std::lock_guard<std::mutex> lock(storage_->mu);
            pos = pos_;
        }
        *ppstm = new HGlobalStream(storage_, pos);
        return S_OK;
    }

private:
    ~HGlobalStream() = default;

    std::shared_ptr<Storage> storage_;
    ULONGLONG pos_;  // guarded by storage_->mu
    std::atomic<ULONG> refs_{1};
};

}  // namespace

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
    if (!ppstm) return E_INVALIDARG;
    *ppstm = nullptr;
    auto storage = std::make_shared<Storage>();
    if (hGlobal) {
        if (GlobalFlags(hGlobal) == GMEM_INVALID_HANDLE) return E_INVALIDARG;
        storage->block = hGlobal;
        storage->size = GlobalSize(hGlobal);
    } else {
        storage->block = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, 0);
        if (!storage->block) return E_OUTOFMEMORY;
    }
    storage->delete_on_release = fDeleteOnRelease != FALSE;
    *ppstm = new HGlobalStream(std::move(storage), 0);
    return S_OK;
}

HRESULT WINAPI GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) {
    if (!phglobal) return E_INVALIDARG;
    *phglobal = nullptr;
    auto* s = dynamic_cast<HGlobalStream*>(pstm);
    if (!s) return E_INVALIDARG;  // null, or not a stream over global memory
    *phglobal = s->block();
    return S_OK;
}
