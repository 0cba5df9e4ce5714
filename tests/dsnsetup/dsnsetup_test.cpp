// Runs the dsnsetup tool as a child process in throw-away folders, with unixODBC pointed at throw-away
// odbc.ini/odbcinst.ini files through ODBCINI and ODBCSYSINI, and checks what it registered.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kTrueOutput = "MSORCL32.DLL SQLConfigDataSource returned TRUE\nPress any key to exit..\n";
const std::string kFalseOutput = "MSORCL32.DLL SQLConfigDataSource returned FALSE\nPress any key to exit..\n";

struct RunResult {
    bool timed_out = false;
    int exit_code = -1;   // -1 unless the child exited normally
    int term_signal = 0;  // set when a signal ended the child
    std::string out;
    std::string err;
};

// The current environment without the variables a test must control, plus the given ones.
std::vector<std::string> MakeEnvironment(const std::vector<std::string> &extra) {
    std::vector<std::string> env;
    for (char **entry = environ; *entry != nullptr; ++entry) {
        const std::string item = *entry;
        const std::string key = item.substr(0, item.find('='));
        if (key == "ODBCINI" || key == "ODBCSYSINI" || key == "HOME" || key == "ZV_ODBCINST_LIB") continue;
        env.push_back(item);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

std::vector<char *> PointerList(std::vector<std::string> &strings) {
    std::vector<char *> pointers;
    for (std::string &s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Resolved in the parent so the child only has to call execve.
std::string FindProgram(const std::string &name) {
    if (name.find('/') != std::string::npos) return name;
    const char *path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

// Runs a program with stdin from a file, collecting stdout and stderr; kills it when the time is up so
// that a hang fails the test instead of blocking it.
RunResult RunProgram(std::vector<std::string> argv, const std::string &cwd,
                     const std::vector<std::string> &extra_env, const std::string &stdin_path = "/dev/null",
                     std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    RunResult result;
    const std::string program = FindProgram(argv.at(0));
    if (program.empty()) {
        ADD_FAILURE() << argv[0] << " not found on PATH";
        return result;
    }
    std::vector<std::string> env = MakeEnvironment(extra_env);
    std::vector<char *> argv_list = PointerList(argv);
    std::vector<char *> env_list = PointerList(env);

    const int input = open(stdin_path.c_str(), O_RDONLY | O_CLOEXEC);
    int out_pipe[2];
    int err_pipe[2];
    if (input < 0 || pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot set up the child's streams: " << std::strerror(errno);
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(input, STDIN_FILENO) < 0 || dup2(out_pipe[1], STDOUT_FILENO) < 0 ||
            dup2(err_pipe[1], STDERR_FILENO) < 0 || chdir(cwd.c_str()) != 0) {
            _exit(126);
        }
        execve(program.c_str(), argv_list.data(), env_list.data());
        _exit(127);
    }
    close(input);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (pid < 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        ADD_FAILURE() << "fork failed: " << std::strerror(errno);
        return result;
    }

    const auto deadline = Clock::now() + timeout;
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string *sinks[2] = {&result.out, &result.err};
    int open_streams = 2;
    while (open_streams > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open_streams;
            }
        }
    }
    for (pollfd &fd : fds) {
        if (fd.fd >= 0) close(fd.fd);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.term_signal = WTERMSIG(status);
    return result;
}

struct IniSection {
    std::string name;
    std::map<std::string, std::string> values;
};

std::string Trim(const std::string &s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Every section in file order, so duplicates stay visible.
std::vector<IniSection> ReadIni(const fs::path &file) {
    std::vector<IniSection> sections;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (!sections.empty() && line.find('=') != std::string::npos) {
            const auto eq = line.find('=');
            sections.back().values[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
        }
    }
    return sections;
}

std::vector<IniSection> SectionsNamed(const fs::path &file, const std::string &name) {
    std::vector<IniSection> found;
    for (IniSection &section : ReadIni(file)) {
        if (section.name == name) found.push_back(std::move(section));
    }
    return found;
}

void WriteFile(const fs::path &file, const std::string &text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << file;
}

// A folder named by repeated letters, nested until the path is longer than min_length.
fs::path MakeDeepFolder(const fs::path &base, std::size_t min_length) {
    fs::path folder = base;
    for (char letter = 'a'; folder.string().size() <= min_length; ++letter) {
        folder /= std::string(90, letter);
    }
    fs::create_directories(folder);
    return folder;
}

// A nested folder in which the database path is exactly length characters long.
fs::path MakeFolderForDatabasePath(const fs::path &base, std::size_t length) {
    const std::size_t file_part = std::string("/Quellmarod.db").size();
    fs::path folder = base;
    std::size_t missing = length - base.string().size() - file_part;
    for (char letter = 'a'; missing > 0; ++letter) {
        // Each level adds a separator and at most 200 characters; never leave a single one over.
        std::size_t take = std::min<std::size_t>(missing, 201);
        if (missing - take == 1) --take;
        folder /= std::string(take - 1, letter);
        missing -= take;
    }
    fs::create_directories(folder);
    return folder;
}

class DsnSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/dsnsetup-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        // getcwd in the tool reports the resolved path, so compare against that.
        root_ = fs::canonical(pattern);
        sys_ = root_ / "sys";
        home_ = root_ / "home";
        work_ = root_ / "work";
        odbc_ini_ = home_ / "odbc.ini";
        fs::create_directories(sys_);
        fs::create_directories(home_);
        fs::create_directories(work_);
        // The same driver entry Debian's libsqliteodbc package registers.
        WriteFile(sys_ / "odbcinst.ini",
                  "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=libsqlite3odbc.so\n"
                  "Setup=libsqlite3odbc.so\nUsageCount=1\n");
    }

    void TearDown() override {
        std::error_code ignored;
        if (!root_.empty()) fs::remove_all(root_, ignored);
    }

    std::vector<std::string> Env(const std::vector<std::string> &extra = {}) const {
        std::vector<std::string> env = {"ODBCINI=" + odbc_ini_.string(), "ODBCSYSINI=" + sys_.string(),
                                        "HOME=" + home_.string()};
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }

    RunResult RunTool(const fs::path &cwd, const std::vector<std::string> &extra = {}) const {
        return RunProgram({DSNSETUP_EXE}, cwd.string(), Env(extra));
    }

    // Asserts that exactly one Zorvantide entry exists and that it points at folder's database file.
    void ExpectRegisteredFor(const fs::path &folder) const {
        const auto sections = SectionsNamed(odbc_ini_, "Zorvantide");
        ASSERT_EQ(sections.size(), 1u) << "odbc.ini:\n" << Slurp(odbc_ini_);
        ASSERT_EQ(sections[0].values.count("Driver"), 1u);
        EXPECT_EQ(sections[0].values.at("Driver"), "SQLite3");
        ASSERT_EQ(sections[0].values.count("Database"), 1u);
        EXPECT_EQ(sections[0].values.at("Database"), (folder / "Quellmarod.db").string());
    }

    static std::string Slurp(const fs::path &file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path root_;
    fs::path sys_;
    fs::path home_;
    fs::path work_;
    fs::path odbc_ini_;
};

TEST_F(DsnSetupTest, RegistersUserDsnForDatabaseInCurrentFolder) {
    const RunResult run = RunTool(work_);
    ASSERT_FALSE(run.timed_out) << "the tool waited although stdin is not a terminal";
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, kTrueOutput);
    EXPECT_EQ(run.err, "");
    ExpectRegisteredFor(work_);

    // unixODBC's own tools see the data source under the same environment.
    const RunResult listed = RunProgram({"odbcinst", "-q", "-s"}, work_.string(), Env());
    EXPECT_EQ(listed.exit_code, 0) << listed.err;
    EXPECT_NE(listed.out.find("[Zorvantide]"), std::string::npos) << listed.out;

    // And it really opens Quellmarod.db in this folder (SQLite creates the file on first connect).
    const fs::path query = root_ / "query.sql";
    WriteFile(query, "SELECT 41 + 1;\n");
    const RunResult isql = RunProgram({"isql", "-b", "Zorvantide"}, work_.string(), Env(), query.string());
    EXPECT_EQ(isql.exit_code, 0) << isql.out << isql.err;
    EXPECT_NE(isql.out.find("42"), std::string::npos) << isql.out;
    EXPECT_TRUE(fs::exists(work_ / "Quellmarod.db"));
}

TEST_F(DsnSetupTest, MissingInstallerLibraryReportsFalse) {
    const std::string missing = (root_ / "no-such-libodbcinst.so.2").string();
    const RunResult run = RunTool(work_, {"ZV_ODBCINST_LIB=" + missing});
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(run.err.find("ODBC Installer Error: The ODBC installer library (" + missing +
                           ") is not installed on this system."),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(odbc_ini_));
}

TEST_F(DsnSetupTest, LibraryWithoutInstallerFunctionsReportsFalse) {
    const RunResult run = RunTool(work_, {"ZV_ODBCINST_LIB=libm.so.6"});
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(
        run.err.find("ODBC Installer Error: The program " + fs::canonical(DSNSETUP_EXE).string() +
                     ", or one of its libraries attempted to call the function SQLConfigDataSource which "
                     "is not supported in the loaded ODBC installer library ("),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("libm.so.6)"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(odbc_ini_));
}

TEST_F(DsnSetupTest, WorksInDeeplyNestedFolder) {
    const fs::path deep = MakeDeepFolder(work_, 300);
    ASSERT_GT((deep / "Quellmarod.db").string().size(), 300u);
    const RunResult run = RunTool(deep);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, kTrueOutput);
    ExpectRegisteredFor(deep);
}

TEST_F(DsnSetupTest, RunningTwiceKeepsOneEntryAndOtherSources) {
    WriteFile(odbc_ini_, "[Other]\nDriver=SQLite3\nDatabase=/srv/other.db\n");
    for (int i = 0; i < 2; ++i) {
        const RunResult run = RunTool(work_);
        ASSERT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_code, 0) << "run " << i << ": " << run.err;
        EXPECT_EQ(run.out, kTrueOutput);
    }
    ExpectRegisteredFor(work_);
    const auto other = SectionsNamed(odbc_ini_, "Other");
    ASSERT_EQ(other.size(), 1u) << Slurp(odbc_ini_);
    EXPECT_EQ(other[0].values.at("Database"), "/srv/other.db");
}

TEST_F(DsnSetupTest, MovedFolderRepointsTheEntry) {
    const fs::path first = work_ / "first";
    const fs::path second = work_ / "second";
    fs::create_directories(first);
    fs::create_directories(second);
    EXPECT_EQ(RunTool(first).exit_code, 0);
    const RunResult run = RunTool(second);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    ExpectRegisteredFor(second);
}

TEST_F(DsnSetupTest, UnregisteredDriverIsNotReportedAsSuccess) {
    WriteFile(sys_ / "odbcinst.ini", "");
    const RunResult run = RunTool(work_);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(run.err.find("\"SQLite3\" is not registered"), std::string::npos) << run.err;
    EXPECT_TRUE(SectionsNamed(odbc_ini_, "Zorvantide").empty()) << Slurp(odbc_ini_);
}

TEST_F(DsnSetupTest, LongestPathTheInstallerCanStoreWorks) {
    const fs::path folder = MakeFolderForDatabasePath(work_, 990);
    ASSERT_EQ((folder / "Quellmarod.db").string().size(), 990u);
    const RunResult run = RunTool(folder);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, kTrueOutput);
    ExpectRegisteredFor(folder);
}

