// e2ehelp: Win32 console helper for the e2e harness (runs under wine).
//   e2ehelp.exe winpid TITLE [X Y W H]
// prints the Windows process id owning each visible top-level window whose
// title is exactly TITLE (and, if given, whose window rectangle is X,Y WxH),
// one a line. Used to aim `taskkill /PID` at one process when several share
// an image name (Wine 8's tasklist prints nothing).
//   e2ehelp.exe classtext CLASS
// prints the text of each top-level window of class CLASS, shown or hidden,
// one a line (hidden windows have no X window, so xdotool cannot see them).
//   e2ehelp.exe traydel CLASS TITLE ID
// deletes the notification-area icon ID of the top-level window of that class and title
// (shown or not), as a shell that lost its icons would; prints the window handle.
//   e2ehelp.exe broadcast NAME
// posts the registered window message NAME to every top-level window.
//   e2ehelp.exe send TITLE MESSAGE WPARAM LPARAM
// sends a message (numbers, 0x... allowed) to each visible top-level window
// titled exactly TITLE, as the system sends WM_POWERBROADCAST or
// WM_TIMECHANGE; prints each window's answer, one a line.
//   e2ehelp.exe foreground MS
// shows a small window of its own and brings it to the foreground, as a user switching to
// another program does (Alt+Tab); keeps it there for MS milliseconds, prints "active" or
// "not active" as the system saw it, and ends.
//   e2ehelp.exe fullscreen MS
// shows a borderless window of its own titled "e2ehelp fullscreen" covering the primary
// display and brings it to the foreground, as a video player or a game in full screen does;
// keeps it for MS milliseconds or until it is closed. Once it is up, prints its rectangle
// as GetWindowRect gives it ("rect L T R B"), whether it is the foreground window
// ("foreground yes|no") and the shell's notification state ("quns HRESULT STATE", or
// "quns missing"); at its end, "end" and the time in milliseconds since 1970.
//   e2ehelp.exe listbox TITLE
//   e2ehelp.exe listbox-wait TITLE DIALOG COUNT
// (listbox prints, in UTF-8, the items of the list box inside the visible window titled
// TITLE, one a line, after a line with their count. listbox-wait waits for the visible
// window DIALOG to go, then for that list box to hold COUNT items, and prints the
// milliseconds between the two, measured inside Wine every 10 ms.)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

struct Query {
    const char* title;
    bool useRect;
    RECT rect;
    int found;
};

BOOL CALLBACK visit(HWND hwnd, LPARAM lp) {
    auto* q = reinterpret_cast<Query*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    char text[512];
    GetWindowTextA(hwnd, text, sizeof text);
    if (strcmp(text, q->title) != 0) return TRUE;
    if (q->useRect) {
        RECT r;
        GetWindowRect(hwnd, &r);
        if (r.left != q->rect.left || r.top != q->rect.top || r.right != q->rect.right || r.bottom != q->rect.bottom)
            return TRUE;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    printf("%lu\n", static_cast<unsigned long>(pid));
    ++q->found;
    return TRUE;
}

struct Send {
    const char* title;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int sent;
};

BOOL CALLBACK sendTo(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<Send*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    char text[512];
    GetWindowTextA(hwnd, text, sizeof text);
    if (strcmp(text, s->title) != 0) return TRUE;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(hwnd, s->message, s->wParam, s->lParam, SMTO_ABORTIFHUNG, 10000, &answer)) {
        printf("%llu\n", static_cast<unsigned long long>(answer));
        ++s->sent;
    }
    return TRUE;
}

BOOL CALLBACK findTop(HWND hwnd, LPARAM lp) {
    auto* q = reinterpret_cast<std::pair<const char*, HWND>*>(lp);
    char text[512];
    GetWindowTextA(hwnd, text, sizeof text);
    if (IsWindowVisible(hwnd) && strcmp(text, q->first) == 0) {
        q->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

int listbox(const char* title) {
    std::pair<const char*, HWND> q{title, nullptr};
    EnumWindows(findTop, reinterpret_cast<LPARAM>(&q));
    if (!q.second) return 1;
    HWND list = FindWindowExA(q.second, nullptr, "LISTBOX", nullptr);
    if (!list) return 1;
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    printf("%ld\n", static_cast<long>(n));
    for (LRESULT i = 0; i < n; ++i) {
        wchar_t w[4096] = {};
        SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(w));
        char u[16384] = {};
        WideCharToMultiByte(CP_UTF8, 0, w, -1, u, sizeof u, nullptr, nullptr);
        printf("%s\n", u);
    }
    fflush(stdout);
    return 0;
}

HWND visibleWindow(const char* title) {
    std::pair<const char*, HWND> q{title, nullptr};
    EnumWindows(findTop, reinterpret_cast<LPARAM>(&q));
    return q.second;
}

int listboxWait(const char* title, const char* dialog, long want) {
    HWND top = nullptr;
    for (int i = 0; i < 3000 && !(top = visibleWindow(title)); ++i) Sleep(10);
    HWND list = top ? FindWindowExA(top, nullptr, "LISTBOX", nullptr) : nullptr;
    if (!list) return 1;
    for (int i = 0; i < 30000 && visibleWindow(dialog); ++i) Sleep(10);
    const DWORD start = GetTickCount();
    for (int i = 0; i < 60000; ++i) {
        if (SendMessageW(list, LB_GETCOUNT, 0, 0) >= want) {
            printf("%lu\n", static_cast<unsigned long>(GetTickCount() - start));
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

int foreground(DWORD ms) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "e2ehelpForeground";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "e2ehelp", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!hwnd) return 1;
    SetForegroundWindow(hwnd);
    const DWORD start = GetTickCount();
    bool active = false;
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        active = active || GetForegroundWindow() == hwnd;
        Sleep(10);
    }
    printf("%s\n", active ? "active" : "not active");
    fflush(stdout);
    DestroyWindow(hwnd);
    return active ? 0 : 1;
}

// The host's clock in milliseconds since 1970, as the shell's `date +%s%3N` tells it.
unsigned long long epochMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const unsigned long long t = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return t / 10000 - 11644473600000ULL;
}

