#include "core/ad_tables.h"

#include <algorithm>
#include <array>
#include <vector>

namespace nimbrel {

namespace {

// Only these drive letters are treated as local: not b, and none of i to y.
constexpr std::array<std::string_view, 9> kLocalMarkers = {
    "file://", "a:\\", "c:\\", "d:\\", "e:\\", "f:\\", "g:\\", "h:\\", "z:\\",
};

// clang-format off
constexpr std::array<std::string_view, 59> kHosts = {
    // bare words and fragments
    "doubleclick", "link4ads", "10155$", "w10.",
    // host-name prefix
    "www.adclick.",
    // advertising networks
    "fastclick.net", "valueclick.com", "atdmt.com", "advertising.com", "burstnet.com",
    "tribalfusion.com", "casalemedia.com", "mediaplex.com", "bluestreak.com", "247realmedia.com",
    "adbureau.net", "adforce.net", "flycast.com", "linkexchange.com", "zedo.com",
    "adrevolver.com", "exitexchange.com", "allyes.com", "falkag.net", "adbrite.com",
    "adknowledge.com",
    // ad-funded hosting
    "hypermart.net", "freeservers.com", "50megs.com", "virtualave.net",
    // affiliate networks
    "linkshare.com", "linksynergy.com", "qksrv.net", "clickbank.net",
    // a portal's banner rotator, with path and query
    "rotator.sina.com.cn/cgi-bin/rotate.cgi?pos=",
    // ad servers by number: whole addresses, then three-part prefixes
    "216.73.87.150", "216.73.93.70", "208.184.29.140", "208.185.54.14", "64.154.80.50",
    "64.154.80.51", "66.28.200.31", "209.225.0.6", "204.253.104.95", "206.65.183.20",
    "205.180.85.40", "209.67.78.202", "209.185.222.45", "207.178.253.10", "208.178.163.56",
    "63.215.128.84", "64.124.182.70", "66.150.14.99", "211.101.151.35", "218.30.108.200",
    "61.135.131.91", "202.108.36.150",
    "12.130.60.", "63.211.210.",
};
// clang-format on

constexpr std::array<std::string_view, 14> kPaths = {
    "/banner", "/banners/", "/smartbanner/", "/pop-",  "/pop/", "/popme", "popup",
    "popdown", "/ad_",      "pop-up",        "go2net", "/ad.",  "/ad/",   "/ads/",
};

constexpr std::array<std::string_view, 11> kWords = {
    "ad1", "ad2", "ad3", "ad4", "ad5", "ad6", "ad_", "dollars.", "/ad.s/", "advertising", "/ads",
};

std::vector<std::string> upperCopies(std::span<const std::string_view> entries) {
    std::vector<std::string> result;
    result.reserve(entries.size());
    for (std::string_view entry : entries) {
        result.push_back(upperCase(CodePage::singleByte(), entry));
    }
    return result;
}

// Upper-cased once per process; the tables are plain ASCII.
const std::vector<std::string>& upperEntries(AdTable table) {
    static const std::array<std::vector<std::string>, 4> tables = {
        upperCopies(kLocalMarkers),
        upperCopies(kHosts),
        upperCopies(kPaths),
        upperCopies(kWords),
    };
    return tables[static_cast<std::size_t>(table)];
}

}  // namespace

std::span<const std::string_view> tableEntries(AdTable table) {
    switch (table) {
        case AdTable::localMarkers: return kLocalMarkers;
        case AdTable::hosts: return kHosts;
        case AdTable::paths: return kPaths;
        case AdTable::words: return kWords;
    }
    return {};
}

bool containsAnyEntry(const SearchText& address, AdTable table) {
    const std::vector<std::string>& entries = upperEntries(table);
    return std::any_of(entries.begin(), entries.end(),
                       [&address](const std::string& entry) { return address.contains(entry); });
}

std::string_view firstEntryFound(const SearchText& address, AdTable table) {
    const std::vector<std::string>& entries = upperEntries(table);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (address.contains(entries[i])) return tableEntries(table)[i];
    return {};
}

}  // namespace nimbrel
