#include "Settings.h"

namespace {
constexpr std::array<const char*, kSettingCount> kNames = {
    "BlankScreen", "SmoothFire", "FireType", "DrawFly", "FlyWidth", "FlySpeed"};
}  // namespace

const char* SettingName(SettingId id) { return kNames[static_cast<std::size_t>(id)]; }

const SettingsReader kFireWndReads = {{{{SettingId::BlankScreen, 0},
                                        {SettingId::SmoothFire, 0},
                                        {SettingId::FireType, 0},
                                        {SettingId::DrawFly, 0},
                                        {SettingId::FlyWidth, 0},
                                        {SettingId::FlySpeed, 5}}},
                                      6};

const SettingsReader kPreviewReads = {{{{SettingId::BlankScreen, 0},
                                        {SettingId::SmoothFire, 0},
                                        {SettingId::FireType, 0},
                                        {SettingId::DrawFly, 0},
                                        {SettingId::FlyWidth, 3},
                                        {SettingId::FlySpeed, 5}}},
                                      6};

const SettingsReader kFullScreenReads = {{{{SettingId::BlankScreen, 0},
                                           {SettingId::SmoothFire, 0},
                                           {SettingId::FireType, 0},
                                           {SettingId::DrawFly, 0},
                                           {SettingId::FlyWidth, 0},
                                           {SettingId::FlySpeed, 0}}},
                                         5};

const SettingsReader kDialogReads = {{{{SettingId::BlankScreen, 0},
                                       {SettingId::SmoothFire, 0},
                                       {SettingId::DrawFly, 0},
                                       {SettingId::FireType, 0},
                                       {SettingId::FlyWidth, 4},
                                       {SettingId::FlySpeed, 5}}},
                                     6};

const std::array<SettingId, kSettingCount> kDialogWrites = {
    SettingId::BlankScreen, SettingId::SmoothFire, SettingId::DrawFly,
    SettingId::FireType,    SettingId::FlyWidth,   SettingId::FlySpeed};

void ReadSettings(const SettingsReader& reader, SettingsStore& store, SettingValues& values) {
    for (std::size_t n = 0; n < reader.count; ++n) {
        const SettingRead& read = reader.reads[n];
        values[read.id] = store.GetInt(kSettingsSection, SettingName(read.id), read.fallback);
    }
}

void WriteSettings(SettingsStore& store, const SettingValues& values) {
    for (const SettingId id : kDialogWrites)
        store.WriteInt(kSettingsSection, SettingName(id), values[id]);
}
