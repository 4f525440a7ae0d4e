#pragma once
// Checks that print what they saw, one line each in the style of Wine's conformance tests,
// and a closing "N passed, N failed" line.
#include <cstdarg>
#include <cstdio>
#include <cstring>

class Checks {
public:
    explicit Checks(const char* program) : program_(program) {}

    __attribute__((format(printf, 5, 6))) bool Report(const char* file, int line, bool ok, const char* format,
                                                      ...) {
        char text[1024];
        va_list args;
        va_start(args, format);
        vsnprintf(text, sizeof text, format, args);
        va_end(args);
        const char* slash = std::strrchr(file, '/');
        std::printf("%s:%d: Test %s: %s\n", slash ? slash + 1 : file, line, ok ? "succeeded" : "failed", text);
        std::fflush(stdout);
        ++(ok ? passed_ : failed_);
        return ok;
    }

    int Finish() const {
        std::printf("%s: %d passed, %d failed\n", program_, passed_, failed_);
        std::fflush(stdout);
        return failed_ == 0 ? 0 : 1;
    }

private:
    const char* program_;
    int passed_ = 0;
    int failed_ = 0;
};

// One check, reported where it is written.
#define CHECK(checks, ok, ...) (checks).Report(__FILE__, __LINE__, (ok), __VA_ARGS__)
