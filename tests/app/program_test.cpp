// The program's own ends and its one running copy, with real processes: the child runs
// what main() runs (program_child.cpp), from a folder of its own, on a settings folder
// and a runtime folder of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace quilvern::test {
namespace {

class Program {
  public:
    explicit Program(const TempDir& root) : root_(root) {}
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void Start() {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        pid_ = ::fork();
        ASSERT_GE(pid_, 0);
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::setenv("XDG_CONFIG_HOME", root_.File("config").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", root_.File("run").c_str(), 1);
            const std::string program = root_.File("program/quilvern");
            ::execl(program.c_str(), program.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        said_ = ::fdopen(out[0], "r");
    }
    // True once the child has typed and its recovery copy holds it; false when it ended
    // without saying so.
    bool Ready() {
        char line[16] = {};
        return std::fgets(line, sizeof line, said_) != nullptr && std::string(line) == "ready\n";
    }
    void Signal(int sig) const { ::kill(pid_, sig); }
    // The exit status, or -1 for an end by a signal.
    int Wait() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        if (said_ != nullptr)
            std::fclose(said_);
        said_ = nullptr;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    const TempDir& root_;
    pid_t pid_ = -1;
    FILE* said_ = nullptr;
};

// The program's folder with the child in it, its settings folder and its runtime folder.
struct Folders : TempDir {
    Folders() {
        namespace fs = std::filesystem;
        fs::create_directories(Path() / "program");
        fs::create_directories(Path() / "config");
        fs::create_directories(Path() / "run");
        fs::permissions(Path() / "run", fs::perms::owner_all, fs::perm_options::replace);
        fs::copy_file(QUILVERN_PROGRAM_CHILD, Path() / "program" / "quilvern");
    }
};

TEST(ProgramRun, EverySignalThatEndsTheProgramSavesAsACloseDoes) {
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        const Folders root;
        Program program(root);
        program.Start();
        ASSERT_TRUE(program.Ready()) << strsignal(sig);
        program.Signal(sig);
        EXPECT_EQ(program.Wait(), 0) << strsignal(sig);
        const std::string settings = root.Read("config/Quilvern.ini");
        EXPECT_NE(settings.find("P001Price_Value=3.25\r\n"), std::string::npos) << strsignal(sig);
        EXPECT_NE(settings.find("P001Quantity_Value=2\r\n"), std::string::npos) << strsignal(sig);
        EXPECT_EQ(root.Read("program/Notes.txt"), "typed before the end") << strsignal(sig);
        EXPECT_FALSE(root.Exists("config/Quilvern.ini.recovery")) << "ended as a close does";
    }
}

TEST(ProgramRun, ASecondCopyOnTheSameSettingsEndsAtOnceHavingWrittenNothing) {
    const Folders root;
    Program first(root);
    first.Start();
    ASSERT_TRUE(first.Ready());
    const std::string recovery = root.Read("config/Quilvern.ini.recovery");

    Program second(root);
    second.Start();
    EXPECT_FALSE(second.Ready()) << "the second copy never shows a window of its own";
    EXPECT_EQ(second.Wait(), 0);
    EXPECT_EQ(root.Read("config/Quilvern.ini.recovery"), recovery);
    EXPECT_FALSE(root.Exists("config/Quilvern.ini")) << "nothing saved by the second copy";

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_NE(root.Read("config/Quilvern.ini").find("P001Price_Value=3.25"), std::string::npos);
}

}  // namespace
}  // namespace quilvern::test
