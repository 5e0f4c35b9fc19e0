/*
 * e2e-robot: watch the top-level windows of one process, report every
 * message box and property frame it shows, and drive them.
 *
 *   e2e-robot.exe <pid> <script> <timeout-ms>
 *
 * Output (stdout, UTF-8, "\n" line ends, flushed after each line):
 *   box caption=<c> text=<t> icon=<0|1> buttons=<b1,b2,...>
 *   frame caption=<c> tabs=<t1,t2,...> page=<class> title=<text>
 *   control id=<id> class=<class> text=<text>     (one per page control)
 *   window class=<class> caption=<c>              (any other visible window)
 *   ready                                         (from a shot: action)
 *   exit                                          (the process has ended)
 *   timeout                                       (timeout-ms elapsed)
 *
 * Texts are read with the W functions and written as UTF-8 with line
 * feed, carriage return and backslash escaped as \n, \r and \\.  When the
 * tab labels cannot be read, tabs=#<count> is printed instead.
 *
 * A message box is a top-level "#32770" window without a tab control; it
 * is answered with its OK button (or, lacking one, Cancel, else its first
 * button) and the robot waits until it has gone.  A property frame is a
 * top-level "#32770" window with a SysTabControl32 child.  Its visible
 * page is the frame's visible "#32770" child; the page window reported
 * is the window the property page created inside it, when there is one.
 * All descendants of the page except nested dialogs are listed as
 * controls, in window order.
 *
 * <script> is applied to each frame after it has been reported: "-"
 * presses OK at once, otherwise a ';'-separated list of actions run in
 * order, while message boxes keep being answered in between:
 *   combo:<id>:<index>  select an item and post CBN_SELCHANGE to the parent
 *   check:<id>:<0|1>    click the check box when its state differs
 *   radio:<id>          click the radio button
 *   click:<id>          click any button of the page
 *   ok | cancel | apply press that button of the frame
 *   close               send WM_CLOSE to the frame
 *   wait:<ms>           do nothing for a while
 *   shot:<path>         print "ready", then wait until <path> exists
 *                       (up to 10 s) so a screenshot can be taken outside
 * The robot never stops on its own before the process exits or the
 * timeout elapses, so more boxes after the frame are reported as well.
 *
 * Return value: 0 after "exit", 1 after "timeout", 2 on bad arguments.
 *
 * The watched process may be 32-bit while this program is 64-bit.  Only
 * messages the system marshals between processes are used, except for
 * TCM_GETITEMW, whose TCITEMW is built inside the target process with a
 * layout for its bitness.
 */
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#define POLL_MS 50
#define SEND_TIMEOUT_MS 3000
#define MAX_SEEN 256
#define MAX_WINDOWS 256
#define TEXT_MAX 4096
#define APPLY_BUTTON_ID 0x3021 /* comctl32 property sheet Apply button */

static DWORD g_pid;
static HANDLE g_process;
static ULONGLONG g_deadline;
static BOOL g_target_32bit;

static HWND g_seen[MAX_SEEN];
static int g_seen_count;

/* --- output ---------------------------------------------------------- */

static void put_text(const wchar_t *text)
{
    char buf[TEXT_MAX * 3 + 1];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf,
                                NULL, NULL);
    int i;

    if (n <= 0)
        return;
    for (i = 0; i < n - 1; i++) {
        char c = buf[i];
        if (c == '\n')
            fputs("\\n", stdout);
        else if (c == '\r')
            fputs("\\r", stdout);
        else if (c == '\\')
            fputs("\\\\", stdout);
        else
            putchar(c);
    }
}

static void end_line(void)
{
    putchar('\n');
    fflush(stdout);
}

/* Marks an event in the sample filter's log, when the test names one, so
 * that the log shows what the user saw between the filter's own events. */
static void mark_log(const char *event)
{
    wchar_t path[MAX_PATH];
    HANDLE file;
    DWORD written;
    char line[64];
    int n;

    if (!GetEnvironmentVariableW(L"FILTERPROPS_SAMPLE_LOG", path, MAX_PATH))
        return;
    file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    n = snprintf(line, sizeof line, "robot %s\n", event);
    WriteFile(file, line, (DWORD)n, &written, NULL);
    CloseHandle(file);
}

