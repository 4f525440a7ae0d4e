#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "AboutDialog.h"
#include "Dialog.h"
#include "DlgInit.h"
#include "ModalScript.h"
#include "res/resource.h"
#include "WinTestSupport.h"

namespace {

// Initialisation data as the resource compiler lays it out: no padding between entries.
class DlgInitData {
public:
    DlgInitData& Entry(WORD id, WORD message, const std::string& bytes) {
        Put(id);
        Put(message);
        Put(static_cast<DWORD>(bytes.size()));
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    DlgInitData& End() {
        Put(WORD(0));
        return *this;
    }
    DlgInitData& Cut(std::size_t n) {
        m_bytes.resize(m_bytes.size() - n);
        return *this;
    }
    const std::vector<char>& Bytes() const { return m_bytes; }

private:
    template <typename T>
    void Put(T value) {
        const char* p = reinterpret_cast<const char*>(&value);
        m_bytes.insert(m_bytes.end(), p, p + sizeof value);
    }
    std::vector<char> m_bytes;
};

std::string Items(HWND control, UINT count, UINT getText) {
    std::string all;
    const LRESULT n = SendMessageA(control, count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = "";
        SendMessageA(control, getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        all += std::string(all.empty() ? "" : "|") + text;
    }
    return all;
}

// Commands of two controls that share notification codes with each other's kinds.
class CommandTaker : public CWnd {
public:
    std::vector<std::string> log;

protected:
    void OnButton() { log.push_back("button"); }
    void OnListChange() { log.push_back("list"); }
    void OnMenu() { log.push_back("menu"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandTaker, CWnd)
    ON_BN_CLICKED(7, OnButton)
    ON_CBN_SELCHANGE(7, OnListChange)
    ON_COMMAND(8, OnMenu)
END_MESSAGE_MAP()

TEST(Dialog, CommandsReachOnlyTheEntryOfTheirIdAndNotification) {
    HostWindow host(0, 0, 20, 20);
    CommandTaker taker;
    ASSERT_TRUE(taker.SubclassWindow(host.hwnd()));
    struct Case {
        WORD id, code;
        const char* want;
    };
    const Case cases[] = {
        {7, BN_CLICKED, "button"}, {7, CBN_SELCHANGE, "list"}, {7, CBN_DROPDOWN, ""},
        {8, 0, "menu"},            {8, 1, ""},                 {9, BN_CLICKED, ""},
    };
    for (const Case& c : cases) {
        taker.log.clear();
        SendMessageA(host.hwnd(), WM_COMMAND, MAKEWPARAM(c.id, c.code), 0);
        EXPECT_EQ(taker.log.empty() ? "" : taker.log.front(), c.want) << "id " << c.id << " code " << c.code;
        EXPECT_LE(taker.log.size(), 1u) << "id " << c.id << " code " << c.code;
    }
    taker.UnsubclassWindow();
}

TEST(Dialog, InitialisationDataFillsListsInOrderAndStopsAtBrokenData) {
    constexpr WORD kCombo = 1003, kList = 1004, kAddToCombo = 0x0403, kAddToList = 0x0401;
    const std::string wood("Wood\0", 5), gas("Natural Gas\0", 12);
    struct Case {
        const char* what;
        DlgInitData data;
        BOOL ok;
        const char* combo;
        const char* list;
    };
    const Case cases[] = {
        {"combo and list entries",
         DlgInitData().Entry(kCombo, kAddToCombo, wood).Entry(kList, kAddToList, std::string("x", 2))
             .Entry(kCombo, kAddToCombo, gas).End(),
         TRUE, "Wood|Natural Gas", "x"},
        {"nothing but the end", DlgInitData().End(), TRUE, "", ""},
        {"a message for another kind of control is skipped",
         DlgInitData().Entry(kCombo, 0x1234, std::string(12, 'z')).Entry(kCombo, kAddToCombo, wood).End(), TRUE,
         "Wood", ""},
        {"text without its terminator ends with the entry",
         DlgInitData().Entry(kCombo, kAddToCombo, "Gas").Entry(kCombo, kAddToCombo, wood).End(), TRUE, "Gas|Wood", ""},
        {"a control the dialog lacks",
         DlgInitData().Entry(999, kAddToCombo, wood).Entry(kCombo, kAddToCombo, gas).End(), FALSE, "Natural Gas", ""},
        {"no end marker", DlgInitData().Entry(kCombo, kAddToCombo, wood), FALSE, "Wood", ""},
        {"a length past the end",
         DlgInitData().Entry(kCombo, kAddToCombo, wood).Entry(kCombo, kAddToCombo, gas).Cut(3), FALSE, "Wood", ""},
        {"a header cut short", DlgInitData().Entry(kCombo, kAddToCombo, wood).End().Cut(1), FALSE, "Wood", ""},
    };
    for (const Case& c : cases) {
        HostWindow dialog(0, 0, 200, 200);
        const HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 100, 80, dialog.hwnd(),
                                           reinterpret_cast<HMENU>(kCombo), GetModuleHandleA(nullptr), nullptr);
        const HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 100, 100, 80, dialog.hwnd(),
                                          reinterpret_cast<HMENU>(kList), GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(combo && list) << c.what;
        const std::vector<char>& bytes = c.data.Bytes();
        EXPECT_EQ(AfxExecuteDlgInit(dialog.hwnd(), bytes.data(), bytes.size()), c.ok) << c.what;
        EXPECT_EQ(Items(combo, CB_GETCOUNT, CB_GETLBTEXT), c.combo) << c.what;
        EXPECT_EQ(Items(list, LB_GETCOUNT, LB_GETTEXT), c.list) << c.what;
    }
}

TEST(Dialog, AMissingTemplateEndsAtOnceAndTheNextDialogIsLinkedFromItsFirstMessage) {
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.m_hWnd, nullptr);

    AboutDialog about;
    HWND box = nullptr;
    ModalScript script;
    script.Then("the About box is up", [&] { return (box = FindThreadDialog("About Saver")) != nullptr; })
        .Then("it belongs to the object", [&] {
            EXPECT_EQ(CWnd::FromHandlePermanent(box), &about);
            EXPECT_EQ(about.m_hWnd, box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
    script.Start();
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished()) << "stuck at: " << script.Stuck();
    EXPECT_EQ(about.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(box));
}

// Two integer fields of the settings template, with their own values.
class FieldsDialog : public CDialog {
public:
    FieldsDialog() : CDialog(IDD_CONFIG) {}
    int width = 3;
    int speed = 9;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_FLYWIDTH, width);
        DDV_MinMaxInt(pDX, width, 1, 10);
        DDX_Text(pDX, IDC_FLYSPEED, speed);
        DDV_MinMaxInt(pDX, speed, 5, 20);
    }
};

TEST(Dialog, ARefusedFieldIsReportedFocusedAndSelectedAndTheRestOfTheExchangeIsSkipped) {
    FieldsDialog dialog;
    struct Attempt {
        const char* width;
        const char* speed;
        const char* message;  // null: accepted
    };
    const Attempt attempts[] = {
        {"0", "7", "Please enter an integer between 1 and 10."},
        {" 4x", "7", "Please enter an integer."},
        {"4", "21", "Please enter an integer between 5 and 20."},
        {" 4 ", "+7", nullptr},
    };
    std::size_t refusals = 0;
    HWND box = nullptr;
    std::vector<std::string> seen;
    ModalScript script;
    script.Then("the dialog is up", [&] { return dialog.m_hWnd && IsWindowVisible(dialog.m_hWnd); })
        .Then("loaded", [&] {
            char text[16] = "";
            GetDlgItemTextA(dialog.m_hWnd, IDC_FLYWIDTH, text, sizeof text);
            EXPECT_STREQ(text, "3");
            GetDlgItemTextA(dialog.m_hWnd, IDC_FLYSPEED, text, sizeof text);
            EXPECT_STREQ(text, "9");
            return true;
        });
    for (const Attempt& a : attempts) {
        script.Then(std::string("typed ") + a.width + " and " + a.speed, [&, a] {
            SetDlgItemTextA(dialog.m_hWnd, IDC_FLYWIDTH, a.width);
            SetDlgItemTextA(dialog.m_hWnd, IDC_FLYSPEED, a.speed);
            PostMessageA(dialog.m_hWnd, WM_COMMAND, IDOK, 0);
            return true;
        });
        if (!a.message) continue;
        script.Then(std::string("the message for ") + a.width + " and " + a.speed, [&, a] {
            box = nullptr;
            for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
                if (h != dialog.m_hWnd && GetWindow(h, GW_OWNER) == dialog.m_hWnd && IsWindowVisible(h)) box = h;
            if (!box) return false;
            char text[128] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
            seen.push_back(text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        script.Then(std::string("back in the dialog after ") + a.width + " and " + a.speed, [&, a] {
            if (IsWindow(box)) return false;
            const int field = std::strstr(a.message, "5 and 20") ? IDC_FLYSPEED : IDC_FLYWIDTH;
            const HWND edit = GetDlgItem(dialog.m_hWnd, field);
            EXPECT_EQ(GetFocus(), edit) << a.message;
            const DWORD selection = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
            EXPECT_EQ(LOWORD(selection), 0) << a.message;
            EXPECT_EQ(HIWORD(selection), GetWindowTextLengthA(edit)) << a.message;
            EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd)) << "the dialog stays open";
            if (field == IDC_FLYWIDTH) {
                EXPECT_EQ(dialog.speed, 9) << a.message << ": the speed was not exchanged";
            }
            return true;
        });
        ++refusals;
    }
    script.Start();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(script.Finished()) << "stuck at: " << script.Stuck();
    ASSERT_EQ(seen.size(), refusals);
    for (std::size_t i = 0; i < refusals; ++i) EXPECT_EQ(seen[i], attempts[i].message) << "attempt " << i;
    EXPECT_EQ(dialog.width, 4);
    EXPECT_EQ(dialog.speed, 7);
}

}  // namespace
