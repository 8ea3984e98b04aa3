// quorlix-settings-bench: how long the defaults store takes to read large defaults files, as the
// window's start and `quorlix-cli defaults` read them. Each shape is written to a scratch file,
// then opened by a fresh SettingsStore (read, parse, find the defaults key) and parsed alone;
// the best of three runs (--rounds N: of N) is shown. Exit status 1 when a shape takes longer than
// its target.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/registry_text.h"
#include "platform/run_folder.h"
#include "platform/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kTargetSeconds = 1.0;

const char kHeader[] = "Windows Registry Editor Version 5.00\r\n\r\n";
const char kDefaultsKey[] = "[HKEY_CURRENT_USER\\SOFTWARE\\dorvane\\fennimorpro]\r\n";

// A defaults file holding `count` values named name0, name1, ... in the defaults key.
std::string ManyValues(int count) {
    std::string text = std::string(kHeader) + kDefaultsKey;
    for (int i = 0; i < count; ++i) {
        text += "\"name" + std::to_string(i) + "\"=\"value " + std::to_string(i) + "\"\r\n";
    }
    return text;
}

// A file holding `count` keys of one value each, the defaults key last.
std::string ManyKeys(int count) {
    std::string text = kHeader;
    for (int i = 0; i < count; ++i) {
        text += "[HKEY_CURRENT_USER\\SOFTWARE\\other\\key" + std::to_string(i) +
                "]\r\n\"opwidth\"=\"640\"\r\n\r\n";
    }
    return text + kDefaultsKey + "\"opwidth\"=\"800\"\r\n";
}

double BestSeconds(int rounds, const std::function<void()>& run) {
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        run();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

struct Shape {
    const char* name;
    std::string text;
};

// Times one shape; false when it misses the target.
bool Measure(const Shape& shape, const std::string& folder, int rounds) {
    const std::string path = folder + "/fennimorpro.reg";
    quorlix::File file = quorlix::File::Open(path, quorlix::File::Mode::CreateTruncate);
    file.WriteAll(shape.text.data(), shape.text.size());
    file.Close();
    const double open = BestSeconds(rounds, [&] {
        quorlix::SettingsStore store(path);
        store.Open();
    });
    const double parse = BestSeconds(rounds, [&] { (void)quorlix::ParseRegistryText(shape.text); });
    std::printf("%-34s %8.2f MB  open %8.3f s  parse %8.3f s  %s\n", shape.name,
                static_cast<double>(shape.text.size()) / 1e6, open, parse,
                open <= kTargetSeconds ? "ok" : "MISSED");
    std::fflush(stdout);
    return open <= kTargetSeconds;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const int rounds = argc == 3 && std::string(argv[1]) == "--rounds" ? std::stoi(argv[2]) : 3;
        if (argc != 1 && argc != 3) {
            std::fprintf(stderr, "usage: quorlix-settings-bench [--rounds N]\n");
            return 2;
        }
        const quorlix::RunFolder folder(quorlix::NewRunFolderPath());
        const std::vector<Shape> shapes = {
            {"40,000 values in the defaults key", ManyValues(40000)},
            {"100,000 values in the defaults key", ManyValues(100000)},
            {"160,000 values in one key", ManyValues(160000)},
            {"100,000 keys", ManyKeys(100000)},
        };
        std::printf("Reading a defaults file (target: at most %.1f s each)\n", kTargetSeconds);
        bool met = true;
        for (const Shape& shape : shapes) {
            met = Measure(shape, folder.path(), rounds) && met;
        }
        return met ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorlix-settings-bench: %s\n", e.what());
        return 2;
    }
}
