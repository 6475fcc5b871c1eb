#!/usr/bin/env python3
"""A measured run under Wine (not a test) of filter lists of 300,000 hosts: the time until
nimbrel.exe's window shows with no list and with such a list stored, the navigation round trip
from the stand-in's fake window with and without such a list in force, and the window's answers
(WM_NULL round trips from ANSWER_RUN_EXE) while the program updates the list from a loopback
server at its first scheduled check, 60 s after the start.

    wine-bench-filter-lists.py WINE NIMBREL_EXE STANDIN_EXE ANSWER_RUN_EXE

Run through scripts/wine-bench.sh, which sets up Wine and the display.
"""
import http.server
import os
import shutil
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

import wine_bench_shared as shared
from wine_bench_shared import window_shown

WINE, NIMBREL, STANDIN, ANSWER_RUN = sys.argv[1:5]
HOSTS = 300_000
ROUND_TRIPS = 1000
LISTS_KEY = r"HKCU\Software\Nimbrel\FilterLists"


def wine(*args):
    shared.wine(WINE, *args)


def host_list(kind):
    lines = ["[Adblock Plus 2.0]", "! Expires: 4 days"]
    lines += ["||h%d.%s%d.test^" % (i, kind, i % 997) for i in range(HOSTS)]
    return ("\n".join(lines) + "\n").encode()


def copies_folder():
    for local in Path(os.environ["WINEPREFIX"]).glob("drive_c/users/*/AppData/Local"):
        if local.parent.parent.name != "Public":
            return local / "Nimbrel" / "filters"
    raise SystemExit("no user folder in the prefix")


def forget_lists():
    wine("reg", "delete", LISTS_KEY, "/f")
    shutil.rmtree(copies_folder(), ignore_errors=True)


def store_list(source, body, next_check):
    forget_lists()
    key = LISTS_KEY + r"\1"
    for name, value in {"name": "Bench", "source": source, "enabled": "1", "status": "已更新",
                        "rules": str(HOSTS), "nextcheck": str(next_check)}.items():
        wine("reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    copies_folder().mkdir(parents=True, exist_ok=True)
    (copies_folder() / "1.txt").write_bytes(body)


def time_to_show():
    start = time.perf_counter()
    nimbrel = subprocess.Popen([WINE, NIMBREL], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    while not window_shown() and time.perf_counter() - start < 60:
        time.sleep(0.01)
    shown = time.perf_counter() - start
    time.sleep(1)
    nimbrel.kill()
    nimbrel.wait()
    return shown


class ListServer(http.server.BaseHTTPRequestHandler):
    body = b""
    asked = []

    def do_GET(self):
        ListServer.asked.append(time.perf_counter())
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(self.body)))
        self.end_headers()
        self.wfile.write(self.body)

    def log_message(self, *args):
        pass


def measure_start():
    stored = host_list("ads")
    empty, with_list = [], []
    for _ in range(3):
        forget_lists()
        empty.append(time_to_show())
        store_list("http://127.0.0.1:9/list.txt", stored, int(time.time()) + 86400)
        with_list.append(time_to_show())
    print("start: window shown, median of 3: no filter list %.2f s, %d hosts stored %.2f s (%s / %s)" %
          (statistics.median(empty), HOSTS, statistics.median(with_list),
           " ".join("%.2f" % t for t in empty), " ".join("%.2f" % t for t in with_list)), flush=True)


def round_trips(addresses):
    """Median and p99 in ms of one `before-navigate` each, and how many were cancelled."""
    standin = shared.Standin(WINE, STANDIN)
    nimbrel = subprocess.Popen([WINE, NIMBREL], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start = time.perf_counter()
    while standin.ask("advise 0") in ("0", "") and time.perf_counter() - start < 60:
        time.sleep(0.02)
    time.sleep(3)  # the stored copies are compiled off the main thread; let that end first
    times, cancelled = [], 0
    for address in addresses:
        begin = time.perf_counter()
        cancelled += standin.ask("before-navigate 0 " + address).startswith("cancel=1")
        times.append((time.perf_counter() - begin) * 1000)
    standin.close()
    nimbrel.kill()
    nimbrel.wait()
    times.sort()
    return statistics.median(times), times[int(0.99 * (len(times) - 1))], cancelled


def measure_round_trip():
    # Half of the addresses on a host of the list (or a subdomain of one), half on none; the
    # same addresses both times.
    addresses = []
    for i in range(ROUND_TRIPS):
        if i % 2:
            addresses.append("http://www.h%d.ads%d.test/img/%d.gif?r=%d" % (i * 7, i * 7 % 997, i, i))
        else:
            addresses.append("http://news.example%d.com.cn/2003/0612/index%d.html?from=home" % (i, i))
    results = {}
    for case in ("none", "stored"):
        forget_lists()
        if case == "stored":
            store_list("http://127.0.0.1:9/list.txt", host_list("ads"), int(time.time()) + 86400)
        for _ in range(2):  # the first run of each case warms Wine's caches
            results[case] = round_trips(addresses)
        subprocess.run([WINE.replace("wine64", "wineserver"), "-k"], stderr=subprocess.DEVNULL)
    print("navigation round trip, %d events: no filter list median %.3f ms, p99 %.3f ms (%d cancelled); "
          "%d hosts in force median %.3f ms, p99 %.3f ms (%d cancelled)" %
          ((ROUND_TRIPS, *results["none"], HOSTS, *results["stored"])), flush=True)


def measure_update():
    ListServer.body = host_list("track")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), ListServer)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    store_list("http://127.0.0.1:%d/list.txt" % server.server_address[1], host_list("ads"), 0)
    start = time.perf_counter()
    nimbrel = subprocess.Popen([WINE, NIMBREL], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    answers = subprocess.run([WINE, ANSWER_RUN, "90"], capture_output=True, text=True, errors="replace").stdout.strip()
    asked = ["%.1f s" % (t - start) for t in ListServer.asked]
    updated = subprocess.run([WINE, "reg", "query", LISTS_KEY + r"\1", "/v", "lastupdate"], capture_output=True,
                             text=True, errors="replace").stdout.split()[-1:]
    nimbrel.kill()
    nimbrel.wait()
    server.shutdown()
    print("update of %d hosts from loopback (asked at %s, last update %s): %s" %
          (HOSTS, ", ".join(asked) or "never", "".join(updated), answers), flush=True)


def main():
    for name, value in {"killurl": "1", "killlevel": "1", "killpop": "0", "automin": "0"}.items():
        wine("reg", "add", r"HKLM\SOFTWARE\Nimbrel", "/v", name, "/t", "REG_SZ", "/d", value, "/f")
    measure_round_trip()
    standin = shared.Standin(WINE, STANDIN)
    measure_start()
    measure_update()
    forget_lists()
    standin.close()


if __name__ == "__main__":
    main()
