#!/usr/bin/env python3
"""End-to-end scenarios: the real filterprops exe under Wine in Xvfb, with the sample filter.

  e2e.py list                          names of the scenarios
  e2e.py setup   --build DIR           prefix (made once, kept), display, sample registered
  e2e.py run     --build DIR NAME      one scenario; exit status 0 when it passed
  e2e.py cleanup --build DIR           stops the display and the prefix's wineserver
  e2e.py demo    --build DIR [--shot PNG]

DIR is a cross build folder holding the exe, samplefilter.dll and the 64-bit helpers
(e2e-launch.exe starts the exe with an exact command line and prints its exit code;
e2e-robot.exe records and answers every box and frame the exe shows).
"""
import argparse
import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[2]
WINE64 = "/usr/lib/wine/wine64"
UNREGISTERED = "{00000000-0000-0000-0000-000000000001}"

# Every Wine call runs under a time-out, so a hang fails a test instead of blocking the run.
BOOT_SECONDS = 900
STEP_SECONDS = 300
RUN_SECONDS = 300


def sample_classes():
    """log name -> (filter name, {CLSID}) from the sample DLL's class list."""
    classes = {}
    for line in (ROOT / "sample" / "classes.txt").read_text(encoding="utf-8").splitlines():
        if not line or line.startswith("#"):
            continue
        name, clsid, _note, log_name = line.split("\t")
        classes[log_name] = (name, clsid)
    return classes


CLASSES = sample_classes()


def clsid(log_name):
    return CLASSES[log_name][1]


def filter_name(log_name):
    name = CLASSES[log_name][0]
    return "N" * 127 if log_name == "name-full" else name


REPORT = "Show Property Page"
NO_PAGES = ("Quorvell Deinterlace", "Can not get filter's property page", 0)


def report(code, label):
    return (REPORT, "error 0x%08X\\n%s" % (code, label), 1)


def fault_box(log_name):
    return (filter_name(log_name), "Run-time error while display filter's property page", 0)


