// RaviloProbe: a small Win32 program used only by the end-to-end harness
// (tools/e2e, tests/e2e) to check how Wine behaves. Not part of the product.
//
// Usage: probe.exe [options]
//   --exit N             ExitProcess(N) at once (exit-code pass-through check)
//   --pos X Y            window position (default 100 100)
//   --title T            window title (default "RaviloProbe")
//   --mutex NAME         single-instance mutex name (default Local\RaviloProbeMutex)
//   --ulw                paint with UpdateLayeredWindow(ULW_COLORKEY) instead of
//                        SetLayeredWindowAttributes(LWA_COLORKEY), after ShowWindow
//   --ulw-before-show    with --ulw: call it before ShowWindow instead
//   --ulw-alpha0         with --ulw: leave the DIB's alpha bytes 0 (as GDI leaves them)
//   --backdrop           plain opaque window (grey) that only counts clicks;
//                        used to see whether clicks fall through a colour key
//   --sound FILE.wav     play FILE looped through MCI (replay on MCI_NOTIFY_SUCCESSFUL)
//   --mci-experiment F   scripted MCI sequence on F, logs every MM_MCINOTIFY
//   --log FILE           append timestamped event lines to FILE
//   --pet-load           the pet's kind of work, for the benchmark's floor: the pointer
//                        polled every 50 ms (pupils redrawn when it moved) and the body
//                        bobbing, a new silhouette every 100 ms
//   --scale N            the window and its drawing at N percent (the floor at a pet size)
//
// Registry (HKCU\Software\MirenWorks\RaviloProbe, or ...\RaviloProbeBackdrop):
//   Launches REG_DWORD (incremented at start), Greeting REG_SZ, AnsiCodePage
//   REG_DWORD, Pid REG_DWORD, Clicks/KeyClicks/RightClicks REG_DWORD,
//   PosX/PosY REG_DWORD (after a drag), Mci* REG_DWORD/REG_SZ.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 319;
constexpr int kHeight = 170;
constexpr COLORREF kKey = RGB(128, 0, 128);
constexpr COLORREF kShape = RGB(0, 200, 0);
constexpr COLORREF kEye = RGB(255, 255, 0);
// The green shape: a rounded body, inset from the window edges.
constexpr RECT kShapeRect = {60, 30, 260, 140};

struct Options {
    int exitCode = -1;
    int x = 100, y = 100;
    std::string title = "RaviloProbe";
    std::string mutex = "Local\\RaviloProbeMutex";
    bool ulw = false;
    bool ulwBeforeShow = false;
    bool ulwAlpha0 = false;
    bool backdrop = false;
    std::string sound;
    std::string mciExperiment;
    std::string log;
    bool petLoad = false;
    int scale = 100;
};

Options g_opt;
HKEY g_key = nullptr;
MCIDEVICEID g_dev = 0;
bool g_dragging = false;
POINT g_dragCursor{};
POINT g_dragWindow{};
int g_experimentStep = 0;

void logLine(const char* fmt, ...) {
    if (g_opt.log.empty()) return;
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (FILE* f = fopen(g_opt.log.c_str(), "a")) {
        fprintf(f, "%lu %s\n", static_cast<unsigned long>(GetTickCount()), buf);
        fclose(f);
    }
}

void regDword(const char* name, DWORD v) {
    if (g_key) RegSetValueExA(g_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

DWORD regGetDword(const char* name) {
    DWORD v = 0, size = sizeof v, type = 0;
    if (!g_key || RegQueryValueExA(g_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return v;
}

void regBump(const char* name) { regDword(name, regGetDword(name) + 1); }

void regString(const char* name, const std::string& s) {
    if (g_key)
        RegSetValueExA(g_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.c_str()),
                       static_cast<DWORD>(s.size() + 1));
}

const char* notifyName(WPARAM w) {
    switch (w) {
    case MCI_NOTIFY_SUCCESSFUL: return "SUCCESSFUL";
    case MCI_NOTIFY_SUPERSEDED: return "SUPERSEDED";
    case MCI_NOTIFY_ABORTED: return "ABORTED";
    case MCI_NOTIFY_FAILURE: return "FAILURE";
    default: return "OTHER";
    }
}

std::string mciError(MCIERROR e) {
    char text[256] = "";
    if (!mciGetErrorStringA(e, text, sizeof text)) snprintf(text, sizeof text, "(no text)");
    char buf[320];
    snprintf(buf, sizeof buf, "%lu %s", static_cast<unsigned long>(e), text);
    return buf;
}

MCIERROR mciOpen(const std::string& file) {
    MCI_OPEN_PARMSA op{};
    op.lpstrElementName = file.c_str();
    MCIERROR e = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&op));
    logLine("MCI_OPEN %s -> %s dev=%u", file.c_str(), mciError(e).c_str(), op.wDeviceID);
    regString("MciOpen", mciError(e));
    if (e == 0) g_dev = op.wDeviceID;
    return e;
}

MCIERROR mciPlay(HWND hwnd, bool notify) {
    MCI_PLAY_PARMS pp{};
    pp.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd);
    pp.dwFrom = 0;
    MCIERROR e = mciSendCommandA(g_dev, MCI_PLAY, MCI_FROM | (notify ? MCI_NOTIFY : 0),
                                 reinterpret_cast<DWORD_PTR>(&pp));
    logLine("MCI_PLAY notify=%d -> %s", notify ? 1 : 0, mciError(e).c_str());
    regString("MciPlay", mciError(e));
    regBump("MciPlays");
    return e;
}