static void put_line(const char *line)
{
    fputs(line, stdout);
    end_line();
}

/* --- helpers --------------------------------------------------------- */

static BOOL expired(void)
{
    return GetTickCount64() >= g_deadline;
}

static BOOL process_ended(void)
{
    return WaitForSingleObject(g_process, 0) == WAIT_OBJECT_0;
}

static LRESULT send_to(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    DWORD_PTR result = 0;

    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG,
                             SEND_TIMEOUT_MS, &result))
        return 0;
    return (LRESULT)result;
}

static void window_text(HWND hwnd, wchar_t *buf)
{
    buf[0] = 0;
    /* WM_GETTEXT is marshalled, and unlike GetWindowText it also returns
     * the contents of controls such as edit fields in another process. */
    send_to(hwnd, WM_GETTEXT, TEXT_MAX, (LPARAM)buf);
    buf[TEXT_MAX - 1] = 0;
}

static void class_name(HWND hwnd, wchar_t *buf)
{
    if (!GetClassNameW(hwnd, buf, 256))
        buf[0] = 0;
}

static BOOL has_class(HWND hwnd, const wchar_t *name)
{
    wchar_t cls[256];

    class_name(hwnd, cls);
    return _wcsicmp(cls, name) == 0;
}

static BOOL seen(HWND hwnd)
{
    int i;

    for (i = 0; i < g_seen_count; i++)
        if (g_seen[i] == hwnd)
            return TRUE;
    return FALSE;
}

static void remember(HWND hwnd)
{
    int i;

    /* Window handles are reused after a window is gone; forget those. */
    for (i = 0; i < g_seen_count; i++)
        if (!IsWindow(g_seen[i]))
            g_seen[i--] = g_seen[--g_seen_count];
    if (g_seen_count < MAX_SEEN)
        g_seen[g_seen_count++] = hwnd;
}

/* Sleep in small steps; gives up early when time runs out. */
static void pause_ms(DWORD ms)
{
    ULONGLONG until = GetTickCount64() + ms;

    while (GetTickCount64() < until && !expired())
        Sleep(POLL_MS / 2);
}

struct window_list {
    HWND hwnd[MAX_WINDOWS];
    int count;
};

static BOOL CALLBACK collect_top(HWND hwnd, LPARAM lp)
{
    struct window_list *list = (struct window_list *)lp;
    DWORD pid = 0;

    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == g_pid && IsWindowVisible(hwnd) && list->count < MAX_WINDOWS)
        list->hwnd[list->count++] = hwnd;
    return TRUE;
}

static BOOL CALLBACK collect_child(HWND hwnd, LPARAM lp)
{
    struct window_list *list = (struct window_list *)lp;

    if (list->count < MAX_WINDOWS)
        list->hwnd[list->count++] = hwnd;
    return TRUE;
}

/* All descendants of parent, depth first in window order. */
static void descendants(HWND parent, struct window_list *list)
{
    list->count = 0;
    EnumChildWindows(parent, collect_child, (LPARAM)list);
}

static HWND find_descendant(HWND parent, const wchar_t *cls)
{
    static struct window_list list;
    int i;

    descendants(parent, &list);
    for (i = 0; i < list.count; i++)
        if (has_class(list.hwnd[i], cls))
            return list.hwnd[i];
    return NULL;
}

static HWND direct_child_by_id(HWND parent, int id)
{
    HWND child;

    for (child = GetWindow(parent, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) == id)
            return child;
    return NULL;
}

/* Post a button press as the button itself would report it.  Posting
 * keeps us from blocking when the press opens another modal window. */
static void press(HWND parent, HWND button)
{
    PostMessageW(parent, WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 (LPARAM)button);
}

/* --- message boxes --------------------------------------------------- */

static BOOL is_icon_static(HWND hwnd)
{
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);

    return has_class(hwnd, L"Static") && (style & SS_TYPEMASK) == SS_ICON;
}

