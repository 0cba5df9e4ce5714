// Runs the dsnsetup tool in throw-away folders, with unixODBC pointed at throw-away odbc.ini/odbcinst.ini
// files through ODBCINI and ODBCSYSINI, and checks what it registered and that the result opens.

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kTrueOutput = "MSORCL32.DLL SQLConfigDataSource returned TRUE\nPress any key to exit..\n";
const std::string kFalseOutput = "MSORCL32.DLL SQLConfigDataSource returned FALSE\nPress any key to exit..\n";
// What Debian's libsqliteodbc registers.
const std::string kDriverEntry = "[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=libsqlite3odbc.so\n";

std::string Slurp(const fs::path &file) {
    std::stringstream s;
    s << std::ifstream(file, std::ios::binary).rdbuf();
    return s.str();
}

void WriteFile(const fs::path &file, const std::string &text) {
    std::ofstream(file, std::ios::binary) << text;
}

// Single-quoted for sh, whatever the text holds.
std::string Quote(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The Zorvantide entries of an ini file, as unixODBC writes them, so duplicates show.
std::vector<std::string> ZorvantideDatabases(const fs::path &ini) {
    std::vector<std::string> found;
    const std::string text = Slurp(ini), head = "[Zorvantide]\nDriver=SQLite3\nDatabase=";
    for (auto at = text.find("[Zorvantide]"); at != std::string::npos; at = text.find("[Zorvantide]", at + 1))
        found.push_back(
            text.compare(at, head.size(), head) != 0
                ? "?"
                : text.substr(at + head.size(), text.find('\n', at + head.size()) - at - head.size()));
    return found;
}

// A nested folder in which the database path is exactly length bytes long.
fs::path FolderForDatabasePath(fs::path folder, std::size_t length) {
    // Levels of at most 200 characters plus a separator; never leave a single byte over for the last one.
    for (std::size_t left = length - folder.string().size() - 14; left > 0;) {
        const std::size_t take = std::min<std::size_t>(left, 201) - (left == 202 ? 1 : 0);
        folder /= std::string(take - 1, 'd');
        left -= take;
    }
    fs::create_directories(folder);
    return folder;
}

struct Outcome {
    int exit_code = -1;
    std::string out, err;
};

// A run that reports TRUE and says nothing more, or (with a message) one that reports FALSE and why.
void ExpectVerdict(const Outcome &run, const std::string &message = {}) {
    EXPECT_EQ(run.exit_code, message.empty() ? 0 : 1) << run.err;
    EXPECT_EQ(run.out, message.empty() ? kTrueOutput : kFalseOutput);
    EXPECT_TRUE(message.empty() ? run.err.empty() : run.err.find(message) != std::string::npos) << run.err;
}

class DsnSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "dsnsetup-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = fs::canonical(pattern);  // the tool reports the resolved folder
        sys_ = root_ / "sys";
        work_ = root_ / "work";
        ini_ = root_ / "odbc.ini";
        for (const fs::path &folder : {sys_, work_}) fs::create_directories(folder);
        WriteFile(sys_ / "odbcinst.ini", kDriverEntry);
        setenv("ODBCINI", ini_.c_str(), 1);
        setenv("ODBCSYSINI", sys_.c_str(), 1);
        setenv("HOME", root_.c_str(), 1);
        unsetenv("ZV_ODBCINST_LIB");
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs a shell command in folder; a hang is killed after 20 s and fails the test.
    Outcome RunIn(const fs::path &folder, const std::string &command,
                  const fs::path &input = "/dev/null") const {
        const std::string line = "cd " + Quote(folder) + " && exec timeout -s KILL 20 " + command + " <" +
                                 Quote(input) + " >" + Quote(root_ / "out") + " 2>" + Quote(root_ / "err");
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(root_ / "out"), Slurp(root_ / "err")};
    }

    // env: one NAME=value for the tool, if any.
    Outcome Tool(const fs::path &folder, const std::string &env = "") const {
        return RunIn(folder, (env.empty() ? "" : "env " + Quote(env) + " ") + Quote(DSNSETUP_EXE));
    }

    // isql reaches the database of folder through the registered data source.
    void ExpectOpens(const fs::path &folder) const {
        WriteFile(root_ / "query.sql", "SELECT 41 + 1;\n");
        const Outcome isql = RunIn(folder, "isql -b Zorvantide", root_ / "query.sql");
        EXPECT_EQ(isql.exit_code, 0) << isql.out << isql.err;
        EXPECT_NE(isql.out.find("42"), std::string::npos) << isql.out;
        EXPECT_TRUE(fs::exists(folder / "Quellmarod.db"));
    }

    fs::path root_, sys_, work_, ini_;
};