void mciSimple(UINT cmd, const char* name, HWND hwnd, bool notify) {
    MCI_GENERIC_PARMS gp{};
    gp.dwCallback = reinterpret_cast<DWORD_PTR>(hwnd);
    MCIERROR e = mciSendCommandA(g_dev, cmd, notify ? MCI_NOTIFY : MCI_WAIT, reinterpret_cast<DWORD_PTR>(&gp));
    logLine("%s notify=%d -> %s", name, notify ? 1 : 0, mciError(e).c_str());
}

// Scripted sequence to learn which notifications Wine's MCI delivers.
void experimentStep(HWND hwnd) {
    switch (g_experimentStep++) {
    case 0: logLine("EXP step0: play again with notify while playing (expect SUPERSEDED for the first)");
        mciPlay(hwnd, true); break;
    case 1: logLine("EXP step1: MCI_STOP while playing (expect ABORTED)");
        mciSimple(MCI_STOP, "MCI_STOP", hwnd, false); break;
    case 2: logLine("EXP step2: play with notify, then pause");
        mciPlay(hwnd, true); break;
    case 3: mciSimple(MCI_PAUSE, "MCI_PAUSE", hwnd, false); break;
    case 4: mciSimple(MCI_RESUME, "MCI_RESUME", hwnd, false); break;
    case 5: logLine("EXP step5: close device while playing");
        mciSimple(MCI_CLOSE, "MCI_CLOSE", hwnd, false); g_dev = 0; break;
    case 6: logLine("EXP step6: reopen, play with notify, wait for natural end");
        if (mciOpen(g_opt.mciExperiment) == 0) mciPlay(hwnd, true);
        break;
    default: break;
    }
}

// --pet-load: how far the body is lifted (its silhouette changes with it) and where the
// pointer was at the last poll.
int g_bob = 0;
POINT g_pointer{-1, -1};

// Draws in the design's coordinates at the chosen scale.
void scaleDc(HDC dc) {
    if (g_opt.scale == 100) return;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, g_opt.scale, g_opt.scale, nullptr);
}

