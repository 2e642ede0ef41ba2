// messages.cpp — the input message queue: recording on the window thread,
// reading (get, peek, flush) on the program's thread.
//
// The queue has one producer (the window thread) and one consumer (the
// program's thread). The consumer clears by moving the head to the tail and
// never writes the tail; the producer appends under the queue's append lock,
// which the consumer's filtered flush also holds while it takes elements out
// and puts the kept ones back, so the two never interleave appends.
//
// Reader wake-up: arming and the emptiness test are one step on the window
// thread (MSG_WAITMSG, sent synchronously). The window thread first drops
// front elements outside the filter; if a wanted element is queued already it
// arms nothing and answers 1, so the reader takes it without waiting;
// otherwise it arms and answers 0, and the reader waits on m_hEvent (reset
// before the request, so a signal given after arming stays pending). While
// armed, only the window thread touches the head (the reader is waiting),
// and the next recorded message disarms before anything else is handled.
//
// Every public message call pins the window object for its whole run (the
// reader count below), so a stop on another thread waits until the call has
// left instead of freeing the queue under it; a call that finds the layer
// stopped acts as on an empty queue (peek false, flush and capture nothing).
//
// Closing under a waiting reader: the reader arms under the wait lock, which
// the closing thread holds from its request to the window thread until every
// waiting reader has been woken and has left its wait. A woken reader takes a
// wanted record if one is queued, else finds the window closed and returns an
// empty record (message 0), as a reader does when no window is open.
//
// Narrow and wide programs read the same queue: a record holds both the byte
// a narrow program reads and the character a wide one reads; the first byte
// of a double-byte character is a record of its own for a narrow reader and
// is skipped by a wide one (see QueuedMessage).
#include <cstring>

#include "glint_private.h"
#include "wide_forms.h"

namespace Glint {

namespace {
// Window-thread state of the reader wake-up.
BYTE msgFilter = 0xFF;     // categories that are recorded
bool bWaitingMsg = false;  // a reader waits for the next recorded message

// The window object that the message calls may use, and the number of threads
// inside one of them; both under the wait lock.
GraphWnd* s_pReadWnd = nullptr;
int s_iReaders = 0;

// Keeps the window object alive while the calling thread is inside a message call.
class ReaderPin {
public:
    ReaderPin() {
        WaitLock lock;
        wnd = s_pReadWnd;
        if (wnd) ++s_iReaders;
    }
    ~ReaderPin() {
        if (!wnd) return;
        WaitLock lock;
        --s_iReaders;
    }
    ReaderPin(const ReaderPin&) = delete;
    ReaderPin& operator=(const ReaderPin&) = delete;
    GraphWnd* wnd;
};

template <typename Msg>
void EmptyRecord(Msg* msg) {
    if (msg) std::memset(msg, 0, sizeof *msg);
}

// The reader's view of a queued record; false when the reader skips it.
bool ViewOf(const QueuedMessage& rec, ExMessage* msg) {
    if (msg) *msg = rec.msg;
    return true;
}

bool ViewOf(const QueuedMessage& rec, ExMessageW* msg) {
    if (rec.lead) return false;
    if (msg) {
        // The fields other than the character have the same place in both
        // records (checked below); the character is the wide one.
        std::memcpy(static_cast<void*>(msg), &rec.msg, sizeof *msg);
        if (GetMsgType(rec.msg.message) == EX_CHAR) msg->ch = rec.wch;
    }
    return true;
}

static_assert(sizeof(ExMessage) == sizeof(ExMessageW), "narrow and wide records differ in size");
static_assert(offsetof(ExMessage, x) == offsetof(ExMessageW, x) &&
                  offsetof(ExMessage, vkcode) == offsetof(ExMessageW, vkcode) &&
                  offsetof(ExMessage, ch) == offsetof(ExMessageW, ch) &&
                  offsetof(ExMessage, lParam) == offsetof(ExMessageW, lParam),
              "narrow and wide records differ in layout");

// The wide character of one WM_CHAR byte of the window's code page. `lead`
// is the window thread's pending first byte of a double-byte character.
void WideChar(BYTE byte, BYTE& lead, QueuedMessage& rec) {
    char bytes[2];
    int n = 0;
    if (lead) bytes[n++] = char(lead);
    bytes[n++] = char(byte);
    lead = 0;
    if (n == 1 && IsDBCSLeadByte(byte)) {
        lead = byte;
        rec.lead = true;
        return;
    }
    WCHAR out[2] = {0, 0};
    int got = MultiByteToWideChar(CP_ACP, 0, bytes, n, out, 2);
    // A pair that is no character: the second byte on its own.
    if (got != 1 && n == 2) got = MultiByteToWideChar(CP_ACP, 0, bytes + 1, 1, out, 2);
    rec.wch = got >= 1 ? out[0] : WCHAR(0xFFFD);
}

bool AllCategories(BYTE filter) { return (filter & 0x0F) == 0x0F; }
}  // namespace

BYTE GetMsgType(USHORT message) {
    if (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL) return EX_MOUSE;
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            return EX_KEY;
        case WM_CHAR:
            return EX_CHAR;
        case WM_MOVE:
        case WM_SIZE:
        case WM_ACTIVATE:
            return EX_WINDOW;
        default:
            return 0;
    }
}