TEST_F(DsnSetupTest, RegistersAnOpenableSourceUpToTheLongestPathAndLeavesOthersAlone) {
    WriteFile(ini_, "[Other]\nDriver=SQLite3\nDatabase=/srv/other.db\n");
    const std::string system_ini = "[Zorvantide]\nDriver=SQLite3\nDatabase=/srv/system/Quellmarod.db\n";
    WriteFile(sys_ / "odbc.ini", system_ini);
    const fs::path first = work_ / "first", second = work_ / "second";
    // The second run is the shop folder moved: still one entry, now pointing at the new place.
    for (const fs::path &folder : {first, second}) {
        fs::create_directories(folder);
        ExpectVerdict(Tool(folder));
        EXPECT_FALSE(fs::exists(folder / "Quellmarod.db")) << "the open check left an empty file behind";
    }
    ExpectOpens(second);
    EXPECT_EQ(Tool(second).exit_code, 0);
    EXPECT_TRUE(fs::exists(second / "Quellmarod.db")) << "an existing database was taken away";

    EXPECT_EQ(ZorvantideDatabases(ini_), std::vector<std::string>{(second / "Quellmarod.db").string()});
    EXPECT_NE(Slurp(ini_).find("/srv/other.db"), std::string::npos) << Slurp(ini_);
    EXPECT_EQ(Slurp(sys_ / "odbc.ini"), system_ini);

    // The longest path SQLite opens works.
    const fs::path longest = FolderForDatabasePath(work_ / "fits", 504);
    ExpectVerdict(Tool(longest));
    ExpectOpens(longest);

    // SQLite cannot open a byte more: refused before anything is written.
    const std::string registered = Slurp(ini_);
    ExpectVerdict(Tool(FolderForDatabasePath(work_ / "long", 505)), "is 505 bytes long");
    EXPECT_EQ(Slurp(ini_), registered);
}

