#include "Dump.h"

#include <filesystem>
#include <iterator>
#include <sstream>
#include <system_error>

#include "OutputFile.h"

namespace {
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
    const struct {
        const char* name;
        const void* data;
        std::size_t size;
    } parts[] = {{"heat.bin", engine.m_pHeatBits, size},
                 {"out.bin", engine.m_pOutBits, size},
                 {"back.bin", engine.m_pBackBits, size},
                 {"base.bin", engine.m_pBaseLine.get(), baseSize},
                 {"state.txt", state.data(), state.size()}};
    // Every file is written before any replaces its old one: a failed dump leaves the last.
    OutputFile files[std::size(parts)];
    for (std::size_t n = 0; n < std::size(parts); ++n)
        if (!files[n].Open((root / parts[n].name).string(), error) || !files[n].Write(parts[n].data, parts[n].size, error))
            return false;
    for (OutputFile& file : files)
        if (!file.Commit(error)) return false;
    return true;
}
