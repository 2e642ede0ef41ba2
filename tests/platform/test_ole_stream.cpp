// ole32: apartment counting, streams over global memory, the export table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "module_exports.h"
#include "windows.h"

namespace {

LARGE_INTEGER li(LONGLONG v) {
    LARGE_INTEGER x;
    x.QuadPart = v;
    return x;
}
ULARGE_INTEGER uli(ULONGLONG v) {
    ULARGE_INTEGER x;
    x.QuadPart = v;
    return x;
}

ULONGLONG position(IStream* s) {
    ULARGE_INTEGER p;
    EXPECT_EQ(s->Seek(li(0), STREAM_SEEK_CUR, &p), S_OK);
    return p.QuadPart;
}

ULONGLONG stat_size(IStream* s) {
    STATSTG st;
    EXPECT_EQ(s->Stat(&st, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(st.type, static_cast<DWORD>(STGTY_STREAM));
    return st.cbSize.QuadPart;
}

std::string read_all_from(IStream* s, ULONGLONG at) {
    EXPECT_EQ(s->Seek(li(static_cast<LONGLONG>(at)), STREAM_SEEK_SET, nullptr), S_OK);
    std::string out;
    char buf[7];
    ULONG got = 0;
    do {
        EXPECT_EQ(s->Read(buf, sizeof buf, &got), S_OK);
        out.append(buf, got);
    } while (got > 0);
    return out;
}

TEST(Ole32, CoInitializeCountsPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    std::thread other([] {
        // A different thread starts its own apartment.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
    });
    other.join();
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many: ignored
    EXPECT_EQ(CoInitialize(nullptr), S_OK);  // fully uninitialised again
    CoUninitialize();
    int reserved = 0;
    EXPECT_EQ(CoInitialize(&reserved), E_INVALIDARG);
}

TEST(Ole32, StreamOnNewBlockWritesReadsAndGrows) {
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(stat_size(s), 0u);
    ULONG n = 0;
    EXPECT_EQ(s->Write("hello", 5, &n), S_OK);
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(s->Write(" world", 6, &n), S_OK);
    EXPECT_EQ(stat_size(s), 11u);
    EXPECT_EQ(position(s), 11u);
    // The block grows with the stream and holds exactly its bytes.
    HGLOBAL h = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(s, &h), S_OK);
    EXPECT_EQ(GlobalSize(h), 11u);
    auto* p = static_cast<const char*>(GlobalLock(h));
    EXPECT_EQ(std::string(p, 11), "hello world");
    GlobalUnlock(h);
    EXPECT_EQ(read_all_from(s, 0), "hello world");
    EXPECT_EQ(read_all_from(s, 6), "world");
    // Reading at the end succeeds with nothing read.
    char c;
    EXPECT_EQ(s->Read(&c, 1, &n), S_OK);
    EXPECT_EQ(n, 0u);
    // A large write grows the block in one step.
    std::vector<char> big(100000, 'z');
    EXPECT_EQ(s->Write(big.data(), static_cast<ULONG>(big.size()), &n), S_OK);
    EXPECT_EQ(stat_size(s), 100011u);
    EXPECT_EQ(s->Release(), 0u);
}

TEST(Ole32, StreamSeekRules) {
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    s->Write("0123456789", 10, nullptr);
    ULARGE_INTEGER pos;
    EXPECT_EQ(s->Seek(li(-3), STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 7u);
    EXPECT_EQ(s->Seek(li(-2), STREAM_SEEK_CUR, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 5u);
    // Before the start: refused, position unchanged.
    EXPECT_EQ(s->Seek(li(-6), STREAM_SEEK_CUR, &pos), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(position(s), 5u);
    EXPECT_EQ(s->Seek(li(0), 7, &pos), STG_E_INVALIDFUNCTION);
    // Past the end is allowed; a write there fills the gap with zeros.
    EXPECT_EQ(s->Seek(li(4), STREAM_SEEK_END, &pos), S_OK);
    EXPECT_EQ(pos.QuadPart, 14u);
    EXPECT_EQ(stat_size(s), 10u);
    s->Write("X", 1, nullptr);
    EXPECT_EQ(read_all_from(s, 8), std::string("89\0\0\0\0X", 7));
    s->Release();
}

TEST(Ole32, StreamSetSizeTruncatesAndExtends) {
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    s->Write("abcdef", 6, nullptr);
    EXPECT_EQ(s->SetSize(uli(3)), S_OK);
    EXPECT_EQ(read_all_from(s, 0), "abc");
    EXPECT_EQ(s->SetSize(uli(5)), S_OK);
    EXPECT_EQ(read_all_from(s, 0), std::string("abc\0\0", 5));  // the old bytes do not come back
    HGLOBAL h = nullptr;
    GetHGlobalFromStream(s, &h);
    EXPECT_EQ(GlobalSize(h), 5u);
    s->Release();
}

TEST(Ole32, StreamOverCallersBlockKeepsOrFreesIt) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(h), "DATA", 4);
    GlobalUnlock(h);
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(h, FALSE, &s), S_OK);
    EXPECT_EQ(stat_size(s), 4u);
    EXPECT_EQ(read_all_from(s, 0), "DATA");
    s->Seek(li(0), STREAM_SEEK_END, nullptr);
    s->Write("MORE", 4, nullptr);
    HGLOBAL from_stream = nullptr;
    GetHGlobalFromStream(s, &from_stream);
    EXPECT_EQ(from_stream, h);  // a moveable block keeps its handle
    s->Release();
    // Not deleted on release: still ours, with the written data.
    EXPECT_NE(GlobalFlags(h), static_cast<UINT>(GMEM_INVALID_HANDLE));
    EXPECT_EQ(GlobalSize(h), 8u);
    EXPECT_EQ(std::memcmp(GlobalLock(h), "DATAMORE", 8), 0);
    GlobalUnlock(h);

    ASSERT_EQ(CreateStreamOnHGlobal(h, TRUE, &s), S_OK);
    s->Release();
    EXPECT_EQ(GlobalFlags(h), static_cast<UINT>(GMEM_INVALID_HANDLE));  // freed with the stream
}

TEST(Ole32, CloneSharesDataButNotPosition) {
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    s->Write("shared", 6, nullptr);
    s->Seek(li(2), STREAM_SEEK_SET, nullptr);
    IStream* c = nullptr;
    ASSERT_EQ(s->Clone(&c), S_OK);
    EXPECT_EQ(position(c), 2u);
    c->Seek(li(0), STREAM_SEEK_END, nullptr);
    c->Write("!", 1, nullptr);
    EXPECT_EQ(position(s), 2u);
    EXPECT_EQ(stat_size(s), 7u);
    // Releasing the original keeps the block alive for the clone.
    EXPECT_EQ(s->Release(), 0u);
    EXPECT_EQ(read_all_from(c, 0), "shared!");
    c->Release();
}

TEST(Ole32, CopyToAnotherStreamAndToItsClone) {
    IStream* a = nullptr;
    IStream* b = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &a), S_OK);
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &b), S_OK);
    std::string data(200000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>('a' + i % 26);
    a->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);
    a->Seek(li(100), STREAM_SEEK_SET, nullptr);
    ULARGE_INTEGER r, w;
    EXPECT_EQ(a->CopyTo(b, uli(1000000), &r, &w), S_OK);  // more than there is
    EXPECT_EQ(r.QuadPart, data.size() - 100);
    EXPECT_EQ(w.QuadPart, data.size() - 100);
    EXPECT_EQ(read_all_from(b, 0), data.substr(100));
    EXPECT_EQ(position(a), data.size());
    // Copying into a clone of itself (same block) appends without deadlock.
    IStream* c = nullptr;
    a->Clone(&c);
    c->Seek(li(0), STREAM_SEEK_END, nullptr);
    a->Seek(li(0), STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(a->CopyTo(c, uli(26), &r, &w), S_OK);
    EXPECT_EQ(stat_size(a), data.size() + 26);
    EXPECT_EQ(a->CopyTo(nullptr, uli(1), nullptr, nullptr), STG_E_INVALIDPOINTER);
    a->Release();
    b->Release();
    c->Release();
}

