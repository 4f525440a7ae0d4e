#include "Settings.h"

namespace {
using S = SettingId;
constexpr SettingRead kFireWndList[] = {Read(S::BlankScreen), Read(S::SmoothFire), Read(S::FireType),
                                        Read(S::DrawFly),     Read(S::FlyWidth),   Read(S::FlySpeed)};
constexpr SettingRead kPreviewList[] = {Read(S::BlankScreen), Read(S::SmoothFire),  Read(S::FireType),
                                        Read(S::DrawFly),     Read(S::FlyWidth, 3), Read(S::FlySpeed)};
constexpr SettingRead kFullScreenList[] = {Read(S::BlankScreen), Read(S::SmoothFire), Read(S::FireType),
                                           Read(S::DrawFly), Read(S::FlyWidth)};
constexpr SettingRead kDialogList[] = {Read(S::BlankScreen), Read(S::SmoothFire),  Read(S::DrawFly),
                                       Read(S::FireType),    Read(S::FlyWidth, 4), Read(S::FlySpeed)};
}  // namespace

const char* SettingName(SettingId id) { return Describe(id).name; }

constexpr SettingsReader kFireWndReads = kFireWndList;
constexpr SettingsReader kPreviewReads = kPreviewList;
constexpr SettingsReader kFullScreenReads = kFullScreenList;
constexpr SettingsReader kDialogReads = kDialogList;

const std::array<SettingId, kSettingCount> kDialogWrites = {S::BlankScreen, S::SmoothFire, S::DrawFly,
                                                            S::FireType,    S::FlyWidth,   S::FlySpeed};

void ReadSettings(const SettingsReader& reader, SettingsStore& store, SettingValues& values) {
    for (const SettingRead& read : reader)
        values[read.id] = store.GetInt(kSettingsSection, SettingName(read.id), read.fallback);
}

void WriteSettings(SettingsStore& store, const SettingValues& values) {
    for (const SettingId id : kDialogWrites)
        store.WriteInt(kSettingsSection, SettingName(id), values[id]);
}