TEST_F(DsnSetupTest, PathTooLongForTheInstallerIsRefused) {
    // unixODBC cuts longer values short while reporting success, and overruns its buffer from 1000 on.
    for (const std::size_t length : {std::size_t{991}, std::size_t{1000}, std::size_t{1500}}) {
        const fs::path folder = MakeFolderForDatabasePath(work_ / std::to_string(length), length);
        ASSERT_EQ((folder / "Quellmarod.db").string().size(), length);
        const RunResult run = RunTool(folder);
        ASSERT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_code, 1);
        EXPECT_EQ(run.out, kFalseOutput);
        EXPECT_NE(run.err.find("is " + std::to_string(length) + " characters long"), std::string::npos)
            << run.err;
        EXPECT_FALSE(fs::exists(odbc_ini_)) << Slurp(odbc_ini_);
    }
}

TEST_F(DsnSetupTest, LineBreakInFolderNameIsRefused) {
    const fs::path odd = work_ / "shop\n[Injected]\nDriver=SQLite3";
    fs::create_directories(odd);
    const RunResult run = RunTool(odd);
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(run.err.find("line break"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(odbc_ini_)) << Slurp(odbc_ini_);
}

TEST_F(DsnSetupTest, SystemDataSourceOfTheSameNameIsLeftAlone) {
    const std::string system_ini = "[Zorvantide]\nDriver=SQLite3\nDatabase=/srv/system/Quellmarod.db\n";
    WriteFile(sys_ / "odbc.ini", system_ini);
    const RunResult run = RunTool(work_);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    ExpectRegisteredFor(work_);
    EXPECT_EQ(Slurp(sys_ / "odbc.ini"), system_ini);
}

// Drivers that ship a setup routine let SQLConfigDataSource do the whole job.
class DsnSetupWithSetupRoutineTest : public DsnSetupTest {
protected:
    void SetUp() override {
        DsnSetupTest::SetUp();
        WriteFile(sys_ / "odbcinst.ini",
                  std::string("[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=") + DSNSETUP_TEST_SETUP + "\n");
    }
};

TEST_F(DsnSetupWithSetupRoutineTest, SetupRoutineAddsTheSource) {
    const RunResult run = RunTool(work_, {"DSNSETUP_TEST_SETUP_MODE=store"});
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, kTrueOutput);
    EXPECT_EQ(run.err, "");
    ExpectRegisteredFor(work_);
}

