#!/usr/bin/env python3
"""Writes the benchmark data: black.lis, white.lis (ANSI, CR LF, as the program stores its
lists), urls.txt (one address a line) and two filter lists, filters.txt (the black list's hosts
as "||host^" rules) and hosts.txt (a synthetic hosts file that brings them to 300,000 hosts),
into OUT.

    bench-data.py OUT [EASYLIST-FILE...]

The black list is every plain `||host^` rule of the given filter lists, one upper-cased host a
line, in order, duplicates dropped. Without filter lists it is made up: 84,000 hosts of the same
shape. The white list (10,000 lines) and the address corpus are made up, the same on every run.
"""
import random
import re
import sys
from pathlib import Path

PLAIN_HOST_RULE = re.compile(r"^\|\|([^/^*$|]+)\^$")
BLACK_LINES = 84_000
WHITE_LINES = 10_000
SITES = 320
ADDRESSES_PER_SITE = 100
FILTER_LIST_HOSTS = 300_000

WORDS = ("news sport tech game video mail bbs blog shop travel auto house money music book photo "
         "health china world city daily home life star club union data cloud open free best").split()
TLDS = ("com", "com.cn", "net", "cn", "org", "net.cn", "info", "online")


def hosts_from_lists(paths):
    hosts, seen = [], set()
    for path in paths:
        for line in Path(path).read_text(encoding="utf-8", errors="replace").splitlines():
            match = PLAIN_HOST_RULE.match(line.strip())
            if match and match.group(1).upper() not in seen:
                seen.add(match.group(1).upper())
                hosts.append(match.group(1).upper())
    return hosts


def made_up_host(rng):
    letters = "abcdefghijklmnopqrstuvwxyz0123456789"
    label = "".join(rng.choice(letters) for _ in range(rng.randint(6, 16)))
    prefix = rng.choice(("", "", "ads.", "track.", "cdn.", "pixel."))
    return (prefix + label + "." + rng.choice(TLDS)).upper()


def site_domain(rng):
    return rng.choice(WORDS) + rng.choice(WORDS) + str(rng.randint(1, 999)) + "." + rng.choice(TLDS)


def address(rng, site, black):
    kind = rng.random()
    path = "/".join(rng.choice(WORDS) for _ in range(rng.randint(1, 4)))
    query = "?id=%d&from=%s" % (rng.randint(1, 99999), rng.choice(WORDS))
    if kind < 0.35:
        return "http://www.%s/%s/%d.html%s" % (site, path, rng.randint(1, 9999), query)
    if kind < 0.65:
        return "http://img.%s/%s/%d.%s" % (site, path, rng.randint(1, 9999), rng.choice(("jpg", "gif", "png")))
    if kind < 0.80:
        return "http://static.%s/js/%s.js?v=%d" % (site, rng.choice(WORDS), rng.randint(1, 99))
    if kind < 0.93:  # a sub-resource on a listed host
        return "http://%s/%s/%s.js%s" % (rng.choice(black).lower(), rng.choice(WORDS), rng.choice(WORDS), query)
    return "http://www.%s/%s/%s/%d.gif" % (site, rng.choice(("ads", "banner", "popup", "ad")), path, rng.randint(1, 99))


def synthetic_hosts_file(count, taken):
    """A hosts file of `count` new hosts in the shapes such files use: one or two hosts a
    line, a comment now and then, a local entry at the top."""
    rng = random.Random(15)
    lines = ["# synthetic ad-server hosts", "127.0.0.1 localhost", "::1 localhost ip6-localhost"]
    hosts, seen = [], set(taken)
    while len(hosts) < count:
        host = made_up_host(rng).lower()
        if host.upper() not in seen:
            seen.add(host.upper())
            hosts.append(host)
    i = 0
    while i < len(hosts):
        if i % 1000 == 0:
            lines.append("# section %d" % (i // 1000))
        if i % 50 == 0 and i + 1 < len(hosts):
            lines.append("0.0.0.0 %s %s" % (hosts[i], hosts[i + 1]))
            i += 2
        else:
            lines.append("0.0.0.0 %s # ad server" % hosts[i] if i % 7 == 0 else "0.0.0.0 " + hosts[i])
            i += 1
    return lines


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    rng = random.Random(20261208)
    black = hosts_from_lists(sys.argv[2:])
    if not black:
        black = [made_up_host(rng) for _ in range(BLACK_LINES)]
    sites = [site_domain(rng) for _ in range(SITES)]
    white = [site_domain(rng).upper() if rng.random() < 0.7 else
             "%s*/%s/" % (site_domain(rng).upper(), rng.choice(WORDS).upper()) for _ in range(WHITE_LINES - 20)]
    white += [site.upper() + "/" for site in rng.sample(sites, 20)]  # a few of the corpus's own sites
    urls = [address(rng, site, black) for site in sites for _ in range(ADDRESSES_PER_SITE)]
    (out / "black.lis").write_bytes("\r\n".join(black).encode("ascii", "replace"))
    (out / "white.lis").write_bytes("\r\n".join(white).encode("ascii"))
    (out / "urls.txt").write_bytes(("\n".join(urls) + "\n").encode("ascii", "replace"))
    filters = ["[Adblock Plus 2.0]", "! Title: the benchmark's black list", "! Expires: 4 days"]
    filters += ["||%s^" % host.lower() for host in black]
    (out / "filters.txt").write_bytes(("\n".join(filters) + "\n").encode("ascii", "replace"))
    hosts = synthetic_hosts_file(FILTER_LIST_HOSTS - len(black), black)
    (out / "hosts.txt").write_bytes(("\r\n".join(hosts) + "\r\n").encode("ascii"))
    print("%d black, %d white lines, %d addresses, %d filter-list hosts in %s" %
          (len(black), len(white), len(urls), FILTER_LIST_HOSTS, out))


if __name__ == "__main__":
    main()
