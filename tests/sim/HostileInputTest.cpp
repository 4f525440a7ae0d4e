// The simulator against outputs and sizes a careless or hostile user might give it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status;
    std::string err;
};

// `shell` runs first in the same shell, to set limits for the simulator.
Outcome Sim(const std::vector<std::string>& args, const fs::path& dir, const std::string& shell = "") {
    std::string command = shell + "'" KW_SIM_PATH "'";
    for (const std::string& a : args) command += " '" + a + "'";
    const fs::path err = dir / "stderr";
    command += " >/dev/null 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    std::ifstream in(err);
    return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
               std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
}

fs::path FreshDir(const char* name) {
    const fs::path dir = fs::temp_directory_path() / (std::string("kw-hostile-") + name + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::set<std::string> Entries(const fs::path& dir) {
    std::set<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

bool IsCharDevice(const char* path) {
    struct stat st {};
    return stat(path, &st) == 0 && S_ISCHR(st.st_mode);
}

// Only ever through a link of our own: a regression must not take the system's device with it.
TEST(SimHostileInput, AFailedPngWriteLeavesItsTargetInPlace) {
    if (!IsCharDevice("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const fs::path dir = FreshDir("png");
    const fs::path link = dir / "full.png";
    fs::create_symlink("/dev/full", link);
    const Outcome run = Sim({"--seed", "1", "--ticks", "1", "--window", "64x48", "--png", link.string()}, dir);
    std::printf("status %d, stderr: %s", run.status, run.err.c_str());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link))) << link << " is gone";
    EXPECT_TRUE(IsCharDevice("/dev/full")) << "/dev/full is no longer a device";

    // A file that exists and can be written is replaced by the picture.
    const fs::path plain = dir / "plain.png";
    std::ofstream(plain) << "old";
    EXPECT_EQ(Sim({"--seed", "1", "--ticks", "1", "--window", "64x48", "--png", plain.string()}, dir).status, 0);
    std::ifstream png(plain, std::ios::binary);
    char magic[4] = {};
    png.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG") << plain;
    fs::remove_all(dir);
}

// A write cut short (here by the file size limit) fails with a message naming the file, and
// leaves what was there as it was, with nothing new beside it.
TEST(SimHostileInput, AWriteCutShortLeavesWhatWasThere) {
    const fs::path dir = FreshDir("cut");
    const fs::path dump = dir / "dump";
    fs::create_directories(dump);
    const std::vector<fs::path> kept = {dir / "keep.png", dir / "keep.gif", dump / "heat.bin", dump / "state.txt"};
    for (const fs::path& p : kept) std::ofstream(p) << "kept " << p.filename().string();
    std::ofstream(dir / "stderr").close();
    const std::set<std::string> entries = Entries(dir), dumped = Entries(dump);
    for (const auto& [option, target] : {std::pair{"--png", kept[0]}, {"--gif", kept[1]}, {"--dump", dump}}) {
        const Outcome run =
            Sim({"--ticks", "3", "--window", "640x480", option, target.string()}, dir, "trap '' XFSZ; ulimit -f 2; ");
        std::printf("%s: status %d, stderr: %s", option, run.status, run.err.c_str());
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.err.find(target.string()), std::string::npos) << option << ": " << run.err;
        for (const fs::path& p : kept) {
            const std::string now = Contents(p);
            EXPECT_TRUE(now == "kept " + p.filename().string()) << option << " left " << now.size() << " bytes in " << p;
        }
        EXPECT_EQ(Entries(dir), entries) << option;
        EXPECT_EQ(Entries(dump), dumped) << option;
    }
    fs::remove_all(dir);
}

TEST(SimHostileInput, SizesBeyondTheLimitsAreRefusedAtOnceWithOneLine) {
    const fs::path dir = FreshDir("sizes");
    const std::string png = (dir / "x.png").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* named;
    };
    const Case cases[] = {
        {{"--fullscreen", "--screen", "65535x65535", "--png", png}, 1, "--screen"},
        {{"--window", "40000x40000", "--png", png}, 1, "--window"},
        {{"--window", "268435456x1", "--ticks", "1"}, 1, "--window"},
        {{"--window", "32768x1", "--ticks", "1"}, 1, "--window"},
        {{"--window", "4097x4096", "--ticks", "0"}, 1, "--window"},
        {{"--fullscreen", "--screen", "1x16777217", "--ticks", "1"}, 1, "--screen"},
        {{"--fullscreen", "--screen", "65536x1", "--png", png}, 1, "--screen"},
        {{"--fullscreen", "--monitor", "1x65536+0+0", "--gif", png}, 1, "--monitor"},
        // At the limits, and a window that is not used in full screen.
        {{"--window", "4096x4096", "--ticks", "0"}, 0, ""},
        {{"--window", "32767x2", "--ticks", "2"}, 0, ""},
        {{"--fullscreen", "--screen", "16777216x1", "--window", "40000x40000", "--ticks", "2"}, 0, ""},
        {{"--fullscreen", "--screen", "65535x2", "--ticks", "0", "--png", png}, 0, ""},
    };
    for (const Case& c : cases) {
        const std::string what = ::testing::PrintToString(c.args);
        const Outcome run = Sim(c.args, dir);
        std::printf("%s: status %d, stderr: %s\n", what.c_str(), run.status, run.err.c_str());
        EXPECT_EQ(run.status, c.status) << what;
        if (c.status == 0) continue;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_FALSE(fs::exists(png)) << what << " wrote a picture";
    }
    fs::remove_all(dir);
}

}  // namespace