# Each scenario: the command line after the exe's path (or a whole one), the robot's script
# for the frame, and what the user must see: boxes in order (caption, text, icon), the name in
# the frame's caption (None: no frame), the exit code, and checks on the sample's log.
SCENARIOS = {
    "normal_run": dict(tail=lambda: clsid("filter"), frame="filter", exit=0),
    "a_class_not_registered": dict(
        tail=lambda: UNREGISTERED, boxes=[report(0x80040154, "CoCreateInstance")], exit=0x80040154),
    "a_class_factory_fails": dict(
        tail=lambda: clsid("createfail"), boxes=[report(0x80070005, "CoCreateInstance")],
        exit=0x80070005),
    "b_query_filter_info_fails": dict(
        tail=lambda: clsid("infofail"), boxes=[report(0x80040209, "filter->QueryFilterInfo")],
        exit=0x80040209, released_after_box="infofail"),
    "c_no_property_pages": dict(
        tail=lambda: clsid("nopages"),
        boxes=[report(0x80004002, "filter->QueryInterface(IID_ISpecifyPropertyPages,...)")],
        exit=0x80004002, released_after_box="nopages"),
    "d_get_pages_fails": dict(
        tail=lambda: clsid("pagesfail"),
        boxes=[NO_PAGES, report(0x8000FFFF, "proppage->GetPages(...)")], exit=0x8000FFFF,
        released_before_box="pagesfail"),
    "d_get_pages_returns_one": dict(
        tail=lambda: clsid("pagesfalse"),
        boxes=[NO_PAGES, report(0x00000001, "proppage->GetPages(...)")], exit=0x00000001,
        released_before_box="pagesfalse"),
    # Wine's frame refuses a count of 0 with no list and shows nothing; the run still ends well.
    "empty_page_list": dict(tail=lambda: clsid("pagesempty"), exit=0),
    "name_latin1": dict(tail=lambda: clsid("name-latin1"), frame="name-latin1", exit=0),
    "name_wide_char_in_the_middle": dict(
        tail=lambda: clsid("name-omega-mid"), frame="name-omega-mid", exit=0),
    "name_wide_char_at_the_start": dict(
        tail=lambda: clsid("name-omega-start"), frame="name-omega-start", exit=0),
    "name_empty": dict(tail=lambda: clsid("name-empty"), frame="name-empty", exit=0),
    "name_fills_the_record": dict(tail=lambda: clsid("name-full"), frame="name-full", exit=0),
    "cmdline_quoted_path_with_blanks": dict(
        whole=lambda exe: '"%s" %s' % (exe, clsid("filter")), blank_path=True, frame="filter",
        exit=0),
    "cmdline_no_blank_after_quote": dict(
        whole=lambda exe: '"%s"%s' % (exe, clsid("filter")), frame="filter", exit=0),
    "cmdline_blanks_before_the_class": dict(
        whole=lambda exe: '"%s" \t  %s' % (exe, clsid("filter")), frame="filter", exit=0),
    # The blanks reach CLSIDFromString; Wine's reads the 38 characters of the braced form and
    # ignores what follows, so the filter opens.
    "cmdline_trailing_blanks": dict(
        tail=lambda: clsid("filter") + "  \t ", frame="filter", exit=0),
    "cmdline_empty_tail": dict(
        whole=lambda exe: '"%s"' % exe, boxes=[report(0x80040154, "CoCreateInstance")],
        exit=0x80040154),
    "cmdline_bytes_above_127": dict(
        tail=lambda: "{\xe9\xff}", boxes=[report(0x80040154, "CoCreateInstance")], exit=0x80040154),
    "settings_survive_the_release": dict(
        tail=lambda: clsid("filter"), frame="filter", exit=0, serial=True,
        script="combo:1001:1;radio:1003;check:1004:1;ok",
        log_has=["filter settings saved method=Bob field=bottom cadence=1"],
        then=dict(script="-", log_has=["filter settings loaded method=Bob field=bottom cadence=1"],
                  reset_after=True)),
    # Faults in the filter's page code.
    "fault_in_activate": dict(
        tail=lambda: clsid("fault-activate"), exit=0,
        boxes=[fault_box("fault-activate")],
        log_has=["fault-activate-page fault activate"], released_after_fault="fault-activate"),
    "fault_in_initdialog": dict(
        tail=lambda: clsid("fault-initdialog"), exit=0,
        boxes=[fault_box("fault-initdialog")],
        log_has=["fault-initdialog-page fault initdialog"],
        released_after_fault="fault-initdialog"),
    "fault_cxx_throw_in_show": dict(
        tail=lambda: clsid("fault-cxx-throw"), exit=0,
        boxes=[fault_box("fault-cxx-throw")],
        log_has=["fault-cxx-throw-page fault cxx-throw"], released_after_fault="fault-cxx-throw"),
    "fault_divide_by_zero": dict(
        tail=lambda: clsid("fault-divide"), exit=0,
        boxes=[fault_box("fault-divide")],
        log_has=["fault-divide-page fault divide"], released_after_fault="fault-divide"),
    "fault_on_control_change": dict(
        tail=lambda: clsid("fault-method-change"), frame="fault-method-change", exit=0,
        script="combo:1001:1;wait:3000;ok",
        boxes=[fault_box("fault-method-change")],
        log_has=["fault-method-change-page fault method-change"],
        released_after_fault="fault-method-change"),
    "filter_handles_its_own_exception": dict(
        tail=lambda: clsid("fault-handled"), frame="fault-handled", exit=0,
        log_has=["fault-handled-page handled-own-exception"]),
}


def win_path(path):
    return "Z:" + str(path).replace("/", "\\")


class Failure(Exception):
    pass


def state_file(build):
    return build / "e2e" / "state.json"


def prefix_dir(build):
    """The Wine prefix: E2E_PREFIX when set, so that several builds share one, else the build's own."""
    return pathlib.Path(os.environ["E2E_PREFIX"]).resolve() if os.environ.get(
        "E2E_PREFIX") else build / "e2e" / "prefix"