static void handle_box(HWND box)
{
    static struct window_list list;
    static wchar_t text[TEXT_MAX];
    HWND text_static = NULL, ok = NULL, cancel = NULL, first = NULL;
    int icon = 0, buttons = 0, i;

    descendants(box, &list);
    for (i = 0; i < list.count; i++) {
        HWND child = list.hwnd[i];

        if (!IsWindowVisible(child) || GetParent(child) != box)
            continue;
        if (is_icon_static(child)) {
            if (send_to(child, STM_GETICON, 0, 0))
                icon = 1;
        } else if (has_class(child, L"Static")) {
            /* The message text has control id 0xFFFF. */
            if (!text_static || GetDlgCtrlID(child) == 0xFFFF)
                text_static = child;
        }
    }

    fputs("box caption=", stdout);
    window_text(box, text);
    put_text(text);
    fputs(" text=", stdout);
    text[0] = 0;
    if (text_static)
        window_text(text_static, text);
    put_text(text);
    printf(" icon=%d buttons=", icon);
    for (i = 0; i < list.count; i++) {
        HWND child = list.hwnd[i];

        if (!IsWindowVisible(child) || GetParent(child) != box ||
            !has_class(child, L"Button"))
            continue;
        if (buttons++)
            putchar(',');
        window_text(child, text);
        put_text(text);
        if (!first)
            first = child;
        if (GetDlgCtrlID(child) == IDOK)
            ok = child;
        else if (GetDlgCtrlID(child) == IDCANCEL)
            cancel = child;
    }
    end_line();
    mark_log("box");

    if (!ok)
        ok = cancel ? cancel : first;
    if (ok)
        press(box, ok);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    while (IsWindow(box) && IsWindowVisible(box) && !expired() &&
           !process_ended())
        Sleep(POLL_MS / 2);
}

/* --- property frames ------------------------------------------------- */

#define TAB_MAX 32
#define LABEL_MAX 256

/* Reads one tab label through a TCITEMW built inside the target.  The
 * text buffer is pre-filled with a marker, so that a label which never
 * arrived is told apart from an empty one. */
static BOOL tab_label(HWND tab, HANDLE proc, BYTE *remote, int index,
                      wchar_t *label)
{
    BYTE item[64];
    SIZE_T done = 0;
    UINT64 text_at = (UINT64)(ULONG_PTR)(remote + sizeof item);
    int i;

    memset(item, 0, sizeof item);
    *(UINT *)item = TCIF_TEXT;                         /* mask */
    if (g_target_32bit) {
        *(UINT32 *)(item + 12) = (UINT32)text_at;     /* pszText */
        *(int *)(item + 16) = LABEL_MAX;              /* cchTextMax */
    } else {
        memcpy(item + 16, &text_at, sizeof text_at);  /* pszText */
        *(int *)(item + 24) = LABEL_MAX;              /* cchTextMax */
    }
    for (i = 0; i < LABEL_MAX; i++)
        label[i] = 0xFFFF;
    if (!WriteProcessMemory(proc, remote, item, sizeof item, &done) ||
        !WriteProcessMemory(proc, remote + sizeof item, label,
                            LABEL_MAX * sizeof(wchar_t), &done))
        return FALSE;
    if (!send_to(tab, TCM_GETITEMW, index, (LPARAM)remote))
        return FALSE;
    if (!ReadProcessMemory(proc, remote + sizeof item, label,
                           LABEL_MAX * sizeof(wchar_t), &done))
        return FALSE;
    if (label[0] == 0xFFFF)
        return FALSE;
    label[LABEL_MAX - 1] = 0;
    return TRUE;
}

/* Prints the tab labels, or #<count> when they cannot be read. */
static void put_tabs(HWND tab)
{
    static wchar_t labels[TAB_MAX][LABEL_MAX];
    int count = tab ? (int)send_to(tab, TCM_GETITEMCOUNT, 0, 0) : 0;
    HANDLE proc;
    BYTE *remote = NULL;
    int i;
    BOOL ok = count > 0 && count <= TAB_MAX;

    proc = ok ? OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                            PROCESS_VM_WRITE, FALSE, g_pid) : NULL;
    if (proc)
        remote = VirtualAllocEx(proc, NULL, 4096, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    ok = ok && remote;
    for (i = 0; ok && i < count; i++)
        ok = tab_label(tab, proc, remote, i, labels[i]);
    if (remote)
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    if (proc)
        CloseHandle(proc);
    if (!ok) {
        printf("#%d", count);
        return;
    }
    for (i = 0; i < count; i++) {
        if (i)
            putchar(',');
        put_text(labels[i]);
    }
}

