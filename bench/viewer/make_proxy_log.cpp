// Writes a TAB-separated proxy log of about the given size for the loader benchmark: a header line,
// then one request per line (time, user, client address, URL, bytes, status), CR LF line ends, as the
// proxy's logs on Windows have them. The same seed gives the same file.
//
//     make_proxy_log <output file> <size in bytes, or with a K, M or G suffix> [seed]

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    // splitmix64
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }

private:
    std::uint64_t state_;
};

const std::array<const char*, 24> kSyllables = {"ka",  "ro",  "mi",  "ne",  "ta", "so",  "va",  "le",
                                                "dor", "pin", "ser", "gei", "ol", "ga",  "nik", "ev",
                                                "an",  "tri", "pet", "zo",  "lu", "bor", "is",  "ma"};
const std::array<const char*, 6> kTopLevel = {".ru", ".com", ".net", ".org", ".su", ".info"};
const std::array<const char*, 12> kExtensions = {".html", ".php", ".js", ".css",  ".gif", ".jpg",
                                                 ".png",  "",     "",    ".json", ".asp", ".zip"};
const std::array<const char*, 10> kQueryKeys = {"id",   "q",          "page", "sid", "ref",
                                                "lang", "utm_source", "v",    "s",   "from"};

std::string Word(Random& random, int min_syllables, int max_syllables) {
    std::string word;
    int n =
        min_syllables + static_cast<int>(random.Below(static_cast<std::uint64_t>(max_syllables - min_syllables + 1)));
    for (int i = 0; i < n; ++i) word += kSyllables[random.Below(kSyllables.size())];
    return word;
}

struct Pools {
    std::vector<std::string> users;
    std::vector<std::string> hosts;
};

Pools MakePools(Random& random) {
    Pools pools;
    for (int i = 0; i < 400; ++i) {
        std::string user = Word(random, 2, 4);
        if (random.Chance(30)) {
            user += '_';
            user += Word(random, 1, 1);
        }
        pools.users.push_back(user);
    }
    for (int i = 0; i < 2000; ++i) {
        std::string host;
        if (random.Chance(60)) {
            host = "www.";
        } else if (random.Chance(50)) {
            host = Word(random, 1, 2);
            host += '.';
        }
        host += Word(random, 1, 4);
        host += kTopLevel[random.Below(kTopLevel.size())];
        pools.hosts.push_back(host);
    }
    return pools;
}

void AppendHex(std::string& out, Random& random, int digits) {
    static const char kHex[] = "0123456789abcdef";
    for (int i = 0; i < digits; ++i) out += kHex[random.Below(16)];
}

void AppendQuery(std::string& out, Random& random, int params, bool long_values) {
    for (int i = 0; i < params; ++i) {
        out += i == 0 ? '?' : '&';
        out += kQueryKeys[random.Below(kQueryKeys.size())];
        out += '=';
        if (long_values && random.Chance(60)) {
            AppendHex(out, random, 16 + static_cast<int>(random.Below(17)));
        } else if (random.Chance(50)) {
            out += std::to_string(random.Below(1000000));
        } else {
            out += Word(random, 1, 6);
        }
    }
}

// A URL as a browser asks for it. Pages and their pictures have short paths; static files from content
// networks carry content hashes; counters and advertising send long query strings.
void AppendUrl(std::string& out, Random& random, const Pools& pools) {
    out += random.Chance(70) ? "http://" : "https://";
    // A few popular hosts take most of the requests.
    std::size_t host = random.Chance(50) ? random.Below(40) : random.Below(pools.hosts.size());
    out += pools.hosts[host];
    int kind = static_cast<int>(random.Below(100));
    if (kind < 60) {
        int segments = static_cast<int>(random.Below(5));
        for (int i = 0; i < segments; ++i) {
            out += '/';
            out += Word(random, 1, 4);
        }
        out += '/';
        if (random.Chance(70)) {
            out += Word(random, 1, 3);
            out += kExtensions[random.Below(kExtensions.size())];
        }
        if (random.Chance(35)) AppendQuery(out, random, 1 + static_cast<int>(random.Below(4)), false);
    } else if (kind < 85) {
        out += random.Chance(50) ? "/static/" : "/images/2024/03/";
        out += Word(random, 1, 2);
        out += '.';
        AppendHex(out, random, random.Chance(50) ? 10 : 32);
        out += kExtensions[random.Below(6)];
    } else {
        out += '/';
        out += Word(random, 1, 2);
        out += random.Chance(50) ? "/collect" : "/pixel.gif";
        AppendQuery(out, random, 4 + static_cast<int>(random.Below(9)), true);
    }
}

int Status(Random& random) {
    static const std::array<std::pair<int, int>, 8> kStatuses = {
        {{200, 72}, {304, 10}, {302, 6}, {404, 5}, {403, 3}, {206, 2}, {500, 1}, {407, 1}}};
    int roll = static_cast<int>(random.Below(100));
    for (auto [status, percent] : kStatuses) {
        if (roll < percent) return status;
        roll -= percent;
    }
    return 200;
}

// Bytes of a reply: most are small pages and images, a few are downloads.
std::uint64_t ReplyBytes(Random& random, int status) {
    if (status == 304 || status == 302) return random.Below(400);
    std::uint64_t scale = random.Chance(90) ? 30000 : (random.Chance(90) ? 1000000 : 200000000);
    return 100 + random.Below(scale);
}

unsigned long long ParseSize(const char* text) {
    char* end = nullptr;
    unsigned long long size = std::strtoull(text, &end, 10);
    switch (*end) {
        case 'K':
        case 'k':
            return size << 10;
        case 'M':
        case 'm':
            return size << 20;
        case 'G':
        case 'g':
            return size << 30;
        default:
            return size;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_proxy_log <output file> <size[K|M|G]> [seed]\n");
        return 2;
    }
    const unsigned long long size = ParseSize(argv[2]);
    Random random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1);
    Pools pools = MakePools(random);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::string buffer = "Time\tUser\tClient\tURL\tBytes\tStatus\r\n";
    unsigned long long written = 0;
    std::time_t clock = 1709251200;  // 2024-03-01 00:00:00 UTC
    char field[64];
    while (written + buffer.size() < size) {
        if (random.Chance(40)) clock += static_cast<std::time_t>(random.Below(3));
        std::tm t{};
        gmtime_r(&clock, &t);
        std::snprintf(field, sizeof field, "%04d-%02d-%02d %02d:%02d:%02d\t", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, t.tm_sec);
        buffer += field;
        buffer += pools.users[random.Below(pools.users.size())];
        std::snprintf(field, sizeof field, "\t192.168.%d.%d\t", static_cast<int>(random.Below(4)),
                      1 + static_cast<int>(random.Below(254)));
        buffer += field;
        AppendUrl(buffer, random, pools);
        int status = Status(random);
        std::snprintf(field, sizeof field, "\t%llu\t%d\r\n",
                      static_cast<unsigned long long>(ReplyBytes(random, status)), status);
        buffer += field;
        if (buffer.size() >= (1u << 20)) {
            if (std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size()) {
                std::perror(argv[1]);
                return 1;
            }
            written += buffer.size();
            buffer.clear();
        }
    }
    // The file ends with the first whole line that reaches the size asked for.
    if (std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