TEST_F(DsnSetupWithSetupRoutineTest, SetupRoutineStoringAnotherPathIsNotTrusted) {
    // Taking the bad user entry out again must not touch a system entry of the same name.
    const std::string system_ini = "[Zorvantide]\nDriver=SQLite3\nDatabase=/srv/system/Quellmarod.db\n";
    WriteFile(sys_ / "odbc.ini", system_ini);
    const RunResult run = RunTool(work_, {"DSNSETUP_TEST_SETUP_MODE=wrong"});
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(run.err.find("points at \"/elsewhere/Other.db\""), std::string::npos) << run.err;
    EXPECT_TRUE(SectionsNamed(odbc_ini_, "Zorvantide").empty()) << Slurp(odbc_ini_);
    EXPECT_EQ(Slurp(sys_ / "odbc.ini"), system_ini);
}

TEST_F(DsnSetupWithSetupRoutineTest, SetupRoutineStoringNothingIsNotTrusted) {
    const RunResult run = RunTool(work_, {"DSNSETUP_TEST_SETUP_MODE=nothing"});
    ASSERT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_NE(run.err.find("has no database path"), std::string::npos) << run.err;
    EXPECT_TRUE(SectionsNamed(odbc_ini_, "Zorvantide").empty()) << Slurp(odbc_ini_);
}

