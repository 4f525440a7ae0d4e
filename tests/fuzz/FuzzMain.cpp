// fire_fuzz: a fixed number of random fire-engine cases from one seed.
//   fire_fuzz [--seed S] [--cases N]   run N cases from seed S (default: a fresh seed, printed)
//   fire_fuzz --case C                 replay one case with a line per step
// KW_FUZZ_SEED in the environment fixes the seed of a run. A failing case prints its replay
// line before the process ends, whether a check, a signal or a sanitizer ended it.
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "FuzzCase.h"

#if defined(KW_FUZZ_SANITIZED)
// The sanitizers abort on their first report, so that the replay line follows it.
extern "C" const char* __asan_default_options() { return "abort_on_error=1"; }
extern "C" const char* __ubsan_default_options() { return "abort_on_error=1:print_stacktrace=1"; }
#endif

namespace {

constexpr long kDefaultCases = 400;

// Prepared before each case so that a dying process only has to write it out.
char g_replay[128] = "";

void PrintReplay() {
    const ssize_t ignored = write(STDERR_FILENO, g_replay, std::strlen(g_replay));
    (void)ignored;
}

void OnFatalSignal(int sig) {
    PrintReplay();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

bool ParseUnsigned(const char* text, uint64_t& value) {
    if (!text || !*text || *text == '-') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 0);
    return errno == 0 && *end == '\0';
}

uint64_t CaseSeed(uint64_t runSeed, uint64_t index) {
    SeededChoices mix(runSeed ^ (index * 0xD1B54A32D192ED03ull));
    return mix.Next();
}

int Usage() {
    std::fprintf(stderr, "usage: fire_fuzz [--seed S] [--cases N] | --case C\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t seed = 0;
    bool haveSeed = false;
    uint64_t cases = kDefaultCases;
    uint64_t one = 0;
    bool replay = false;
    for (int n = 1; n < argc; ++n) {
        const std::string arg = argv[n];
        const char* value = n + 1 < argc ? argv[n + 1] : nullptr;
        uint64_t* target = arg == "--seed" ? &seed : arg == "--cases" ? &cases : arg == "--case" ? &one : nullptr;
        if (!target || !ParseUnsigned(value, *target)) return Usage();
        haveSeed |= arg == "--seed";
        replay |= arg == "--case";
        ++n;
    }
    if (!haveSeed && !replay) {
        if (const char* env = std::getenv("KW_FUZZ_SEED"); env && *env) {
            if (!ParseUnsigned(env, seed)) return Usage();
        } else {
            seed = (uint64_t(std::random_device{}()) << 32) ^ std::random_device{}();
        }
    }

#if defined(KW_FUZZ_SANITIZED)
    // The sanitizers keep their own handlers for the rest and abort when they are done.
    std::signal(SIGABRT, OnFatalSignal);
#else
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, OnFatalSignal);
#endif

    if (replay) {
        std::snprintf(g_replay, sizeof g_replay, "fuzz: case 0x%016llx failed\n", (unsigned long long)one);
        SeededChoices choices(one);
        const CaseStats s = RunFuzzCase(choices, true);
        std::printf("case 0x%016llx: %d steps, %d restarts, %d burns, %d firefly steps\n", (unsigned long long)one,
                    s.steps, s.restarts, s.burns, s.flights);
        return 0;
    }

    std::printf("fuzz: seed %llu, %llu cases (replay the run: fire_fuzz --seed %llu)\n", (unsigned long long)seed,
                (unsigned long long)cases, (unsigned long long)seed);
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    CaseStats total;
    for (uint64_t k = 0; k < cases; ++k) {
        const uint64_t caseSeed = CaseSeed(seed, k);
        std::snprintf(g_replay, sizeof g_replay, "fuzz: seed %llu, case %llu failed; replay: fire_fuzz --case 0x%016llx\n",
                      (unsigned long long)seed, (unsigned long long)k, (unsigned long long)caseSeed);
        SeededChoices choices(caseSeed);
        const CaseStats s = RunFuzzCase(choices, false);
        total.steps += s.steps;
        total.restarts += s.restarts;
        total.burns += s.burns;
        total.flights += s.flights;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fuzz: %llu cases passed: %d steps, %d restarts, %d burns, %d firefly steps in %.1f s\n",
                (unsigned long long)cases, total.steps, total.restarts, total.burns, total.flights, seconds);
    return 0;
}
