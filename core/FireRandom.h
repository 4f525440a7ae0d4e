#pragma once
// The C library's time, srand and rand, behind one seam so that tests and tools can
// supply a known generator. Every fire window of a process draws from the same one.
#include <cstdint>

class CRandom {
public:
    virtual ~CRandom() = default;
    virtual uint32_t Time() = 0;          // time(0)
    virtual void Seed(uint32_t seed) = 0;  // srand
    virtual int32_t Rand() = 0;            // rand: 0 .. RAND_MAX
};

// The process's own C runtime.
CRandom& CrtRandom();

// The Windows C runtime's generator, for hosts whose rand() differs; Time() gives a fixed seed.
class MsvcRandom final : public CRandom {
public:
    explicit MsvcRandom(uint32_t timeSeed = 0) : m_timeSeed(timeSeed) {}
    uint32_t Time() override { return m_timeSeed; }
    void Seed(uint32_t seed) override { m_state = seed; }
    int32_t Rand() override {
        m_state = m_state * 214013u + 2531011u;
        return int32_t((m_state >> 16) & 0x7FFF);
    }

private:
    uint32_t m_timeSeed;
    uint32_t m_state = 1;
};

// State of the private generator of the propagation step, shared by all fire windows.
extern uint32_t g_dwFireRand;

constexpr uint32_t StepFireRand(uint32_t state) { return state * 1664525u + 1013904223u; }
