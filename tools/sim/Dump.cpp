#include "Dump.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace {
bool WriteFile(const std::filesystem::path& path, const void* data, std::size_t size, std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (size > 0) file.write(static_cast<const char*>(data), std::streamsize(size));
    file.close();
    if (!file) error = path.string() + ": cannot write";
    return bool(file);
}

std::string StateText(const FireState& e, int64_t ignitions) {
    std::ostringstream s;
    s << "m_nFrame " << e.m_nFrame << '\n'
      << "m_nBurnFrames " << e.m_nBurnFrames << '\n'
      << "m_nDyingFrames " << e.m_nDyingFrames << '\n'
      << "m_nFireHeight " << e.m_nFireHeight << '\n'
      << "m_nBaseWidth " << e.m_nBaseWidth << '\n'
      << "m_nMaxBaseWidth " << e.m_nMaxBaseWidth << '\n'
      << "m_nDecay " << e.m_nDecay << '\n'
      << "m_nFuel " << e.m_nFuel << '\n'
      << "m_bBurning " << e.m_bBurning << '\n'
      << "m_bFinished " << e.m_bFinished << '\n'
      << "m_ptFire.x " << e.m_ptFire.x << '\n'
      << "m_ptFire.y " << e.m_ptFire.y << '\n'
      << "m_ptBlit.x " << e.m_ptBlit.x << '\n'
      << "m_ptBlit.y " << e.m_ptBlit.y << '\n'
      << "m_cxFire " << e.m_cxFire << '\n'
      << "m_cyFire " << e.m_cyFire << '\n'
      << "m_nGlow " << unsigned(e.m_nGlow) << '\n'
      << "g_dwFireRand " << g_dwFireRand << '\n'
      << "ignitions " << ignitions << '\n';
    return s.str();
}
}  // namespace

bool WriteDump(const std::string& dir, const FireState& engine, int64_t ignitions, std::string& error) {
    const std::filesystem::path root(dir);
    std::error_code code;
    std::filesystem::create_directories(root, code);
    if (code) {
        error = dir + ": " + code.message();
        return false;
    }
    // Missing surfaces (a window too large to get any) are written as empty files.
    const bool surfaces = engine.m_pHeatBits && engine.m_pOutBits && engine.m_pBackBits && engine.m_cyFire > 0;
    const std::size_t size = surfaces ? std::size_t(engine.Stride()) * std::size_t(engine.m_cyFire) : 0;
    const std::size_t baseSize = engine.m_pBaseLine ? std::size_t(engine.m_cxFire) : 0;
    const std::string state = StateText(engine, ignitions);
    return WriteFile(root / "heat.bin", engine.m_pHeatBits, size, error) &&
           WriteFile(root / "out.bin", engine.m_pOutBits, size, error) &&
           WriteFile(root / "back.bin", engine.m_pBackBits, size, error) &&
           WriteFile(root / "base.bin", engine.m_pBaseLine.get(), baseSize, error) &&
           WriteFile(root / "state.txt", state.data(), state.size(), error);
}