void paintPupils(HDC dc, int dy) {
    scaleDc(dc);
    RECT wr{};
    GetWindowRect(WindowFromDC(dc), &wr);
    wr.left = wr.left * 100 / g_opt.scale;
    wr.top = wr.top * 100 / g_opt.scale;
    HBRUSH eye = CreateSolidBrush(kEye);
    HBRUSH pupil = CreateSolidBrush(RGB(0, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, kEye);
    HGDIOBJ oldB = SelectObject(dc, eye), oldP = SelectObject(dc, pen);
    for (int cx : {125, 195}) {
        const int cy = 75 - dy;
        Ellipse(dc, cx - 15, cy - 15, cx + 15, cy + 15);
        // Toward the pointer, at most 7 px from the eye's centre.
        const double px = g_pointer.x * 100 / g_opt.scale - (wr.left + cx);
        const double py = g_pointer.y * 100 / g_opt.scale - (wr.top + cy);
        const double d = px * px + py * py > 49 ? std::sqrt(px * px + py * py) : 7.0;
        const int x = cx + int(px * 7 / d), y = cy + int(py * 7 / d);
        RECT r{x - 4, y - 4, x + 4, y + 4};
        FillRect(dc, &r, pupil);
    }
    SelectObject(dc, oldB);
    SelectObject(dc, oldP);
    DeleteObject(eye);
    DeleteObject(pupil);
    DeleteObject(pen);
}

void paintShape(HDC dc) {
    scaleDc(dc);
    RECT all{0, 0, kWidth, kHeight};
    HBRUSH key = CreateSolidBrush(kKey);
    FillRect(dc, &all, key);
    DeleteObject(key);
    HBRUSH body = CreateSolidBrush(kShape);
    HPEN pen = CreatePen(PS_SOLID, 1, kShape);
    HGDIOBJ oldB = SelectObject(dc, body), oldP = SelectObject(dc, pen);
    RoundRect(dc, kShapeRect.left, kShapeRect.top - g_bob, kShapeRect.right, kShapeRect.bottom - g_bob, 40, 40);
    HBRUSH eye = CreateSolidBrush(kEye);
    SelectObject(dc, eye);
    if (g_opt.petLoad) {
        paintPupils(dc, g_bob);
    } else {
        Ellipse(dc, 110, 60, 140, 90);
        Ellipse(dc, 180, 60, 210, 90);
    }
    SelectObject(dc, oldB);
    SelectObject(dc, oldP);
    DeleteObject(body);
    DeleteObject(pen);
    DeleteObject(eye);
}

// --pet-load: timer 2 is the eyes' poll, timer 3 the movie's frame.
void petLoadTick(HWND hwnd, UINT_PTR id) {
    if (id == 2) {
        POINT p{};
        GetCursorPos(&p);
        if (p.x == g_pointer.x && p.y == g_pointer.y) return;
        g_pointer = p;
        HDC dc = GetDC(hwnd);
        paintPupils(dc, g_bob);
        ReleaseDC(hwnd, dc);
    } else if (id == 3) {
        static const int kBob[] = {0, 3, 6, 9, 6, 3};
        static unsigned step = 0;
        g_bob = kBob[++step % 6];
        HDC dc = GetDC(hwnd);
        paintShape(dc);
        ReleaseDC(hwnd, dc);
    }
}

void updateLayered(HWND hwnd) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    paintShape(mem);
    GdiFlush();
    if (!g_opt.ulwAlpha0) {
        auto* px = static_cast<DWORD*>(bits);
        for (int i = 0; i < kWidth * kHeight; ++i) px[i] |= 0xFF000000u;
    }
    RECT wr;
    GetWindowRect(hwnd, &wr);
    POINT dst{wr.left, wr.top}, src{0, 0};
    SIZE size{kWidth, kHeight};
    BOOL ok = UpdateLayeredWindow(hwnd, screen, &dst, &size, mem, &src, kKey, nullptr, ULW_COLORKEY);
    logLine("UpdateLayeredWindow -> %d (err %lu)", ok, static_cast<unsigned long>(GetLastError()));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (g_opt.backdrop) {
            RECT r;
            GetClientRect(hwnd, &r);
            HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
            FillRect(dc, &r, grey);
            DeleteObject(grey);
        } else if (!g_opt.ulw) {
            paintShape(dc);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        regBump("Clicks");
        bool onShape = PtInRect(&kShapeRect, p) != FALSE;
        if (!g_opt.backdrop && !onShape) regBump("KeyClicks");
        logLine("WM_LBUTTONDOWN %ld %ld onShape=%d", p.x, p.y, onShape ? 1 : 0);
        if (!g_opt.backdrop) {
            g_dragging = true;
            SetCapture(hwnd);
            GetCursorPos(&g_dragCursor);
            RECT wr;
            GetWindowRect(hwnd, &wr);
            g_dragWindow = {wr.left, wr.top};
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (g_dragging) {
            POINT c;
            GetCursorPos(&c);
            SetWindowPos(hwnd, nullptr, g_dragWindow.x + c.x - g_dragCursor.x, g_dragWindow.y + c.y - g_dragCursor.y,
                         0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (g_dragging) {
            g_dragging = false;
            ReleaseCapture();
            RECT wr;
            GetWindowRect(hwnd, &wr);
            regDword("PosX", static_cast<DWORD>(wr.left));
            regDword("PosY", static_cast<DWORD>(wr.top));
            logLine("DRAG END %ld %ld", wr.left, wr.top);
        }
        return 0;
    case WM_RBUTTONUP:
        regBump("RightClicks");
        logLine("WM_RBUTTONUP");
        return 0;
    case WM_TIMER:
        if (g_opt.petLoad) petLoadTick(hwnd, wp);
        else experimentStep(hwnd);
        return 0;
    case MM_MCINOTIFY: {
        logLine("MM_MCINOTIFY %s (0x%lx) dev=%ld", notifyName(wp), static_cast<unsigned long>(wp),
                static_cast<long>(lp));
        std::string name = std::string("MciNotify") + notifyName(wp);
        regBump(name.c_str());
        if (wp == MCI_NOTIFY_SUCCESSFUL && !g_opt.sound.empty() && g_dev) mciPlay(hwnd, true);
        return 0;
    }
    case WM_QUERYENDSESSION:
        logLine("WM_QUERYENDSESSION");
        return TRUE;
    case WM_ENDSESSION:
        logLine("WM_ENDSESSION %d", static_cast<int>(wp));
        return 0;
    case WM_CLOSE:
        logLine("WM_CLOSE -> ExitProcess(1)");
        regDword("ClosedByWmClose", 1);
        ExitProcess(1);
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void parseArgs(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--exit") g_opt.exitCode = atoi(next());
        else if (a == "--pos") { g_opt.x = atoi(next()); g_opt.y = atoi(next()); }
        else if (a == "--title") g_opt.title = next();
        else if (a == "--mutex") g_opt.mutex = next();
        else if (a == "--ulw") g_opt.ulw = true;
        else if (a == "--ulw-before-show") g_opt.ulwBeforeShow = true;
        else if (a == "--ulw-alpha0") g_opt.ulwAlpha0 = true;
        else if (a == "--backdrop") g_opt.backdrop = true;
        else if (a == "--sound") g_opt.sound = next();
        else if (a == "--mci-experiment") g_opt.mciExperiment = next();
        else if (a == "--log") g_opt.log = next();
        else if (a == "--pet-load") g_opt.petLoad = true;
        else if (a == "--scale") g_opt.scale = std::max(25, atoi(next()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    parseArgs(argc, argv);
    if (g_opt.exitCode >= 0) ExitProcess(static_cast<UINT>(g_opt.exitCode));

    HANDLE mutex = CreateMutexA(nullptr, FALSE, g_opt.mutex.c_str());
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        logLine("second instance -> ExitProcess(0)");
        ExitProcess(0);
    }

    const char* sub = g_opt.backdrop ? "Software\\MirenWorks\\RaviloProbeBackdrop" : "Software\\MirenWorks\\RaviloProbe";
    RegCreateKeyExA(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &g_key, nullptr);
    regBump("Launches");
    regString("Greeting", "hello from probe");
    regDword("AnsiCodePage", GetACP());
    regDword("Pid", GetCurrentProcessId());
    logLine("START pid=%lu acp=%u", static_cast<unsigned long>(GetCurrentProcessId()), GetACP());

    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = wndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "RaviloProbeClass";
    RegisterClassA(&wc);

    HWND hwnd;
    if (g_opt.backdrop) {
        hwnd = CreateWindowExA(0, wc.lpszClassName, g_opt.title.c_str(), WS_POPUP, g_opt.x, g_opt.y, 1000, 700,
                               nullptr, nullptr, inst, nullptr);
    } else {
        hwnd = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName,
                               g_opt.title.c_str(), WS_POPUP, g_opt.x, g_opt.y, kWidth * g_opt.scale / 100,
                               kHeight * g_opt.scale / 100, nullptr, nullptr,
                               inst, nullptr);
        if (g_opt.ulw) {
            if (g_opt.ulwBeforeShow) updateLayered(hwnd);
        } else {
            BOOL ok = SetLayeredWindowAttributes(hwnd, kKey, 0, LWA_COLORKEY);
            logLine("SetLayeredWindowAttributes -> %d", ok);
        }
    }
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd);
    if (g_opt.ulw && !g_opt.ulwBeforeShow) updateLayered(hwnd);
    logLine("WINDOW shown hwnd=%p", static_cast<void*>(hwnd));

    if (g_opt.petLoad) {
        SetTimer(hwnd, 2, 50, nullptr);
        SetTimer(hwnd, 3, 100, nullptr);
    }
    if (!g_opt.sound.empty()) {
        if (mciOpen(g_opt.sound) == 0) mciPlay(hwnd, true);
    } else if (!g_opt.mciExperiment.empty()) {
        if (mciOpen(g_opt.mciExperiment) == 0) {
            mciPlay(hwnd, true);
            SetTimer(hwnd, 1, 1000, nullptr);
        }
    }

    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    logLine("message loop ended");
    return 0;
}