TEST_F(DsnSetupWithSetupRoutineTest, SystemSourceDoesNotStandInForMissingUserSource) {
    // Only the user data source the tool asked for counts, even if a system one happens to match.
    WriteFile(sys_ / "odbc.ini",
              "[Zorvantide]\nDriver=SQLite3\nDatabase=" + (work_ / "Quellmarod.db").string() + "\n");
    const RunResult run = RunTool(work_, {"DSNSETUP_TEST_SETUP_MODE=nothing"});
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_EQ(run.out, kFalseOutput);
    EXPECT_EQ(SectionsNamed(sys_ / "odbc.ini", "Zorvantide").size(), 1u);
}

// Runs the tool on a pseudo-terminal, as a person at a console would.
class TerminalRun {
public:
    TerminalRun(const fs::path &cwd, std::vector<std::string> env) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        char name[256];
        if (ptsname_r(master_, name, sizeof name) != 0) return;
        // Kept open by the test so it can still inspect the terminal's settings after the tool ends.
        slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) return;

        std::vector<std::string> argv = {DSNSETUP_EXE};
        std::vector<std::string> full_env = MakeEnvironment(env);
        std::vector<char *> argv_list = PointerList(argv);
        std::vector<char *> env_list = PointerList(full_env);
        const std::string dir = cwd.string();
        pid_ = fork();
        if (pid_ == 0) {
            if (setsid() < 0 || ioctl(slave_, TIOCSCTTY, 0) < 0 || dup2(slave_, STDIN_FILENO) < 0 ||
                dup2(slave_, STDOUT_FILENO) < 0 || dup2(slave_, STDERR_FILENO) < 0 ||
                chdir(dir.c_str()) != 0) {
                _exit(126);
            }
            execve(argv_list[0], argv_list.data(), env_list.data());
            _exit(127);
        }
    }

    ~TerminalRun() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }

    bool Started() const { return pid_ > 0; }

    // Collects output until it contains text or time runs out.
    bool WaitForOutput(const std::string &text, std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (output_.find(text) == std::string::npos) {
            if (Clock::now() >= deadline) return false;
            Drain(20);
        }
        return true;
    }

    // Waits until the tool has switched echo off, i.e. is sitting at its key prompt.
    bool WaitForEchoOff(std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            termios now{};
            if (tcgetattr(slave_, &now) == 0 && (now.c_lflag & ECHO) == 0) return true;
            Drain(10);
        }
        return false;
    }

    bool StillRunning() {
        if (exited_) return false;
        const pid_t r = waitpid(pid_, &status_, WNOHANG);
        if (r == pid_) exited_ = true;
        return !exited_;
    }

    bool Type(const std::string &keys) const {
        return write(master_, keys.data(), keys.size()) == static_cast<ssize_t>(keys.size());
    }

    void Signal(int signal_number) const { kill(pid_, signal_number); }

    bool WaitForExit(std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        while (StillRunning()) {
            if (Clock::now() >= deadline) return false;
            Drain(10);
        }
        Drain(0);
        return true;
    }

    int status() const { return status_; }
    const std::string &output() const { return output_; }

    termios Settings() const {
        termios now{};
        tcgetattr(slave_, &now);
        return now;
    }