def wine_env(build, display=None):
    env = dict(os.environ)
    env.update(WINEPREFIX=str(prefix_dir(build)), WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if display is None and state_file(build).exists():
        display = json.loads(state_file(build).read_text())["display"]
    if display is not None:
        env["DISPLAY"] = display
    return env


def wine(build, args, seconds=STEP_SECONDS, display=None, check=True, **kwargs):
    result = subprocess.run(["timeout", str(seconds), WINE64] + args,
                            env=wine_env(build, display), capture_output=True, **kwargs)
    if check and result.returncode != 0:
        raise Failure("wine %s failed (%d): %s" % (" ".join(args), result.returncode,
                                                  result.stderr.decode(errors="replace")[-400:]))
    return result


def start_display():
    """Starts Xvfb on a free display; returns (display, pid)."""
    for number in range(90, 140):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        for _ in range(50):
            time.sleep(0.1)
            if xvfb.poll() is not None:
                break
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return ":%d" % number, xvfb.pid
        if xvfb.poll() is None:
            xvfb.kill()
    raise Failure("no free display for Xvfb")


def setup(build, keep_display):
    e2e = build / "e2e"
    prefix = prefix_dir(build)
    e2e.mkdir(parents=True, exist_ok=True)
    display, pid = (os.environ["DISPLAY"], None) if keep_display else start_display()
    state_file(build).write_text(json.dumps({"display": display, "xvfb": pid}))
    if not (prefix / ".ready").exists():
        shutil.rmtree(prefix, ignore_errors=True)
        started = time.time()
        wine(build, ["wineboot", "-i"], seconds=BOOT_SECONDS)
        wine(build, ["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N",
                     "/f"])
        # A fault nobody handles must end the process, not start a debugger that waits.
        for view in ("/reg:64", "/reg:32"):
            key = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug"
            wine(build, ["reg", "add", key, "/v", "Auto", "/d", "0", "/f", view])
            wine(build, ["reg", "delete", key, "/v", "Debugger", "/f", view], check=False)
        (prefix / ".ready").write_text("%.0f s\n" % (time.time() - started))
    register_sample(build)


def register_sample(build):
    """Registers samplefilter.dll the usual way, with regsvr32 of the DLL's own bitness."""
    dll = build / "sample" / "samplefilter.dll"
    wine(build, ["regsvr32", "/s", win_path(dll)])
    listed = wine(build, ["reg", "query", r"HKCR\CLSID\%s\InprocServer32" % clsid("filter"),
                          "/ve"] + (["/reg:32"] if is_32bit(build) else []), check=False)
    if listed.returncode != 0:
        raise Failure("samplefilter.dll did not register")


def is_32bit(build):
    exe = find_exe(build)
    return exe.name == "filterprops.exe"


def find_exe(build):
    for name in ("filterprops.exe", "filterprops64.exe"):
        if (build / name).exists():
            return build / name
    raise Failure("no filterprops exe in %s" % build)


def cleanup(build):
    if state_file(build).exists():
        pid = json.loads(state_file(build).read_text())["xvfb"]
        try:
            if pid:
                os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        state_file(build).unlink()
    subprocess.run(["timeout", "60", "wineserver", "-k"], env=wine_env(build, display=""),
                   capture_output=True)


def helpers(build):
    return build / "tests" / "e2e" / "e2e-launch.exe", build / "tests" / "e2e" / "e2e-robot.exe"


def start_run(build, command_line, log, script, seconds=RUN_SECONDS):
    """Starts the exe with an exact command line and the robot on it; returns both processes."""
    launch, robot = helpers(build)
    cmd_file = log.with_suffix(".cmd")
    cmd_file.write_bytes(command_line.encode("latin-1"))
    env = wine_env(build)
    env["FILTERPROPS_SAMPLE_LOG"] = win_path(log)
    launcher = subprocess.Popen(["timeout", str(seconds + 30), WINE64, str(launch),
                                 win_path(cmd_file), str(seconds * 1000)],
                                env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    first = launcher.stdout.readline().decode().split()
    if len(first) != 2 or first[0] != "pid":
        launcher.kill()
        raise Failure("launcher did not start the exe: %r" % first)
    watcher = subprocess.Popen(["timeout", str(seconds + 30), WINE64, str(robot), first[1],
                                script, str(seconds * 1000)],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    return launcher, watcher


def finish_run(launcher, watcher):
    robot_out = watcher.communicate()[0].decode("utf-8", errors="replace").splitlines()
    launch_out = launcher.communicate()[0].decode(errors="replace").splitlines()
    return launch_out, robot_out


def parse_fields(line):
    """'kind a=1 b=x y' -> {'kind': 'kind', 'a': '1', 'b': 'x y'} for the robot's known keys."""
    kind, _, rest = line.partition(" ")
    keys = {"box": ["caption", "text", "icon", "buttons"],
            "frame": ["caption", "tabs", "page", "title"]}.get(kind, [])
    fields = {"kind": kind}
    for i, key in enumerate(keys):
        start = rest.find(key + "=")
        if start < 0:
            continue
        start += len(key) + 1
        end = len(rest)
        for later in keys[i + 1:]:
            at = rest.find(" " + later + "=", start)
            if at >= 0:
                end = at
                break
        fields[key] = rest[start:end]
    return fields


def log_lines(log):
    return log.read_text(errors="replace").splitlines() if log.exists() else []


def check_released(lines, who, errors):
    """The object was created and its count went back to zero."""
    if "%s created" % who not in lines:
        errors.append("%s was never created" % who)
        return
    if "%s last-release" % who not in lines:
        errors.append("%s was not fully released: %s" % (
            who, [l for l in lines if l.startswith(who + " ")][-4:]))


def check_run(name, scenario, exe_name, launch_out, robot_out, log, errors):
    exit_lines = [l for l in launch_out if l.startswith("exit ")]
    got_exit = exit_lines[-1] if exit_lines else "none: %s" % launch_out
    if got_exit != "exit 0x%08X" % scenario["exit"]:
        errors.append("exit code: want 0x%08X, got %s" % (scenario["exit"], got_exit))
    if "timeout" in robot_out:
        errors.append("robot timed out")
    boxes = [parse_fields(l) for l in robot_out if l.startswith("box ")]
    want_boxes = [dict(kind="box", caption=c, text=t, icon=str(i), buttons="OK")
                  for c, t, i in scenario.get("boxes", [])]
    if boxes != want_boxes:
        errors.append("boxes: want %s, got %s" % (want_boxes, boxes))
    frames = [parse_fields(l) for l in robot_out if l.startswith("frame ")]
    if scenario.get("frame"):
        want = filter_name(scenario["frame"])
        # Wine decorates the caption ("Properties for <name>"), Windows too ("<name> Properties").
        if len(frames) != 1 or want not in frames[0].get("caption", "") or (
                want == "" and frames[0].get("caption") not in ("Properties for ", " Properties")):
            errors.append("frame: want one captioned with %r, got %s" % (want, frames))
        elif not any(l.startswith("control id=1001 ") for l in robot_out):
            # The method list of the sample's page; tab labels of a 32-bit frame cannot be
            # read from a 64-bit robot where 32-bit code is emulated.
            errors.append("frame without the sample's page: %s" % frames[0])
    elif frames:
        errors.append("unexpected frame: %s" % frames)
    lines = log_lines(log)
    for who in {scenario.get("frame"), scenario.get("released_after_box"),
                scenario.get("released_before_box")} - {None, scenario.get("released_after_fault")}:
        check_released(lines, who, errors)
    robot_boxes = [i for i, l in enumerate(lines) if l == "robot box"]
    if scenario.get("released_after_box"):
        who = scenario["released_after_box"]
        release = lines.index("%s Release 0" % who) if "%s Release 0" % who in lines else -1
        if not robot_boxes or release < robot_boxes[0]:
            errors.append("%s was released before the box was shown" % who)
    if scenario.get("released_before_box"):
        who = scenario["released_before_box"]
        release = lines.index("%s Release 0" % who) if "%s Release 0" % who in lines else 10**9
        if not robot_boxes or release > robot_boxes[0]:
            errors.append("%s was still held when the first box was shown" % who)
    if scenario.get("released_after_fault"):
        # The frame's abandoned page objects may keep their references to the filter, so no
        # last-release is due; the tool's own two must go, one by one, after the box.
        who = scenario["released_after_fault"]
        box = robot_boxes[0] if robot_boxes else len(lines)
        counts = [int(l.split()[2]) for l in lines[:box]
                  if l.startswith((who + " AddRef ", who + " Release "))]
        want = ["%s Release %d" % (who, counts[-1] - k) for k in (1, 2)] if counts else ["?"]
        got = [l for l in lines[box:] if l.startswith(who + " ")][:2]
        if not robot_boxes:
            errors.append("%s: no box after the fault" % who)
        elif got != want:
            errors.append("after the fault's box: want %s, got %s" % (want, got))
    for wanted in scenario.get("log_has", []):
        if wanted not in lines:
            errors.append("log lacks %r" % wanted)


def run(build, name, scenario=None, script=None):
    scenario = scenario or SCENARIOS[name]
    exe = find_exe(build)
    logs = build / "e2e" / "logs"
    logs.mkdir(parents=True, exist_ok=True)
    if scenario.get("blank_path"):
        folder = build / "e2e" / "Program Files" / "filter props"
        folder.mkdir(parents=True, exist_ok=True)
        shutil.copy2(exe, folder / exe.name)
        exe = folder / exe.name
    command_line = scenario["whole"](win_path(exe)) if "whole" in scenario else '"%s" %s' % (
        win_path(exe), scenario["tail"]())
    errors = []
    steps = [scenario] + ([dict(scenario, **scenario["then"])] if "then" in scenario else [])
    for i, step in enumerate(steps):
        log = logs / ("%s.%d.log" % (name, i))
        if log.exists():
            log.unlink()
        launcher, watcher = start_run(build, command_line, log, step.get("script", "-"))
        launch_out, robot_out = finish_run(launcher, watcher)
        (logs / ("%s.%d.robot" % (name, i))).write_text("\n".join(robot_out) + "\n")
        step_errors = []
        check_run(name, step, exe.name, launch_out, robot_out, log, step_errors)
        errors += ["run %d: %s" % (i + 1, e) for e in step_errors]
    if scenario.get("then", {}).get("reset_after"):
        wine(build, ["reg", "delete", r"HKCU\Software\filterprops-sample", "/f"], check=False)
    return errors


def demo(build, shot):
    exe = find_exe(build)
    command_line = '"%s" %s' % (win_path(exe), clsid("filter"))
    log = build / "e2e" / "logs" / "demo.log"
    log.parent.mkdir(parents=True, exist_ok=True)
    if shot is None:
        # A display to work in: the user closes the frame, then the exit code is printed.
        cmd_file = log.with_suffix(".cmd")
        cmd_file.write_bytes(command_line.encode("latin-1"))
        result = subprocess.run([WINE64, str(helpers(build)[0]), win_path(cmd_file), "86400000"],
                                env=wine_env(build), capture_output=True)
        print(result.stdout.decode().splitlines()[-1])
        return 0
    shot_flag = shot.with_suffix(".taken")
    if shot_flag.exists():
        shot_flag.unlink()
    launcher, watcher = start_run(build, command_line, log,
                                  "shot:%s;ok" % win_path(shot_flag))
    while True:
        line = watcher.stdout.readline().decode("utf-8", errors="replace")
        if not line:
            break
        print("robot:", line.rstrip())
        if line.strip() == "ready":
            time.sleep(0.5)
            env = wine_env(build)
            xwd = subprocess.run(["xwd", "-root", "-display", env["DISPLAY"]], capture_output=True)
            subprocess.run(["convert", "xwd:-", str(shot)], input=xwd.stdout, check=True)
            shot_flag.write_text("taken\n")
            print("screenshot:", shot)
    launch_out, _ = finish_run(launcher, watcher)
    print(launch_out[-1] if launch_out else "no exit code")
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("command", choices=["list", "setup", "run", "cleanup", "demo"])
    parser.add_argument("name", nargs="?")
    parser.add_argument("--build", type=pathlib.Path)
    parser.add_argument("--shot", type=pathlib.Path)
    parser.add_argument("--keep-display", action="store_true",
                        help="use $DISPLAY instead of starting Xvfb")
    args = parser.parse_args()
    if args.command == "list":
        for name, scenario in SCENARIOS.items():
            print("%s%s" % (name, " serial" if scenario.get("serial") else ""))
        return 0
    build = args.build.resolve()
    try:
        if args.command == "setup":
            setup(build, args.keep_display)
        elif args.command == "cleanup":
            cleanup(build)
        elif args.command == "demo":
            return demo(build, args.shot)
        else:
            errors = run(build, args.name)
            for error in errors:
                print("FAIL %s: %s" % (args.name, error))
            if errors:
                robot = build / "e2e" / "logs" / ("%s.0.robot" % args.name)
                print(robot.read_text() if robot.exists() else "")
                return 1
            print("ok %s" % args.name)
    except Failure as failure:
        print("FAIL %s: %s" % (args.name or args.command, failure))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
