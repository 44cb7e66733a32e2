// Stands in for the proxy service's program where no shell script can run (Windows): notes the argument of
// every run in service.log beside itself, with the time of the run in milliseconds since 1970.

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const long long now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    std::string log = argv[0];
    std::size_t slash = log.find_last_of("\\/");
    log = (slash == std::string::npos ? std::string() : log.substr(0, slash + 1)) + "service.log";
    std::FILE* file = std::fopen(log.c_str(), "ab");
    if (file == nullptr) return 1;
    std::fprintf(file, "%s %lld\n", argc > 1 ? argv[1] : "", now);
    std::fclose(file);
    return 0;
}