TEST(Ole32, StreamInterfaceQueriesAndMiscMethods) {
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    void* p = nullptr;
    EXPECT_EQ(s->QueryInterface(IID_IStream, &p), S_OK);
    EXPECT_EQ(p, s);
    EXPECT_EQ(s->QueryInterface(IID_ISequentialStream, &p), S_OK);
    EXPECT_EQ(s->QueryInterface(IID_IUnknown, &p), S_OK);
    IID other = IID_IStream;
    other.Data1 = 0x12345678;
    EXPECT_EQ(s->QueryInterface(other, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(s->Release(), 3u);  // the three successful queries added references
    s->Release();
    s->Release();
    EXPECT_EQ(s->Commit(STGC_DEFAULT), S_OK);
    EXPECT_EQ(s->Revert(), S_OK);
    EXPECT_EQ(s->LockRegion(uli(0), uli(1), LOCK_WRITE), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->UnlockRegion(uli(0), uli(1), LOCK_WRITE), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(s->Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
    EXPECT_EQ(s->Write(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
    EXPECT_EQ(s->Stat(nullptr, STATFLAG_DEFAULT), STG_E_INVALIDPOINTER);
    STATSTG st;
    EXPECT_EQ(s->Stat(&st, STATFLAG_DEFAULT), S_OK);
    EXPECT_EQ(st.pwcsName, nullptr);
    EXPECT_EQ(s->Release(), 0u);
}

TEST(Ole32, BadArguments) {
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
    IStream* s = reinterpret_cast<IStream*>(1);
    int not_a_block = 0;
    EXPECT_EQ(CreateStreamOnHGlobal(&not_a_block, FALSE, &s), E_INVALIDARG);
    EXPECT_EQ(s, nullptr);
    HGLOBAL h = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(GetHGlobalFromStream(nullptr, &h), E_INVALIDARG);
    EXPECT_EQ(h, nullptr);
}

TEST(Ole32, ConcurrentWritersOnClonesKeepEveryByte) {
    // Two threads fill two halves of one block through a stream and its
    // clone, each growing the block as it goes; no byte may be lost.
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
    IStream* c = nullptr;
    s->Clone(&c);
    constexpr int kHalf = 3000;
    auto writer = [](IStream* st, LONGLONG start, char ch) {
        st->Seek(li(start), STREAM_SEEK_SET, nullptr);
        for (int i = 0; i < kHalf; ++i) st->Write(&ch, 1, nullptr);
    };
    std::thread t1(writer, s, 0, 'a'), t2(writer, c, kHalf, 'b');
    t1.join();
    t2.join();
    EXPECT_EQ(read_all_from(s, 0), std::string(kHalf, 'a') + std::string(kHalf, 'b'));
    s->Release();
    c->Release();
}

TEST(Ole32, ExportTableResolvesItsFunctions) {
    const plat::ExportTable& t = plat::ole32_exports;
    EXPECT_STREQ(t.dll_name, "ole32.dll");
    auto find = [&](const char* name) -> void* {
        for (std::size_t i = 0; i < t.count; ++i)
            if (std::strcmp(t.entries[i].name, name) == 0) return t.entries[i].proc;
        return nullptr;
    };
    EXPECT_EQ(find("CreateStreamOnHGlobal"), reinterpret_cast<void*>(&CreateStreamOnHGlobal));
    EXPECT_EQ(find("CoInitialize"), reinterpret_cast<void*>(&CoInitialize));
    EXPECT_EQ(find("CoUninitialize"), reinterpret_cast<void*>(&CoUninitialize));
    HMODULE m = LoadLibraryA("OLE32.DLL");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(m, "CreateStreamOnHGlobal")),
              reinterpret_cast<void*>(&CreateStreamOnHGlobal));
}

}  // namespace