void GraphWnd::PurgeFront(BYTE filter) {
    if (AllCategories(filter)) return;
    while (!m_MsgQueue.IsEmpty() && !(GetMsgType(m_MsgQueue.Front().msg.message) & filter)) m_MsgQueue.Dequeue();
}

void GraphWnd::RecordMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    USHORT number = USHORT(message);
    if (message == WM_SYSKEYDOWN) number = WM_KEYDOWN;
    if (message == WM_SYSKEYUP) number = WM_KEYUP;
    BYTE type = GetMsgType(number);
    if (!(type & msgFilter)) return;
    PurgeFront(msgFilter);

    QueuedMessage queued;
    std::memset(&queued, 0, sizeof queued);
    ExMessage& rec = queued.msg;
    rec.message = number;
    switch (type) {
        case EX_MOUSE:
            rec.ctrl = (wParam & MK_CONTROL) != 0;
            rec.shift = (wParam & MK_SHIFT) != 0;
            rec.lbutton = (wParam & MK_LBUTTON) != 0;
            rec.mbutton = (wParam & MK_MBUTTON) != 0;
            rec.rbutton = (wParam & MK_RBUTTON) != 0;
            rec.x = SHORT(LOWORD(lParam));
            rec.y = SHORT(HIWORD(lParam));
            rec.wheel = SHORT(HIWORD(wParam));
            break;
        case EX_KEY:
            rec.vkcode = BYTE(wParam);
            rec.scancode = BYTE(lParam >> 16);
            rec.extended = ((lParam >> 24) & 1) != 0;
            rec.prevdown = ((lParam >> 30) & 1) != 0;
            break;
        case EX_CHAR:
            rec.ch = CHAR(BYTE(wParam));
            WideChar(BYTE(wParam), m_charLead, queued);
            break;
        default:  // EX_WINDOW
            rec.wParam = wParam;
            rec.lParam = lParam;
            break;
    }
    m_MsgQueue.LockAppend();
    m_MsgQueue.Enqueue(queued);  // lost when the queue is full
    m_MsgQueue.UnlockAppend();

    if (bWaitingMsg) {
        bWaitingMsg = false;
        SetEvent(m_hEvent);
    }
    msgFilter = 0xFF;
}

void GraphWnd::DisarmWaitMsg() {
    bWaitingMsg = false;
    msgFilter = 0xFF;
}

void GraphWnd::ReleaseWaitingReaders() {
    // The event is auto-reset and wakes one waiter per signal; a reader that
    // has just been signalled may not have run yet, so signal until none is
    // left, then drop a signal nobody took.
    while (m_nWaitingReaders.load() > 0) {
        SetEvent(m_hEvent);
        Sleep(1);
    }
    ResetEvent(m_hEvent);
}

CRITICAL_SECTION& WaitLock::Section() {
    // Built on first use and never destroyed: readers, opening and closing
    // may run on any thread, also during static initialisation and clean-up.
    static CRITICAL_SECTION* section = [] {
        CRITICAL_SECTION* cs = new CRITICAL_SECTION;
        InitializeCriticalSection(cs);
        return cs;
    }();
    return *section;
}

void OpenReaders(GraphWnd* wnd) {
    WaitLock lock;
    s_pReadWnd = wnd;
}

void RetireReaders() {
    {
        WaitLock lock;
        s_pReadWnd = nullptr;
    }
    // The window is closed: readers still inside leave without waiting.
    for (;;) {
        {
            WaitLock lock;
            if (s_iReaders == 0) return;
        }
        Sleep(1);
    }
}

LRESULT GraphWnd::ArmWaitMsg(BYTE filter) {
    PurgeFront(filter);
    if (!m_MsgQueue.IsEmpty()) return 1;
    bWaitingMsg = true;
    msgFilter = filter;
    return 0;
}