TEST_F(DsnSetupTest, UnusableSetupReportsFalseAndLeavesNothingRegistered) {
    const std::string missing_installer = (root_ / "no-such-libodbcinst.so.2").string();
    const struct {
        std::string odbcinst, folder, env, message;
    } cases[] = {
        {"", "w", "", "\"SQLite3\" is not registered in odbcinst.ini"},
        {"[SQLite3]\nDriver=" + (root_ / "libnothere.so").string() + "\n", "w", "",
         "cannot be opened: [unixODBC][Driver Manager]Can't open lib '" + (root_ / "libnothere.so").string()},
        {"[SQLite3]\nDescription=no library named\n", "w", "", "was written but cannot be opened"},
        {kDriverEntry, "shop\n[Injected]\nDriver=SQLite3", "", "contains a line break"},
        {kDriverEntry, "w", "ZV_ODBCINST_LIB=" + missing_installer,
         "ODBC Installer Error: The ODBC installer library (" + missing_installer +
             ") is not installed on this system."},
        {kDriverEntry, "w", "ZV_ODBCINST_LIB=libm.so.6",
         "ODBC Installer Error: The program " + fs::canonical(DSNSETUP_EXE).string() +
             ", or one of its libraries attempted to call the function SQLConfigDataSource which is not "
             "supported in the loaded ODBC installer library (/"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        WriteFile(sys_ / "odbcinst.ini", c.odbcinst);
        fs::create_directories(work_ / c.folder);
        ExpectVerdict(Tool(work_ / c.folder, c.env), c.message);
        EXPECT_TRUE(ZorvantideDatabases(ini_).empty()) << Slurp(ini_);
        EXPECT_FALSE(fs::exists(work_ / c.folder / "Quellmarod.db"));
    }
}

// A re-run whose new registration does not open leaves the earlier, working one as it was.
TEST_F(DsnSetupTest, FailedReRunPutsTheEarlierRegistrationBack) {
    WriteFile(sys_ / "odbcinst.ini", kDriverEntry + "[Working]\nDriver=libsqlite3odbc.so\n");
    const fs::path shop = work_ / "shop";
    fs::create_directories(shop);
    const std::string earlier =
        "[Zorvantide]\nDriver=Working\nDatabase=" + (shop / "Quellmarod.db").string() +
        "\nTimeout=2000\n\n";  // as unixODBC writes it
    WriteFile(ini_, earlier);
    ExpectOpens(shop);

    WriteFile(sys_ / "odbcinst.ini",
              "[SQLite3]\nDescription=no library named\n[Working]\nDriver=libsqlite3odbc.so\n");
    const Outcome run = Tool(work_);
    ExpectVerdict(run, "was written but cannot be opened");
    EXPECT_NE(run.err.find("put the earlier data source Zorvantide back"), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(ini_), earlier);
    ExpectOpens(shop);
}

// Drivers that ship a setup routine let SQLConfigDataSource do the job; what it stored is still checked.
TEST_F(DsnSetupTest, SetupRoutineIsTrustedOnlyWhenItStoredOurPath) {
    WriteFile(sys_ / "odbcinst.ini",
              std::string("[SQLite3]\nDriver=libsqlite3odbc.so\nSetup=") + DSNSETUP_TEST_SETUP + "\n");
    // A matching system source must neither stand in for a missing user one nor be removed with a bad one.
    const std::string database = (work_ / "Quellmarod.db").string();
    const std::string system_ini = "[Zorvantide]\nDriver=SQLite3\nDatabase=" + database + "\n";
    WriteFile(sys_ / "odbc.ini", system_ini);
    for (const auto &[mode, message] : {std::pair{"wrong", "points at \"/elsewhere/Other.db\""},
                                        std::pair{"nothing", "has no database path"}}) {
        ExpectVerdict(Tool(work_, std::string("DSNSETUP_TEST_SETUP_MODE=") + mode), message);
        EXPECT_TRUE(ZorvantideDatabases(ini_).empty()) << Slurp(ini_);
        EXPECT_EQ(Slurp(sys_ / "odbc.ini"), system_ini);
    }
    ExpectVerdict(Tool(work_, "DSNSETUP_TEST_SETUP_MODE=store"));
    EXPECT_EQ(ZorvantideDatabases(ini_), std::vector<std::string>{database});
}

// At a console the tool waits for one key, not echoed, Ctrl+C included, and hands the terminal back as it
// found it, also when killed while waiting.
TEST_F(DsnSetupTest, OnTerminalWaitsForOneUnechoedKeyAndRestoresTerminal) {
    for (const bool by_key : {true, false}) {
        int master = -1, status = 0;
        const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
        if (pid == 0) {
            if (chdir(work_.c_str()) == 0) execl(DSNSETUP_EXE, DSNSETUP_EXE, nullptr);
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        termios settings{};
        for (int i = 0; i < 2000 && tcgetattr(master, &settings) == 0 && (settings.c_lflag & ECHO) != 0; ++i)
            std::this_thread::sleep_for(10ms);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(settings.c_lflag & ECHO, 0u);
        EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "the tool did not wait for a key";

        // Ctrl+C typed, or the tool killed while it waits.
        EXPECT_EQ(by_key ? write(master, "\x03", 1) - 1 : kill(pid, SIGTERM), 0);
        int waited = 0;
        while (waitpid(pid, &status, WNOHANG) == 0 && ++waited < 2000) std::this_thread::sleep_for(10ms);
        if (waited == 2000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        ASSERT_EQ(tcgetattr(master, &settings), 0);
        EXPECT_EQ(settings.c_lflag & (ECHO | ICANON | ISIG), tcflag_t{ECHO | ICANON | ISIG});
        EXPECT_TRUE(by_key ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                           : WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
            << "the tool did not end as it should; status " << status;
        if (by_key) {
            std::string output;
            char buffer[1024];
            for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
                output.append(buffer, std::size_t(n));
            EXPECT_EQ(output,
                      "MSORCL32.DLL SQLConfigDataSource returned TRUE\r\nPress any key to exit..\r\n");
        }
        close(master);
    }
}

}  // namespace
