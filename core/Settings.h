#pragma once
// The six per-user settings, described once: their names in the store, the value a fire
// window reads when nothing is stored, the values a user may pick, and for every place that
// reads them, the order of its reads. The registry code, the dialog, the Linux hack and the
// tests all take them from here.
#include <array>
#include <cstddef>
#include <cstdint>

enum class SettingId { BlankScreen, SmoothFire, FireType, DrawFly, FlyWidth, FlySpeed };

constexpr std::size_t kSettingCount = 6;
constexpr const char* kSettingsSection = "Config";

struct SettingDescription {
    SettingId id;
    const char* name;  // the value's name in the store
    int32_t fallback;  // what a fire window reads when the value is absent
    // The values a user may pick (the dialog's range checks, the hack's options). Readers
    // take a stored value as it is, inside these or not.
    int32_t low;
    int32_t high;
};

// One row per setting, in SettingId order.
inline constexpr std::array<SettingDescription, kSettingCount> kSettings = {{
    {SettingId::BlankScreen, "BlankScreen", 0, 0, 1},
    {SettingId::SmoothFire, "SmoothFire", 0, 0, 1},
    {SettingId::FireType, "FireType", 0, 0, 2},  // Wood, Kryptonite, Natural Gas
    {SettingId::DrawFly, "DrawFly", 0, 0, 1},
    {SettingId::FlyWidth, "FlyWidth", 0, 1, 10},
    {SettingId::FlySpeed, "FlySpeed", 5, 5, 20},
}};

constexpr const SettingDescription& Describe(SettingId id) { return kSettings[static_cast<std::size_t>(id)]; }

constexpr bool RowsInIdOrder() {
    for (std::size_t n = 0; n < kSettingCount; ++n)
        if (kSettings[n].id != static_cast<SettingId>(n)) return false;
    return true;
}
static_assert(RowsInIdOrder(), "Describe() finds a setting's row by its id");

const char* SettingName(SettingId id);

// One integer per setting, indexed by SettingId.
struct SettingValues {
    std::array<int32_t, kSettingCount> value{};
    int32_t& operator[](SettingId id) { return value[static_cast<std::size_t>(id)]; }
    int32_t operator[](SettingId id) const { return value[static_cast<std::size_t>(id)]; }
};

struct SettingRead {
    SettingId id;
    int32_t fallback;  // what the store returns when the value is absent
};

// A read with the setting's own fallback, or with the one a reader gives instead.
constexpr SettingRead Read(SettingId id) { return {id, Describe(id).fallback}; }
constexpr SettingRead Read(SettingId id, int32_t fallback) { return {id, fallback}; }

// One reader's reads, in order: exactly those it makes.
class SettingsReader {
public:
    constexpr SettingsReader() = default;
    template <std::size_t N>
    constexpr SettingsReader(const SettingRead (&reads)[N]) : m_reads(reads), m_count(N) {}

    constexpr const SettingRead* begin() const { return m_reads; }
    constexpr const SettingRead* end() const { return m_reads + m_count; }

private:
    const SettingRead* m_reads = nullptr;
    std::size_t m_count = 0;
};

// Every fire window's constructor.
extern const SettingsReader kFireWndReads;
// Preview mode start-up, after the constructor.
extern const SettingsReader kPreviewReads;
// Full-screen start-up, after the constructor; FlySpeed is not read again.
extern const SettingsReader kFullScreenReads;
// The settings dialog.
extern const SettingsReader kDialogReads;
// The dialog's writes on OK, in order.
extern const std::array<SettingId, kSettingCount> kDialogWrites;

// The per-user store: the registry in the program, a map in tests and tools.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual int32_t GetInt(const char* section, const char* name, int32_t fallback) = 0;
    virtual bool WriteInt(const char* section, const char* name, int32_t value) = 0;
};

// Runs the reads in order into `values`; settings the reader skips keep their value.
// Values are taken as stored: nothing is clamped.
void ReadSettings(const SettingsReader& reader, SettingsStore& store, SettingValues& values);

// A record that holds the six settings as named members, listed in SettingId order; the
// copies between such a record and SettingValues are written once, here.
template <class Record>
using SettingFields = std::array<int32_t Record::*, kSettingCount>;

template <class Record>
SettingValues SettingsOf(const Record& record, const SettingFields<Record>& fields) {
    SettingValues v;
    for (std::size_t n = 0; n < kSettingCount; ++n) v.value[n] = record.*fields[n];
    return v;
}

template <class Record>
void SetSettings(Record& record, const SettingFields<Record>& fields, const SettingValues& v) {
    for (std::size_t n = 0; n < kSettingCount; ++n) record.*fields[n] = v.value[n];
}

// Writes all six in the dialog's order.
void WriteSettings(SettingsStore& store, const SettingValues& values);
