#pragma once
// Write access to an engine's state, for tests that set up a fire by hand.
#include "FireEngine.h"

struct FireEngineTestAccess {
    static FireState& State(FireEngine& engine) { return engine; }
    static FireParams& Params(FireEngine& engine) { return engine.m_params; }
    static void Attach(FireEngine& engine, const FireBuffers& buffers) { engine.AttachBuffers(buffers); }
};

inline FireState& Edit(FireEngine& engine) { return FireEngineTestAccess::State(engine); }
inline FireParams& EditParams(FireEngine& engine) { return FireEngineTestAccess::Params(engine); }
// Buffers of the test's own in place of the platform's.
inline void Attach(FireEngine& engine, const FireBuffers& buffers) { FireEngineTestAccess::Attach(engine, buffers); }
