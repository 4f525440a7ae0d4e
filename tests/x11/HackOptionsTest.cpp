#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "HackOptions.h"

namespace {

ParsedHackOptions Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "kindlewick");
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    return ParseHackOptions(int(argv.size()), argv.data());
}

std::string Show(const std::vector<std::string>& args) {
    std::string s;
    for (const std::string& a : args) s += " " + a;
    return s;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The value an option's row puts into the parsed options.
int64_t FieldOf(const HackOptions& o, const HackOption& row) {
    return row.field == OptionField::Setting ? o.settings[row.setting] : int64_t(o.delayMicroseconds);
}

// The elements of XScreenSaver's description of the hack, in order, with their attributes.
struct Element {
    std::string tag;
    std::map<std::string, std::string> attributes;
};

std::vector<Element> Elements(const std::string& xml) {
    std::vector<Element> elements;
    const std::regex tag(R"re(<([a-z_-]+)((\s+[a-z_-]+="[^"]*")*)\s*/?>)re");
    const std::regex attribute(R"re(([a-z_-]+)="([^"]*)")re");
    for (std::sregex_iterator t(xml.begin(), xml.end(), tag), end; t != end; ++t) {
        Element e{(*t)[1], {}};
        const std::string list = (*t)[2];
        for (std::sregex_iterator a(list.begin(), list.end(), attribute); a != end; ++a) e.attributes[(*a)[1]] = (*a)[2];
        elements.push_back(e);
    }
    return elements;
}

// The man page's OPTIONS, by option name: the text under each.
std::map<std::string, std::string> ManOptions(const std::string& man) {
    std::map<std::string, std::string> options;
    const std::size_t from = man.find(".SH OPTIONS"), to = man.find("\n.SH ", from + 1);
    std::istringstream in(man.substr(from, to - from));
    std::string line, name;
    const std::regex head(R"(^\.BI? \\-\\-([a-z\\-]+).*)");
    for (std::smatch m; std::getline(in, line);) {
        if (std::regex_match(line, m, head)) {
            name = std::regex_replace(m[1].str(), std::regex(R"(\\-)"), "-");
            options[name];
        } else if (!name.empty() && line.rfind(".TP", 0) != 0) {
            options[name] += line + " ";
        }
    }
    return options;
}

TEST(HackOptions, EveryOptionWithOneOrTwoDashes) {
    for (const char* dash : {"-", "--"}) {
        const std::string d = dash;
        const ParsedHackOptions p = Parse({d + "root", d + "fire-type", "gas", d + "blank", d + "smooth", d + "firefly",
                                           d + "fly-width", "10", d + "fly-speed", "20", d + "delay", "0", d + "help"});
        ASSERT_EQ(p.error, "") << "with " << dash;
        const HackOptions& o = p.options;
        EXPECT_EQ(o.target, DrawTarget::Root) << "with " << dash;
        const SettingValues want = {{1, 1, 2, 1, 10, 20}};
        EXPECT_EQ(o.settings.value, want.value) << "with " << dash;
        EXPECT_TRUE(o.help) << "with " << dash;
        EXPECT_EQ(o.delayMicroseconds, 0u);
    }
}

TEST(HackOptions, WindowIdWinsOverRootInEitherOrder) {
    const std::vector<std::vector<std::string>> cases = {
        {"--root", "--window-id", "0x1a00003"}, {"-window-id", "27262979", "-root"}, {"--window-id", "0X1A00003"}};
    for (const auto& args : cases) {
        const ParsedHackOptions p = Parse(args);
        ASSERT_EQ(p.error, "") << Show(args);
        EXPECT_EQ(p.options.target, DrawTarget::WindowId) << Show(args);
        EXPECT_EQ(p.options.windowId, 0x1a00003u) << Show(args);
    }
}

TEST(HackOptions, WindowIds) {
    const std::pair<const char*, uint32_t> good[] = {
        {"1", 1}, {"0x1", 1}, {"4294967295", 0xFFFFFFFFu}, {"0xffffffff", 0xFFFFFFFFu}, {"0xAbC", 0xABC}};
    for (const auto& [text, want] : good) EXPECT_EQ(ParseWindowId(text).value_or(0), want) << text;
    for (const char* bad : {"", "0", "0x", "0x0", "4294967296", "0x100000000", "-5", "+5", "12 ", " 12", "1e3", "0x1g",
                            "abc", "99999999999999999999999"})
        EXPECT_FALSE(ParseWindowId(bad).has_value()) << "'" << bad << "'";
}

TEST(HackOptions, BadArgumentsGiveOneLine) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},           {"---root"},           {"root"},
        {"-"},                 {"--"},                {"--window-id"},
        {"--window-id", "0"},  {"--window-id", "x"},  {"--fire-type"},
        {"--fire-type", "Wood"}, {"--fire-type", "1"}, {"--fly-width", "0"},
        {"--fly-width", "11"}, {"--fly-speed", "4"},  {"--fly-speed", "21"},
        {"--fly-speed", "5x"}, {"--delay", "-1"},     {"--delay", "10000001"},
        {"--delay"},           {"--root", "extra"}};
    for (const auto& args : cases) {
        const ParsedHackOptions p = Parse(args);
        EXPECT_NE(p.error, "") << Show(args);
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << Show(args) << " gave: " << p.error;
    }
}