// Takes (or, without `remove`, looks at) the first queued record whose
// category is in the filter, dropping the records in front of it. Every record
// is tested as it is taken from the front: the window thread may append at any
// moment, so a separate purge, emptiness test and front copy could return a
// record that arrived after the purge without its category ever being tested.
// A record the reader skips (the first byte of a double-byte character for a
// wide reader) is dropped like one outside the filter.
template <typename Msg>
bool GraphWnd::TakeFront(Msg* msg, BYTE filter, bool remove) {
    const bool all = AllCategories(filter);
    for (;;) {
        if (m_MsgQueue.IsEmpty()) return false;
        const QueuedMessage& front = m_MsgQueue.Front();
        if ((all || (GetMsgType(front.msg.message) & filter)) && ViewOf(front, msg)) {
            if (remove) m_MsgQueue.Dequeue();
            return true;
        }
        m_MsgQueue.Dequeue();
    }
}

template <typename Msg>
void GraphWnd::GetExMessage(Msg* msg, BYTE filter) {
    bool waited = false;
    unsigned closedBefore = 0;
    for (;;) {
        if (TakeFront(msg, filter, true)) return;
        {
            WaitLock lock;
            HWND hwnd = m_hWnd;
            if (!hwnd || (waited && m_nClosed != closedBefore)) {
                // No window, or the one we waited on was closed (another may
                // be open already): nothing can arrive for this call, so
                // answer with an empty record instead of waiting for ever.
                EmptyRecord(msg);
                return;
            }
            ResetEvent(m_hEvent);
            if (SendMessageA(hwnd, MSG_WAITMSG, filter, 0) != 0) continue;  // a wanted record is queued
            waited = true;
            closedBefore = m_nClosed;
            m_nWaitingReaders.fetch_add(1);
        }
        WaitForSingleObject(m_hEvent, INFINITE);
        m_nWaitingReaders.fetch_sub(1);
        // Tested again from the front: the record that woke us is there,
        // unless the window was closed.
    }
}

// Peeking and flushing never involve the window thread: they work on what is
// queued whether or not a window is open (the queue outlives a closed window).
template <typename Msg>
bool GraphWnd::PeekExMessage(Msg* msg, BYTE filter, bool removemsg) {
    return TakeFront(msg, filter, removemsg);
}

void GraphWnd::FlushExMessage(BYTE filter) {
    if (AllCategories(filter)) {
        m_MsgQueue.Clear();
        return;
    }
    // Take everything out and put back what is not named, in order. Appends
    // of the window thread wait meanwhile and land behind the kept elements.
    QueuedMessage kept[63];
    int count = 0;
    m_MsgQueue.LockAppend();
    while (!m_MsgQueue.IsEmpty()) {
        const QueuedMessage& e = m_MsgQueue.Front();
        if (!(GetMsgType(e.msg.message) & filter) && count < 63) kept[count++] = e;
        m_MsgQueue.Dequeue();
    }
    for (int i = 0; i < count; ++i) m_MsgQueue.Enqueue(kept[i]);
    m_MsgQueue.UnlockAppend();
}

void GraphWnd::SetCapture() {
    if (HWND hwnd = m_hWnd) SendMessageA(hwnd, MSG_SETCAPTURE, 0, 0);
}

void GraphWnd::ReleaseCapture() {
    if (HWND hwnd = m_hWnd) SendMessageA(hwnd, MSG_RELEASECAPTURE, 0, 0);
}

}  // namespace Glint

using namespace Glint;

ExMessage getmessage(BYTE filter) {
    ExMessage msg;
    std::memset(&msg, 0, sizeof msg);
    getmessage(&msg, filter);
    return msg;
}

void getmessage(ExMessage* msg, BYTE filter) {
    ReaderPin pin;
    if (pin.wnd) pin.wnd->GetExMessage(msg, filter);
    else EmptyRecord(msg);
}

bool peekmessage(ExMessage* msg, BYTE filter, bool removemsg) {
    ReaderPin pin;
    return pin.wnd ? pin.wnd->PeekExMessage(msg, filter, removemsg) : false;
}

// The wide forms: the same queue, one record per character.
void getmessage(ExMessageW* msg, BYTE filter) {
    ReaderPin pin;
    if (pin.wnd) pin.wnd->GetExMessage(msg, filter);
    else EmptyRecord(msg);
}

bool peekmessage(ExMessageW* msg, BYTE filter, bool removemsg) {
    ReaderPin pin;
    return pin.wnd ? pin.wnd->PeekExMessage(msg, filter, removemsg) : false;
}

void flushmessage(BYTE filter) {
    ReaderPin pin;
    if (pin.wnd) pin.wnd->FlushExMessage(filter);
}

void setcapture() {
    ReaderPin pin;
    if (pin.wnd) pin.wnd->SetCapture();
}

void releasecapture() {
    ReaderPin pin;
    if (pin.wnd) pin.wnd->ReleaseCapture();
}