static HWND visible_page(HWND frame)
{
    HWND child;

    for (child = GetWindow(frame, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && has_class(child, L"#32770"))
            return child;
    return NULL;
}

/* The window the property page created inside the frame's page, if any. */
static HWND page_window(HWND page)
{
    HWND child;

    for (child = GetWindow(page, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindow(child, GW_CHILD))
            return child;
    return page;
}

static void report_frame(HWND frame)
{
    static struct window_list list;
    static wchar_t text[TEXT_MAX];
    wchar_t cls[256];
    HWND page, inner;
    int i;

    mark_log("frame");
    page = visible_page(frame);
    inner = page ? page_window(page) : NULL;

    fputs("frame caption=", stdout);
    window_text(frame, text);
    put_text(text);
    fputs(" tabs=", stdout);
    put_tabs(find_descendant(frame, WC_TABCONTROLW));
    fputs(" page=", stdout);
    cls[0] = text[0] = 0;
    if (inner) {
        class_name(inner, cls);
        window_text(inner, text);
    }
    put_text(cls);
    fputs(" title=", stdout);
    put_text(text);
    end_line();

    if (!page)
        return;
    descendants(page, &list);
    for (i = 0; i < list.count; i++) {
        HWND child = list.hwnd[i];

        if (has_class(child, L"#32770") && GetWindow(child, GW_CHILD))
            continue;
        class_name(child, cls);
        window_text(child, text);
        printf("control id=%d class=", GetDlgCtrlID(child));
        put_text(cls);
        fputs(" text=", stdout);
        put_text(text);
        end_line();
    }
}

/* Finds a control of the frame's pages by id (not the frame's buttons). */
static HWND page_control(HWND frame, int id)
{
    static struct window_list list;
    HWND page = visible_page(frame);
    int i;

    if (!page)
        return NULL;
    descendants(page, &list);
    for (i = 0; i < list.count; i++)
        if (GetDlgCtrlID(list.hwnd[i]) == id)
            return list.hwnd[i];
    return NULL;
}

struct frame_state {
    HWND hwnd;
    char script[1024];
    char *next;          /* next action, NULL when done */
    ULONGLONG wait_until;
    char shot[MAX_PATH]; /* file awaited by a shot: action */
};

static void frame_button(HWND frame, int id)
{
    HWND button = direct_child_by_id(frame, id);

    if (button)
        press(frame, button);
    else
        PostMessageW(frame, WM_COMMAND, id, 0);
}

/* Runs one action; returns FALSE when it is unknown or cannot be done. */
static BOOL run_action(struct frame_state *fs, char *action)
{
    char *arg = strchr(action, ':');
    int id = 0, value = 0;
    HWND ctl;

    if (arg) {
        *arg++ = 0;
        id = (int)strtol(arg, NULL, 0);
        if (strchr(arg, ':'))
            value = (int)strtol(strchr(arg, ':') + 1, NULL, 0);
    }
    if (!strcmp(action, "ok")) {
        frame_button(fs->hwnd, IDOK);
    } else if (!strcmp(action, "cancel")) {
        frame_button(fs->hwnd, IDCANCEL);
    } else if (!strcmp(action, "apply")) {
        frame_button(fs->hwnd, APPLY_BUTTON_ID);
    } else if (!strcmp(action, "close")) {
        PostMessageW(fs->hwnd, WM_CLOSE, 0, 0);
    } else if (!strcmp(action, "wait") && arg) {
        fs->wait_until = GetTickCount64() + (ULONGLONG)strtoul(arg, NULL, 0);
    } else if (!strcmp(action, "shot") && arg) {
        snprintf(fs->shot, sizeof fs->shot, "%s", arg);
        fs->wait_until = GetTickCount64() + 10000;
        put_line("ready");
    } else if (!strcmp(action, "combo") && arg) {
        if (!(ctl = page_control(fs->hwnd, id)))
            return FALSE;
        send_to(ctl, CB_SETCURSEL, value, 0);
        /* Posted, as a user's input is: the page handles it from the frame's
           own message loop, not inside a message sent from this process. */
        PostMessageW(GetParent(ctl), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     (LPARAM)ctl);
    } else if (!strcmp(action, "check") && arg) {
        if (!(ctl = page_control(fs->hwnd, id)))
            return FALSE;
        if ((send_to(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED) != (value != 0))
            PostMessageW(ctl, BM_CLICK, 0, 0);
    } else if ((!strcmp(action, "radio") || !strcmp(action, "click")) &&
               arg) {
        if (!(ctl = page_control(fs->hwnd, id)))
            return FALSE;
        PostMessageW(ctl, BM_CLICK, 0, 0);
    } else {
        return FALSE;
    }
    return TRUE;
}

/* Advances the frame's script as far as it can go without waiting. */
static void step_frame(struct frame_state *fs)
{
    while (fs->next && IsWindow(fs->hwnd)) {
        char *action, *end;

        if (fs->wait_until) {
            if (fs->shot[0] &&
                GetFileAttributesA(fs->shot) != INVALID_FILE_ATTRIBUTES)
                fs->wait_until = 0;
            else if (GetTickCount64() < fs->wait_until)
                return;
            fs->wait_until = 0;
            fs->shot[0] = 0;
        }
        action = fs->next;
        end = strchr(action, ';');
        if (end) {
            *end = 0;
            fs->next = end + 1;
        } else {
            fs->next = NULL;
        }
        if (*action && !run_action(fs, action))
            fprintf(stderr, "e2e-robot: cannot do action '%s'\n", action);
    }
    if (!IsWindow(fs->hwnd))
        fs->next = NULL;
}

static void start_frame(struct frame_state *fs, HWND frame,
                        const char *script)
{
    fs->hwnd = frame;
    fs->wait_until = 0;
    fs->shot[0] = 0;
    snprintf(fs->script, sizeof fs->script, "%s",
             strcmp(script, "-") ? script : "ok");
    fs->next = fs->script;
}

/* --- main loop ------------------------------------------------------- */

static void report_other(HWND hwnd)
{
    static wchar_t text[TEXT_MAX];
    wchar_t cls[256];

    class_name(hwnd, cls);
    window_text(hwnd, text);
    fputs("window class=", stdout);
    put_text(cls);
    fputs(" caption=", stdout);
    put_text(text);
    end_line();
}

int wmain(int argc, wchar_t **argv)
{
    static struct window_list tops;
    static struct frame_state fs;
    char script[1024];
    BOOL wow64 = FALSE;
    int i;

    _setmode(_fileno(stdout), _O_BINARY);
    if (argc != 4) {
        fprintf(stderr, "usage: e2e-robot <pid> <script> <timeout-ms>\n");
        return 2;
    }
    g_pid = (DWORD)wcstoul(argv[1], NULL, 10);
    WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, script, sizeof script,
                        NULL, NULL);
    script[sizeof script - 1] = 0;
    g_deadline = GetTickCount64() + wcstoul(argv[3], NULL, 10);

    /* A process that has only just started may not be open to us at once. */
    for (i = 0; i < 100; i++) {
        g_process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                                FALSE, g_pid);
        if (g_process || GetLastError() == ERROR_INVALID_PARAMETER)
            break;
        Sleep(POLL_MS);
    }
    if (!g_process) {
        put_line("exit");
        return 0;
    }
    if (IsWow64Process(g_process, &wow64))
        g_target_32bit = wow64;

    for (;;) {
        BOOL ended = process_ended();

        tops.count = 0;
        EnumWindows(collect_top, (LPARAM)&tops);
        for (i = 0; i < tops.count && !expired(); i++) {
            HWND hwnd = tops.hwnd[i];

            if (seen(hwnd))
                continue;
            /* Once the target has ended, its process id may already name
               another process: its windows are not ours to answer. */
            if (process_ended())
                break;
            /* Let the window finish building its contents. */
            pause_ms(150);
            if (!IsWindow(hwnd) || !IsWindowVisible(hwnd))
                continue;
            remember(hwnd);
            if (!has_class(hwnd, L"#32770")) {
                report_other(hwnd);
            } else if (find_descendant(hwnd, WC_TABCONTROLW)) {
                report_frame(hwnd);
                start_frame(&fs, hwnd, script);
            } else {
                handle_box(hwnd);
            }
        }
        if (fs.next)
            step_frame(&fs);
        if (ended) {
            put_line("exit");
            return 0;
        }
        if (expired()) {
            put_line("timeout");
            return 1;
        }
        Sleep(POLL_MS);
    }
}
