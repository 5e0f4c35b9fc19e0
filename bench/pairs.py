#!/usr/bin/env python3
"""Times filterprops against the floor program under Wine, pair by pair, and prints the table.

  pairs.py --build DIR [--pairs N]

DIR is a cross build that e2e.py setup has prepared (prefix, display, sample registered).
Each run starts the exe through e2e-launch.exe with the sample filter's {CLSID} and the robot
on it with script "-" (OK at once). Frame-visible time: from just before the launcher is
started to the arrival of the robot's "frame" line, on the monotonic clock. The launcher's
"peak" line is the child's peak working set. One warm-up pair runs first and is not counted.
"""
import argparse
import pathlib
import statistics
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import e2e  # noqa: E402

TIME_RATIO_GOAL = 1.05
EXE_SIZE_GOAL = 16384


def floor_exe(build):
    for name in ("floor.exe", "floor64.exe"):
        if (build / "bench" / name).exists():
            return build / "bench" / name
    raise e2e.Failure("no floor exe in %s" % (build / "bench"))


def one_run(build, exe, tag):
    """Seconds until the frame showed, and the peak working set in bytes."""
    command_line = '"%s" %s' % (e2e.win_path(exe), e2e.clsid("filter"))
    log = build / "e2e" / "logs" / ("bench-%s.log" % tag)
    log.parent.mkdir(parents=True, exist_ok=True)
    if log.exists():
        log.unlink()
    started = time.monotonic()
    launcher, watcher = e2e.start_run(build, command_line, log, "-", seconds=120)
    seen = None
    for raw in watcher.stdout:
        if raw.startswith(b"frame caption="):
            seen = time.monotonic()
            break
    launch_out, robot_out = e2e.finish_run(launcher, watcher)
    exits = [l for l in launch_out if l.startswith("exit ")]
    peaks = [l for l in launch_out if l.startswith("peak ")]
    if seen is None:
        raise e2e.Failure("%s: no frame seen; robot said %s" % (exe.name, robot_out[-3:]))
    if not exits or exits[-1] != "exit 0x00000000":
        raise e2e.Failure("%s: ended with %s" % (exe.name, exits or launch_out))
    if not peaks:
        raise e2e.Failure("%s: the launcher printed no peak working set" % exe.name)
    return seen - started, int(peaks[-1].split()[1])


def verdict(met):
    return "met" if met else "missed"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", type=pathlib.Path, required=True)
    parser.add_argument("--pairs", type=int, default=5)
    args = parser.parse_args()
    build = args.build.resolve()
    try:
        tool, floor = e2e.find_exe(build), floor_exe(build)
        print("warm-up pair (not counted)", flush=True)
        one_run(build, floor, "warmup-floor")
        one_run(build, tool, "warmup-tool")
        rows = []
        for i in range(1, args.pairs + 1):
            f_time, f_peak = one_run(build, floor, "floor")
            t_time, t_peak = one_run(build, tool, "tool")
            rows.append((f_time, t_time, f_peak, t_peak))
            print("pair %d: floor %.0f ms, %s %.0f ms, ratio %.3f; peak %d / %d bytes" % (
                i, f_time * 1000, tool.name, t_time * 1000, t_time / f_time, f_peak, t_peak),
                flush=True)
    except e2e.Failure as failure:
        print("bench: %s" % failure, file=sys.stderr)
        return 1

    med = statistics.median
    f_med, t_med = med(r[0] for r in rows) * 1000, med(r[1] for r in rows) * 1000
    ratio = med(r[1] / r[0] for r in rows)
    f_peak, t_peak = med(r[2] for r in rows), med(r[3] for r in rows)
    f_size, t_size = floor.stat().st_size, tool.stat().st_size
    line = "%-34s %18s %18s   %-10s %s"
    print()
    print("%s vs %s, %d pairs, under Wine (%s)" % (tool.name, floor.name, len(rows), build))
    print(line % ("", floor.name, tool.name, "goal", ""))
    print(line % ("frame visible, median (ms)", "%.0f" % f_med, "%.0f" % t_med, "", ""))
    print(line % ("time tool/floor, median of pairs", "", "%.3f" % ratio,
                  "<= %.2f" % TIME_RATIO_GOAL, verdict(ratio <= TIME_RATIO_GOAL)))
    print(line % ("peak working set, median (bytes)", "%.0f" % f_peak, "%.0f" % t_peak, "", ""))
    print(line % ("exe size (bytes)", f_size, t_size, "<= %d" % EXE_SIZE_GOAL,
                  verdict(t_size <= EXE_SIZE_GOAL)))
    if e2e.is_32bit(build):
        print("note: 32-bit build; where 32-bit code runs under qemu, emulation dominates "
              "these times")
    return 0


if __name__ == "__main__":
    sys.exit(main())
