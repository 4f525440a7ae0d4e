#pragma once
// One random case for the fire engine: a geometry, settings, a screen and a sequence of the
// calls a fire window makes, on buffers of exactly the planned size so that the sanitizers
// see any access past them. Every choice comes from a ChoiceSource, so a seed (or the bytes
// of a coverage-guided fuzzer) replays the same case.
#include <cstddef>
#include <cstdint>

class ChoiceSource {
public:
    virtual ~ChoiceSource() = default;
    virtual uint64_t Next() = 0;
};

// splitmix64: every seed, zero included, gives a full-period sequence.
class SeededChoices final : public ChoiceSource {
public:
    explicit SeededChoices(uint64_t seed) : m_state(seed) {}
    uint64_t Next() override;

private:
    uint64_t m_state;
};

// Eight bytes of the input per choice; once they run out, a sequence seeded by all of them.
class ByteChoices final : public ChoiceSource {
public:
    ByteChoices(const uint8_t* data, std::size_t size);
    uint64_t Next() override;

private:
    const uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
    SeededChoices m_rest;
};

struct CaseStats {
    int steps = 0;
    int restarts = 0;
    int burns = 0;   // Burn calls, from ticks and direct
    int flights = 0;  // firefly steps
};

// Runs one case; a broken rule prints what was seen and aborts. `trace` prints every step.
CaseStats RunFuzzCase(ChoiceSource& choices, bool trace);