private:
    void Drain(int wait_ms) {
        pollfd fd = {master_, POLLIN, 0};
        while (poll(&fd, 1, wait_ms) > 0 && (fd.revents & POLLIN) != 0) {
            char buffer[1024];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            output_.append(buffer, static_cast<std::size_t>(n));
            wait_ms = 0;
        }
    }

    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    std::string output_;
};

TEST_F(DsnSetupTest, OnTerminalWaitsForOneUnechoedKeyAndRestoresTerminal) {
    TerminalRun run(work_, Env());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitForOutput("Press any key to exit..", std::chrono::seconds(20))) << run.output();
    ASSERT_TRUE(run.WaitForEchoOff(std::chrono::seconds(20)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(run.StillRunning()) << "the tool did not wait for a key";

    ASSERT_TRUE(run.Type("x"));
    ASSERT_TRUE(run.WaitForExit(std::chrono::seconds(20))) << "the key press did not end the tool";
    ASSERT_TRUE(WIFEXITED(run.status()));
    EXPECT_EQ(WEXITSTATUS(run.status()), 0);
    // The terminal turns "\n" into "\r\n"; the typed key must not show up.
    EXPECT_EQ(run.output(), "MSORCL32.DLL SQLConfigDataSource returned TRUE\r\nPress any key to exit..\r\n");
    const termios after = run.Settings();
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    EXPECT_NE(after.c_lflag & ICANON, 0u);
    EXPECT_NE(after.c_lflag & ISIG, 0u);
    ExpectRegisteredFor(work_);
}

TEST_F(DsnSetupTest, CtrlCCountsAsTheKey) {
    TerminalRun run(work_, Env());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitForEchoOff(std::chrono::seconds(20))) << run.output();
    ASSERT_TRUE(run.Type("\x03"));
    ASSERT_TRUE(run.WaitForExit(std::chrono::seconds(20)));
    ASSERT_TRUE(WIFEXITED(run.status())) << "Ctrl+C killed the tool instead of ending the wait";
    EXPECT_EQ(WEXITSTATUS(run.status()), 0);
    EXPECT_NE(run.Settings().c_lflag & ECHO, 0u);
}

TEST_F(DsnSetupTest, TerminalIsRestoredWhenKilledWhileWaiting) {
    TerminalRun run(work_, Env());
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitForOutput("Press any key to exit..", std::chrono::seconds(20))) << run.output();
    ASSERT_TRUE(run.WaitForEchoOff(std::chrono::seconds(20)));

    run.Signal(SIGTERM);
    ASSERT_TRUE(run.WaitForExit(std::chrono::seconds(20)));
    ASSERT_TRUE(WIFSIGNALED(run.status()));
    EXPECT_EQ(WTERMSIG(run.status()), SIGTERM);
    const termios after = run.Settings();
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    EXPECT_NE(after.c_lflag & ICANON, 0u);
}

}  // namespace
