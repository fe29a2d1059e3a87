// vesk-cli stopped by a signal while dot draws: dot and everything it started go with it, and
// no half-written file stays behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

extern char** environ;

namespace vesk::cli {
namespace {

// vesk-cli started as a program of its own, stderr into a file, with PATH set to `path`.
pid_t start_cli(const std::vector<std::string>& arguments, const std::string& path,
                const std::string& errors) {
    std::vector<std::string> strings = {VESK_CLI_PATH};
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : strings)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    std::vector<std::string> environment = {"PATH=" + path};
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::string(*entry).rfind("PATH=", 0) != 0) environment.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& text : environment)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child = -1;
    posix_spawn(&child, VESK_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

bool wait_for_file(const std::filesystem::path& file) {
    for (int tries = 0; tries < 600 && !std::filesystem::exists(file); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return std::filesystem::exists(file);
}

// Alive and not a zombie nobody has collected yet.
bool running(pid_t process) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string pid, name, state;
    return stat >> pid >> name >> state && state != "Z";
}

bool ends_soon(pid_t process) {
    for (int tries = 0; tries < 100 && running(process); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return !running(process);
}

class Interruption : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::filesystem::exists(std::filesystem::path(VESK_CLI_PATH).parent_path() / "dot"))
            GTEST_SKIP() << "a dot next to the programs would be found first";
        std::filesystem::create_directories(dir_.path() / "bin");
    }
    // A stand-in dot that writes part of its picture, notes its process id, starts a child of
    // its own and then hangs.
    void stand_in(const std::string& body) {
        dir_.write("bin/dot",
                   "#!/bin/sh\nfor a; do last=$a; done\necho partial > \"$last\"\n"
                   "echo $$ > '" +
                       (dir_.path() / "dot.pid").string() + "'\n" + body);
        std::filesystem::permissions(dir_.path() / "bin" / "dot",
                                     std::filesystem::perms::owner_all);
    }
    pid_t dot_pid() {
        std::ifstream in(dir_.path() / "dot.pid");
        pid_t pid = -1;
        in >> pid;
        return pid;
    }
    // The files of the export folder whose names hold `part`.
    std::vector<std::string> files_with(const std::string& part) {
        std::vector<std::string> found;
        for (const auto& item : std::filesystem::directory_iterator(dir_.path() / "out"))
            if (item.path().filename().string().find(part) != std::string::npos)
                found.push_back(item.path().filename().string());
        return found;
    }
    test::TempDir dir_;
};

TEST_F(Interruption, ATerminatedRunEndsDotAndItsChildrenAndLeavesNoPartialFile) {
    const std::string survivor = (dir_.path() / "survived").string();
    stand_in("(/bin/sleep 2; /usr/bin/touch '" + survivor + "') &\nwait\n");
    const std::string errors = (dir_.path() / "errors").string();
    const pid_t cli = start_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out",
                                 (dir_.path() / "out").string(), "--report", "-q"},
                                (dir_.path() / "bin").string(), errors);
    ASSERT_GT(cli, 0);
    ASSERT_TRUE(wait_for_file(dir_.path() / "dot.pid"));
    const pid_t dot = dot_pid();
    ::kill(cli, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(cli, &status, 0), cli);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_TRUE(ends_soon(dot));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_FALSE(std::filesystem::exists(survivor)) << "dot's child outlived vesk-cli";
    // The picture dot had begun, the map's drawing files and the temporary files are gone;
    // the net written before stays, and stderr says the folder is incomplete.
    EXPECT_TRUE(files_with(".tmp-").empty());
    EXPECT_TRUE(files_with(" map ").empty());
    EXPECT_TRUE(files_with(".svg").empty());
    EXPECT_FALSE(files_with(".tpn").empty());
    EXPECT_NE(test::read_file(errors).find("vesk-cli: stopped before the export into "),
              std::string::npos)
        << test::read_file(errors);
}

// SIGKILL cannot be caught: the kernel ends dot when vesk-cli dies.
TEST_F(Interruption, AKilledRunTakesDotWithIt) {
    stand_in("exec /bin/sleep 60\n");
    const pid_t cli = start_cli({"mine", VESK_EXAMPLE_LOG, "--process", "1", "--out",
                                 (dir_.path() / "out").string(), "--render", "-q"},
                                (dir_.path() / "bin").string(), (dir_.path() / "errors").string());
    ASSERT_GT(cli, 0);
    ASSERT_TRUE(wait_for_file(dir_.path() / "dot.pid"));
    ::kill(cli, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(cli, &status, 0), cli);
    EXPECT_TRUE(ends_soon(dot_pid())) << "dot outlived a killed vesk-cli";
}

}  // namespace
}  // namespace vesk::cli
