#include <gtest/gtest.h>

#include "SaverRules.h"

// Found by argument-dependent lookup, so beside SaverResponse in the global namespace.
static std::ostream& operator<<(std::ostream& os, const SaverResponse& r) {
    return os << "{close " << r.close << ", passOn " << r.passOn << ", result " << r.result << "}";
}

static bool operator==(const SaverResponse& a, const SaverResponse& b) {
    return a.close == b.close && a.passOn == b.passOn && (a.passOn || a.result == b.result);
}

namespace {

const SaverResponse kPass{false, true, 0};
const SaverResponse kClose{true, true, 0};
const SaverResponse kDrop{false, false, 0};

TEST(SaverRules, FirstMouseMoveOnlyRecordsThenAnyDifferenceCloses) {
    struct Case {
        const char* what;
        FirePoint second;
        SaverResponse want;
    };
    const Case cases[] = {
        {"same position again", {300, 200}, kPass},
        {"one pixel right", {301, 200}, kClose},
        {"one pixel up", {300, 199}, kClose},
        {"far away", {0, 0}, kClose},
    };
    for (const Case& c : cases) {
        FirePoint first = kNoMousePosition;
        EXPECT_EQ(RespondToInput(first, {SaverMessage::MouseMove, 0, {300, 200}}), kPass)
            << c.what << ": the first move must only record";
        EXPECT_EQ(first.x, 300) << c.what;
        EXPECT_EQ(first.y, 200) << c.what;
        EXPECT_EQ(RespondToInput(first, {SaverMessage::MouseMove, 0, c.second}), c.want) << c.what;
        EXPECT_EQ(first.x, 300) << c.what << ": later moves keep the first position";
    }
}

TEST(SaverRules, MessagesOtherThanMouseMoves) {
    struct Case {
        const char* what;
        SaverInput input;
        SaverResponse want;
    };
    const Case cases[] = {
        {"SC_SCREENSAVE is dropped", {SaverMessage::SysCommand, 0xF140, {}}, kDrop},
        {"SC_CLOSE is dropped", {SaverMessage::SysCommand, 0xF060, {}}, kDrop},
        {"the command is compared whole", {SaverMessage::SysCommand, 0xF061, {}}, kPass},
        {"SC_MINIMIZE passes on", {SaverMessage::SysCommand, 0xF020, {}}, kPass},
        {"SC_KEYMENU passes on", {SaverMessage::SysCommand, 0xF100, {}}, kPass},
        {"WA_INACTIVE closes", {SaverMessage::Activate, 0, {}}, kClose},
        {"WA_ACTIVE", {SaverMessage::Activate, 1, {}}, kPass},
        {"WA_CLICKACTIVE", {SaverMessage::Activate, 2, {}}, kPass},
        {"another application activated", {SaverMessage::ActivateApp, 0, {}}, kClose},
        {"this application activated", {SaverMessage::ActivateApp, 1, {}}, kPass},
        {"non-client deactivation refused", {SaverMessage::NcActivate, 0, {}}, kDrop},
        {"non-client activation", {SaverMessage::NcActivate, 1, {}}, kPass},
        {"a mouse button", {SaverMessage::ButtonDown, 0, {}}, kClose},
        {"a key", {SaverMessage::KeyDown, 0x41, {}}, kClose},
        // Alt+F4 arrives as WM_SYSKEYDOWN and closes, although its SC_CLOSE is dropped.
        {"Alt+F4", {SaverMessage::KeyDown, 0x73, {}}, kClose},
    };
    for (const Case& c : cases) {
        FirePoint first = kNoMousePosition;
        EXPECT_EQ(RespondToInput(first, c.input), c.want) << c.what;
    }
}

}  // namespace
