// e2ehelp: Win32 console helper for the e2e harness (runs under wine).
//   e2ehelp.exe winpid TITLE [X Y W H]
//   e2ehelp.exe listbox TITLE
//   e2ehelp.exe listbox-wait TITLE DIALOG COUNT
// (listbox prints, in UTF-8, the items of the list box inside the visible window titled
// TITLE, one a line, after a line with their count. listbox-wait waits for the visible
// window DIALOG to go, then for that list box to hold COUNT items, and prints the
// milliseconds between the two, measured inside Wine every 10 ms.)
// prints the Windows process id owning each visible top-level window whose
// title is exactly TITLE (and, if given, whose window rectangle is X,Y WxH),
// one a line. Used to aim `taskkill /PID` at one process when several share
// an image name (Wine 8's tasklist prints nothing).
#include <windows.h>

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

}  // namespace

int main(int argc, char** argv) {
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
    if (argc >= 3 && strcmp(argv[1], "listbox") == 0) return listbox(argv[2]);
    if (argc >= 5 && strcmp(argv[1], "listbox-wait") == 0) return listboxWait(argv[2], argv[3], atol(argv[4]));
    fprintf(stderr, "usage: e2ehelp.exe winpid TITLE [X Y W H]\n");
    return 2;
}