// Told as the window starts to go (its hiding comes first, and may take a while).
void tellEnd() {
    printf("end %llu\n", epochMs());
    fflush(stdout);
}

LRESULT CALLBACK coverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) tellEnd();
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int fullscreen(DWORD ms) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = coverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOWTEXT + 1);  // black, as the empty screen

    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "e2ehelpFullScreen";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "e2ehelp fullscreen", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                wc.hInstance, nullptr);
    if (!hwnd) return 1;
    SetForegroundWindow(hwnd);
    const DWORD start = GetTickCount();
    bool told = false;
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return 0;
            DispatchMessageA(&msg);
        }
        if (!told && GetTickCount() - start >= 300) {
            RECT r{};
            GetWindowRect(hwnd, &r);
            printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            printf("foreground %s\n", GetForegroundWindow() == hwnd ? "yes" : "no");
            using Query = HRESULT(WINAPI*)(int*);
            const auto query = reinterpret_cast<Query>(
                reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), "SHQueryUserNotificationState")));
            int state = -1;
            if (query) {
                const HRESULT hr = query(&state);
                printf("quns 0x%08lx %d\n", static_cast<unsigned long>(hr), state);
            } else {
                printf("quns missing\n");
            }
            fflush(stdout);
            told = true;
        }
        Sleep(10);
    }
    tellEnd();
    DestroyWindow(hwnd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && strcmp(argv[1], "send") == 0) {
        Send s{argv[2], UINT(strtoul(argv[3], nullptr, 0)), WPARAM(strtoull(argv[4], nullptr, 0)),
               LPARAM(strtoll(argv[5], nullptr, 0)), 0};
        EnumWindows(sendTo, reinterpret_cast<LPARAM>(&s));
        fflush(stdout);
        return s.sent > 0 ? 0 : 1;
    }
    if (argc >= 3 && strcmp(argv[1], "winpid") == 0) {
        Query q{argv[2], argc >= 7, {}, 0};
        if (q.useRect) {
            q.rect.left = atoi(argv[3]);
            q.rect.top = atoi(argv[4]);
            q.rect.right = q.rect.left + atoi(argv[5]);
            q.rect.bottom = q.rect.top + atoi(argv[6]);
        }
        EnumWindows(visit, reinterpret_cast<LPARAM>(&q));
        fflush(stdout);
        return q.found > 0 ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "classtext") == 0) {
        int found = 0;
        for (HWND hwnd = FindWindowExA(nullptr, nullptr, argv[2], nullptr); hwnd;
             hwnd = FindWindowExA(nullptr, hwnd, argv[2], nullptr)) {
            char text[512] = {};
            GetWindowTextA(hwnd, text, sizeof text);
            printf("%s\n", text);
            ++found;
        }
        fflush(stdout);
        return found > 0 ? 0 : 1;
    }
    if (argc == 5 && strcmp(argv[1], "traydel") == 0) {
        HWND hwnd = FindWindowA(argv[2], argv[3]);
        if (!hwnd) {
            fprintf(stderr, "no window\n");
            return 1;
        }
        NOTIFYICONDATAA data{};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = hwnd;
        data.uID = static_cast<UINT>(atoi(argv[4]));
        const BOOL ok = Shell_NotifyIconA(NIM_DELETE, &data);
        printf("%p %s\n", static_cast<void*>(hwnd), ok ? "deleted" : "not deleted");
        fflush(stdout);
        return ok ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "broadcast") == 0) {
        const UINT message = RegisterWindowMessageA(argv[2]);
        return message && PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
    }
    if (argc == 2 && strcmp(argv[1], "front") == 0) {
        // The title of the window Wine has in front (the one that gets the keyboard).
        char text[512] = {};
        if (HWND hwnd = GetForegroundWindow()) GetWindowTextA(hwnd, text, sizeof text);
        printf("%s\n", text);
        fflush(stdout);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "foreground") == 0) return foreground(DWORD(atol(argv[2])));
    if (argc == 3 && strcmp(argv[1], "fullscreen") == 0) return fullscreen(DWORD(atol(argv[2])));
    if (argc >= 3 && strcmp(argv[1], "listbox") == 0) return listbox(argv[2]);
    if (argc >= 5 && strcmp(argv[1], "listbox-wait") == 0) return listboxWait(argv[2], argv[3], atol(argv[4]));
    fprintf(stderr, "usage: e2ehelp.exe winpid TITLE [X Y W H] | listbox TITLE | listbox-wait TITLE DIALOG COUNT | traydel CLASS TITLE ID | broadcast NAME | classtext CLASS | send TITLE MESSAGE WPARAM LPARAM | front | foreground MS | fullscreen MS\n");
    return 2;
}
