#!/usr/bin/env python3
"""A measured run under Wine (not a test): the navigation round trip from a fake browser window
of the stand-in shell to a running nimbrel.exe and back, with empty lists and with the lists of
build/bench-data/, plus the program's start-up time and memory with those lists, and in each case
the import of the black list's hosts into the black-list box through its menu (IMPORT_RUN_EXE).

    wine-bench.py WINE NIMBREL_EXE STANDIN_EXE DATA_FOLDER IMPORT_RUN_EXE [EVENTS]

Run through scripts/wine-bench.sh, which sets up Wine and the display. Each round trip is one
`before-navigate` command to the stand-in, answered after every subscriber returned.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

import wine_bench_shared as shared
from wine_bench_shared import window_shown

WINE, NIMBREL, STANDIN, DATA, IMPORT_RUN = sys.argv[1:6]
EVENTS = int(sys.argv[6]) if len(sys.argv) > 6 else 1000
SETTINGS = {"killurl": "1", "killlevel": "1", "killpop": "0", "automin": "0", "enhotcut": "0"}


def wine(*args):
    shared.wine(WINE, *args, check=True)


def memory_of(pid):
    fields = {}
    for line in Path("/proc/%d/status" % pid).read_text().splitlines():
        key, _, value = line.partition(":")
        fields[key] = value.strip()
    return fields.get("VmRSS", "?"), fields.get("RssAnon", "?")


def measure(case, lists):
    folder = Path(NIMBREL).parent.parent / "wine-bench" / case
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    exe = folder / "nimbrel.exe"
    shutil.copy(NIMBREL, exe)
    for name in lists:
        shutil.copy(Path(DATA) / name, folder / name)
    # A user's own copy of a list would count instead of the one beside the program.
    for stale in Path(os.environ["WINEPREFIX"]).glob("drive_c/users/*/AppData/Local/Nimbrel/*.lis"):
        stale.unlink()
    for name, value in SETTINGS.items():
        wine("reg", "add", r"HKLM\SOFTWARE\Nimbrel", "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    urls = (Path(DATA) / "urls.txt").read_text().split()
    standin = shared.Standin(WINE, STANDIN)
    start = time.perf_counter()
    nimbrel = subprocess.Popen([WINE, str(exe)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subscribed = shown = None
    while (subscribed is None or shown is None) and time.perf_counter() - start < 120:
        if subscribed is None and standin.ask("advise 0") not in ("0", ""):
            subscribed = time.perf_counter() - start
        if shown is None and window_shown():
            shown = time.perf_counter() - start
        time.sleep(0.02)
    times, cancelled = [], 0
    for n in range(EVENTS):
        begin = time.perf_counter()
        answer = standin.ask("before-navigate 0 " + urls[n % len(urls)])
        times.append((time.perf_counter() - begin) * 1000)
        cancelled += answer.startswith("cancel=1")
    rss, anon = memory_of(nimbrel.pid)
    hosts = "Z:" + str((Path(DATA) / "black.lis").resolve()).replace("/", "\\")  # one plain host a line
    imported = subprocess.run([WINE, IMPORT_RUN, hosts], capture_output=True, text=True).stdout.strip()
    standin.close()
    nimbrel.kill()
    nimbrel.wait()
    times.sort()
    print("%-6s window shown %.2f s, subscribed %.2f s; %d round trips: median %.3f ms, p99 %.3f ms, "
          "%d cancelled; VmRSS %s, RssAnon %s" % (case, shown or -1, subscribed or -1, EVENTS, statistics.median(times),
                                                  times[int(0.99 * (len(times) - 1))], cancelled, rss, anon),
          flush=True)
    print("%-6s %s" % (case, imported), flush=True)


def main():
    measure("empty", [])
    subprocess.run([WINE.replace("wine64", "wineserver"), "-k"], stderr=subprocess.DEVNULL)
    measure("lists", ["black.lis", "white.lis"])


if __name__ == "__main__":
    main()