// What XScreenSaver's settings program can produce from the description parses to what it
// shows, a default adds nothing to the command line, and the usage text and the man page
// tell the same ranges and defaults.
TEST(HackOptions, AgreeWithTheConfigurationFileAndTheManPage) {
    const std::string xml = ReadFile(KW_X11_SOURCE_DIR "/kindlewick.xml");
    const std::string man = ReadFile(KW_X11_SOURCE_DIR "/kindlewick.6x");
    ASSERT_FALSE(xml.empty() || man.empty()) << "read from " << KW_X11_SOURCE_DIR;
    const ParsedHackOptions none = Parse({});
    ASSERT_EQ(none.error, "");
    EXPECT_EQ(none.options.target, DrawTarget::OwnWindow);
    EXPECT_FALSE(none.options.help);
    const std::string usage = HackUsage();
    const auto usageLine = [&](const std::string& id) {
        const std::size_t at = usage.find("  --" + id + " ");
        return at == std::string::npos ? std::string() : usage.substr(at, usage.find('\n', at) - at);
    };
    const std::map<std::string, std::string> manual = ManOptions(man);

    std::vector<std::string> offered;
    const HackOption* select = nullptr;
    int64_t choice = 0;
    for (const Element& e : Elements(xml)) {
        const auto attribute = [&](const char* name) {
            const auto found = e.attributes.find(name);
            return found == e.attributes.end() ? std::string() : found->second;
        };
        const std::string id = attribute("id");
        const HackOption* row = FindHackOption(id);
        if (e.tag == "command") {
            const ParsedHackOptions p = Parse(Words(attribute("arg")));
            EXPECT_EQ(p.error, "") << "command " << attribute("arg");
            EXPECT_EQ(p.options.target, DrawTarget::Root) << "command " << attribute("arg");
        } else if (e.tag == "select") {
            ASSERT_TRUE(row && row->kind == OptionKind::Choice) << "select " << id;
            select = row;
            choice = row->low;
            offered.push_back(id);
            EXPECT_TRUE(Has(usageLine(id), std::string(row->choices[row->fallback - row->low]) + " (default)"))
                << usageLine(id);
        } else if (e.tag == "option") {
            ASSERT_TRUE(select && choice <= select->high) << "option " << id << " beyond the hack's choices";
            EXPECT_EQ(id, select->choices[choice - select->low]) << "option " << choice << " of " << select->name;
            // The option without arguments is the one a select shows when nothing is given.
            const ParsedHackOptions p = Parse(Words(attribute("arg-set")));
            EXPECT_EQ(p.error, "") << "option " << id;
            EXPECT_EQ(FieldOf(p.options, *select), choice) << "option " << id;
            EXPECT_EQ(attribute("arg-set").empty(), choice == select->fallback) << "option " << id;
            ++choice;
        } else if (e.tag == "boolean") {
            ASSERT_TRUE(row && row->kind == OptionKind::Switch) << "boolean " << id;
            offered.push_back(id);
            EXPECT_EQ(attribute("arg-set"), "--" + id);
            EXPECT_EQ(FieldOf(none.options, *row), 0) << "boolean " << id << " unset";
            EXPECT_EQ(FieldOf(Parse({"--" + id}).options, *row), 1) << "boolean " << id << " set";
        } else if (e.tag == "number") {
            ASSERT_TRUE(row && row->kind == OptionKind::Number) << "number " << id;
            offered.push_back(id);
            EXPECT_EQ(attribute("arg"), "--" + id + " %");
            const int64_t low = std::stoll(attribute("low")), high = std::stoll(attribute("high"));
            const int64_t fallback = std::stoll(attribute("default"));
            EXPECT_EQ(fallback, row->fallback) << "number " << id;
            EXPECT_EQ(FieldOf(none.options, *row), fallback) << "number " << id << " not given";
            // A setting offers what the settings dialog lets a user store; the hack's own
            // options may offer less than they take.
            if (row->field == OptionField::Setting) {
                EXPECT_EQ(low, row->low) << "number " << id;
                EXPECT_EQ(high, row->high) << "number " << id;
            }
            for (const int64_t v : {low, high}) {
                const ParsedHackOptions p = Parse({"--" + id, std::to_string(v)});
                EXPECT_EQ(p.error, "") << "number " << id << " at " << v;
                EXPECT_EQ(FieldOf(p.options, *row), v) << "number " << id;
            }
            EXPECT_TRUE(Has(usageLine(id), "(" + std::to_string(fallback) + ")")) << usageLine(id);
        }
    }
    EXPECT_EQ(select ? choice : -1, select ? select->high + 1 : -1) << "options of the select";

    for (const HackOption& row : AllHackOptions()) {
        if (!row.help) continue;
        if (row.field == OptionField::Setting) {
            EXPECT_TRUE(std::find(offered.begin(), offered.end(), row.name) != offered.end())
                << row.name << " is missing from the description";
        }
        const auto entry = manual.find(row.name);
        ASSERT_TRUE(entry != manual.end()) << row.name << " is missing from the man page";
        const std::string& text = entry->second;
        if (row.kind == OptionKind::Number) {
            EXPECT_TRUE(Has(text, "default " + std::to_string(row.fallback))) << row.name << ": " << text;
            if (row.field == OptionField::Setting) {
                EXPECT_TRUE(Has(text, std::to_string(row.low) + " to " + std::to_string(row.high)))
                    << row.name << ": " << text;
            }
        }
        if (row.kind == OptionKind::Choice) {
            // The default's name, up to the next name, says that it is the default.
            const std::size_t at = text.find(std::string("\\fB") + row.choices[row.fallback - row.low] + "\\fP");
            const std::string told = at == std::string::npos ? "" : text.substr(at, text.find("\\fB", at + 2) - at);
            EXPECT_TRUE(Has(told, "the default")) << row.name << ": " << text;
        }
    }
    EXPECT_EQ(manual.size(), std::size_t(std::count_if(AllHackOptions().begin(), AllHackOptions().end(),
                                                       [](const HackOption& row) { return row.help != nullptr; })))
        << "options in the man page";
}

}  // namespace
