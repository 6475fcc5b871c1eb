#!/usr/bin/env python3
"""How many ordinary addresses a black list of host names hits, written as plain host lines
(`HOST`, matched anywhere in an address) and as the anchored lines an import writes
(`//HOST/`). The verdicts come from verdict-replay, that is from the program's own matcher,
at level "3" (black list only, no built-in tables) with an empty white list.

    false-hits.py VERDICT_REPLAY BLACK_LIS URLS_TXT [EASYLIST_TXT]

BLACK_LIS holds one host per line (build/bench-data/black.lis). An address is "listed" when
its host is a listed host or lies below one; every other address is ordinary, and a hit on
it is a false hit. With EASYLIST_TXT a second corpus is judged too: the pages and
sub-resources of the real sites that the list's element rules name (site.com##...).
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path
from urllib.parse import urlsplit

REPLAY, BLACK, URLS = sys.argv[1:4]
EASYLIST = sys.argv[4] if len(sys.argv) > 4 else None
SITE_ADDRESSES = ("https://%s/", "https://www.%s/", "https://www.%s/news/index.html", "https://static.%s/css/site.css",
                  "https://img.%s/images/logo.png", "https://cdn.%s/js/app.js", "https://m.%s/",
                  "https://api.%s/v1/items?id=1")


def blocked(black_lines, addresses, folder, name):
    black = Path(folder, name + ".lis")
    black.write_bytes("\r\n".join(black_lines).encode("ascii"))
    urls = Path(folder, name + ".urls")
    urls.write_bytes(("\n".join(addresses) + "\n").encode("ascii"))
    white = Path(folder, "white.lis")
    white.write_bytes(b"")
    out = subprocess.run([REPLAY, "--black", str(black), "--white", str(white), "--urls", str(urls), "--level", "3"],
                         check=True, capture_output=True, text=True).stdout
    line = next(l for l in out.splitlines() if l.startswith("addresses:"))
    return int(line.split("blocked:")[1].split()[0])


def site_corpus(easylist):
    sites = sorted({d for line in Path(easylist).read_text(encoding="utf-8", errors="replace").splitlines()
                    if re.match(r"^[a-z0-9.,~-]+##", line)
                    for d in line.split("##")[0].split(",") if d and not d.startswith("~") and "." in d})
    return [form % site for site in sites for form in SITE_ADDRESSES]


def judge(corpus_name, hosts, addresses):
    listed = set(hosts)

    def on_list(address):
        labels = (urlsplit(address).hostname or "").upper().split(".")
        return any(".".join(labels[i:]) in listed for i in range(len(labels)))

    ordinary = [a for a in addresses if not on_list(a)]
    on_listed = [a for a in addresses if on_list(a)]
    anchored = ["//%s/" % h for h in hosts]
    print("%s: %d addresses, %d on listed hosts, %d ordinary" %
          (corpus_name, len(addresses), len(on_listed), len(ordinary)))
    with tempfile.TemporaryDirectory() as folder:
        for name, lines in (("plain", hosts), ("anchored", anchored)):
            false_hits = blocked(lines, ordinary, folder, name + "-ordinary")
            true_hits = blocked(lines, on_listed, folder, name + "-listed") if on_listed else 0
            print("  %-8s lines: %5d false hits (ordinary addresses blocked), %5d of %d listed addresses blocked" %
                  (name, false_hits, true_hits, len(on_listed)))


def main():
    hosts = [h.strip().upper() for h in Path(BLACK).read_text(encoding="ascii").splitlines() if h.strip()]
    print("%d listed hosts" % len(hosts))
    judge("benchmark corpus", hosts, [a for a in Path(URLS).read_text(encoding="ascii").split() if a])
    if EASYLIST:
        judge("real sites of the element rules", hosts, site_corpus(EASYLIST))


if __name__ == "__main__":
    main()
