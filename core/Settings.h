#pragma once
// The six per-user settings: their names, their section and, for every place that
// reads them, the order of the reads and the value used when nothing is stored.
// Held once here so that the registry code, the dialog and the tests agree.
#include <array>
#include <cstddef>
#include <cstdint>

enum class SettingId { BlankScreen, SmoothFire, FireType, DrawFly, FlyWidth, FlySpeed };

constexpr std::size_t kSettingCount = 6;
constexpr const char* kSettingsSection = "Config";

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

// An ordered list of reads; readers differ in order, defaults and in what they skip.
struct SettingsReader {
    std::array<SettingRead, kSettingCount> reads;
    std::size_t count;
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
