#include "FireRandom.h"

#include <cstdlib>
#include <ctime>

uint32_t g_dwFireRand = 0;

namespace {
class CrtRandomImpl final : public CRandom {
public:
    uint32_t Time() override { return static_cast<uint32_t>(std::time(nullptr)); }
    void Seed(uint32_t seed) override { std::srand(seed); }
    int32_t Rand() override { return std::rand(); }
};
}  // namespace

CRandom& CrtRandom() {
    static CrtRandomImpl random;
    return random;
}
