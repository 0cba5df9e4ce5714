// dsnsetup: registers the ODBC user data source "Zorvantide" for the shop database Quellmarod.db in the
// current folder, through unixODBC's installer library (libodbcinst) and the SQLite3 ODBC driver, and
// reports success only once the driver manager (libodbc) has opened the data source it wrote.
//
// Both libraries are loaded at run time rather than linked, so the tool starts (and says what is missing)
// even on a machine without unixODBC.
//
// Environment:
//   ZV_ODBCINST_LIB  load this installer library instead of libodbcinst.so.2 (used by the tests to
//                    exercise a missing or unsuitable library).
//   ODBCINI          unixODBC's own: the user odbc.ini that receives the data source.
//   ODBCSYSINI       unixODBC's own: the folder holding odbcinst.ini (the list of drivers).

#include <dlfcn.h>
#include <link.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): sigaction is POSIX, not in <csignal>
#include <strings.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr const char *kDsnName = "Zorvantide";
constexpr const char *kDriverName = "SQLite3";
constexpr const char *kDatabaseFile = "Quellmarod.db";
constexpr const char *kInstallerLibrary = "libodbcinst.so.2";
constexpr const char *kInstallerFallback = "libodbcinst.so";
constexpr const char *kManagerLibrary = "libodbc.so.2";
constexpr const char *kManagerFallback = "libodbc.so";

// The installer API's types, as the unixODBC ABI has them on Linux.
using Bool = int;
using Word = unsigned short;
using Dword = std::uint32_t;
using RetCode = short;

constexpr Word kOdbcAddDsn = 1;
constexpr Word kOdbcBothDsn = 0;
constexpr Word kOdbcUserDsn = 1;
constexpr RetCode kSqlSuccess = 0;
constexpr RetCode kSqlSuccessWithInfo = 1;

using SQLConfigDataSourceFn = Bool(void *hwnd, Word request, const char *driver, const char *attributes);
using SQLWriteDSNToIniFn = Bool(const char *dsn, const char *driver);
using SQLWritePrivateProfileStringFn = Bool(const char *section, const char *entry, const char *value,
                                            const char *file);
using SQLGetPrivateProfileStringFn = int(const char *section, const char *entry, const char *fallback,
                                         char *buffer, int size, const char *file);
using SQLGetInstalledDriversFn = Bool(char *buffer, Word size, Word *written);
using SQLSetConfigModeFn = Bool(Word mode);
using SQLRemoveDSNFromIniFn = Bool(const char *dsn);
using SQLInstallerErrorFn = RetCode(Word index, Dword *code, char *message, Word size, Word *needed);

// The driver manager's API (unixODBC, 64-bit Linux: SQLINTEGER is int).
using Handle = void *;
using SmallInt = short;
constexpr SmallInt kHandleEnv = 1;
constexpr SmallInt kHandleDbc = 2;
constexpr int kAttrOdbcVersion = 200;
constexpr std::intptr_t kOdbcVersion3 = 3;
constexpr SmallInt kNullTerminated = -3;
constexpr Word kDriverNoPrompt = 0;
using SQLAllocHandleFn = RetCode(SmallInt type, Handle input, Handle *output);
using SQLSetEnvAttrFn = RetCode(Handle env, int attribute, void *value, int length);
using SQLDriverConnectFn = RetCode(Handle dbc, void *hwnd, const unsigned char *in, SmallInt in_length,
                                   unsigned char *out, SmallInt out_size, SmallInt *out_length,
                                   Word completion);
using SQLDisconnectFn = RetCode(Handle dbc);
using SQLFreeHandleFn = RetCode(SmallInt type, Handle handle);
using SQLGetDiagRecFn = RetCode(SmallInt type, Handle handle, SmallInt record, unsigned char *state,
                                int *native, unsigned char *message, SmallInt size, SmallInt *length);

// SQLite refuses a database whose path leaves no room for the 8 characters of "-journal" within its 512-byte
// path limit, so the driver cannot open a longer path (measured with Debian's driver: 504 opens, 505 does
// not). Such paths are refused before anything is written.
constexpr std::size_t kMaxDatabasePath = 504;

// Buffers grow on demand; this only stops a misbehaving library from making us allocate without end.
constexpr std::size_t kMaxBuffer = 1 << 20;

void ReportError(const std::string &text) {
    std::fprintf(stderr, "ODBC Installer Error: %s\n", text.c_str());
}

void ReportNote(const std::string &text) {
    std::fprintf(stderr, "dsnsetup: %s\n", text.c_str());
}

// getcwd with a growing buffer: the shop folder may sit arbitrarily deep.
bool CurrentDirectory(std::string &out) {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return false;
        buffer.resize(buffer.size() * 2);
    }
    out = buffer.data();
    return true;
}

std::string ProgramPath() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return "dsnsetup";
        if (static_cast<std::size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// A unixODBC library loaded by name. It stays loaded until the process ends: unixODBC keeps cached
// configuration in its globals, and unloading it would only orphan that memory moments before exit.
class OdbcLibrary {
public:
    // what: how messages name the library ("ODBC installer library").
    explicit OdbcLibrary(std::string what) : what_(std::move(what)) {}

    bool Load(const std::vector<std::string> &names) {
        std::string reasons;
        for (const std::string &name : names) {
            handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle_ != nullptr) {
                name_ = name;
                return true;
            }
            const char *reason = dlerror();
            if (reason != nullptr) reasons += std::string("\n  ") + reason;
        }
        ReportError("The " + what_ + " (" + names.front() + ") is not installed on this system." + reasons);
        return false;
    }

    // Where the library was really loaded from, for messages.
    std::string Path() const {
        link_map *map = nullptr;
        if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr &&
            *map->l_name != '\0') {
            return map->l_name;
        }
        return name_;
    }

    // Looks a function up; a missing one is reported the way a caller needs to hear it.
    template <typename Fn>
    Fn *Require(const char *function) const {
        Fn *found = Find<Fn>(function);
        if (found == nullptr) {
            ReportError("The program " + ProgramPath() +
                        ", or one of its libraries attempted to call the function " + function +
                        " which is not supported in the loaded " + what_ + " (" + Path() + ").");
        }
        return found;
    }

    // For functions that only improve diagnostics or cleanup.
    template <typename Fn>
    Fn *Find(const char *function) const {
        return reinterpret_cast<Fn *>(dlsym(handle_, function));
    }

private:
    std::string what_;
    void *handle_ = nullptr;
    std::string name_;
};

using InstallerLibrary = OdbcLibrary;

bool LoadInstaller(InstallerLibrary &library) {
    const char *override_name = std::getenv("ZV_ODBCINST_LIB");
    if (override_name != nullptr && *override_name != '\0') return library.Load({override_name});
    return library.Load({kInstallerLibrary, kInstallerFallback});
}

// The installer's queued error messages, joined for one line of output.
std::string InstallerErrors(const InstallerLibrary &library) {
    auto *installer_error = library.Find<SQLInstallerErrorFn>("SQLInstallerError");
    if (installer_error == nullptr) return "no details available";
    std::string joined;
    for (Word index = 1; index <= 8; ++index) {
        Dword code = 0;
        std::vector<char> message(512);
        Word needed = 0;
        RetCode rc =
            installer_error(index, &code, message.data(), static_cast<Word>(message.size()), &needed);
        if (rc == kSqlSuccessWithInfo && needed >= message.size()) {
            message.resize(std::min<std::size_t>(static_cast<std::size_t>(needed) + 1, 0xFFFF));
            rc = installer_error(index, &code, message.data(), static_cast<Word>(message.size()), &needed);
        }
        if (rc != kSqlSuccess && rc != kSqlSuccessWithInfo) break;
        if (!joined.empty()) joined += "; ";
        joined += std::string(message.data()) + " [" + std::to_string(code) + "]";
    }
    return joined.empty() ? "no details available" : joined;
}

// Reads one value of an ini file through the installer, growing the buffer until the value fits.
bool ReadProfileString(SQLGetPrivateProfileStringFn *get, const char *section, const char *entry,
                       const char *file, std::string &out) {
    for (std::size_t size = 1024; size <= kMaxBuffer; size *= 2) {
        std::vector<char> buffer(size, '\0');
        const int length = get(section, entry, "", buffer.data(), static_cast<int>(size), file);
        if (length < 0) return false;
        // A value that fills the buffer may have been cut short.
        if (static_cast<std::size_t>(length) + 1 < size) {
            out.assign(buffer.data(), static_cast<std::size_t>(length));
            return true;
        }
    }
    return false;
}

bool DriverInstalled(SQLGetInstalledDriversFn *get_drivers, const char *driver) {
    // The buffer size is a WORD, which caps the list at 64 KiB.
    for (const std::size_t size : {std::size_t{1024}, std::size_t{8192}, std::size_t{0xFFFF}}) {
        std::vector<char> buffer(size, '\0');
        Word written = 0;
        if (!get_drivers(buffer.data(), static_cast<Word>(size), &written)) return false;
        // unixODBC fills the buffer completely when the list does not fit.
        if (written + 1u >= size && size < 0xFFFF) continue;
        // The list is a run of NUL-terminated names.
        const std::size_t end = written < size ? written : size;
        std::size_t start = 0;
        while (start < end) {
            const std::string_view name(buffer.data() + start, strnlen(buffer.data() + start, end - start));
            if (name.empty()) break;
            if (name.size() == std::strlen(driver) && strncasecmp(name.data(), driver, name.size()) == 0) {
                return true;
            }
            start += name.size() + 1;
        }
        return false;
    }
    return false;
}

// Points the installer at user data sources (what ODBC_ADD_DSN writes) for as long as it lives, so reads,
// writes and removals cannot reach a system data source of the same name.
class UserDsnMode {
public:
    explicit UserDsnMode(SQLSetConfigModeFn *set_mode)
        : set_mode_(set_mode), active_(set_mode(kOdbcUserDsn)) {}
    UserDsnMode(const UserDsnMode &) = delete;
    UserDsnMode &operator=(const UserDsnMode &) = delete;
    ~UserDsnMode() {
        if (active_) set_mode_(kOdbcBothDsn);
    }
    bool active() const { return active_; }

private:
    SQLSetConfigModeFn *set_mode_;
    bool active_;
};

// Confirms that the data source now resolves to our database file, so that a value the installer shortened
// or dropped is not reported as success.
bool DsnPointsAt(const InstallerLibrary &library, const std::string &database) {
    auto *get = library.Require<SQLGetPrivateProfileStringFn>("SQLGetPrivateProfileString");
    if (get == nullptr) return false;
    std::string stored;
    if (!ReadProfileString(get, kDsnName, "Database", "odbc.ini", stored)) {
        ReportError(std::string("Could not read back the data source ") + kDsnName + " from odbc.ini.");
        return false;
    }
    if (stored.empty()) {
        ReportError(std::string("The data source ") + kDsnName + " has no database path in odbc.ini.");
        return false;
    }
    if (stored.size() < database.size() && database.starts_with(stored)) {
        ReportError("The ODBC installer shortened the database path of " + std::string(kDsnName) + " to " +
                    std::to_string(stored.size()) + " of its " + std::to_string(database.size()) +
                    " characters.");
        return false;
    }
    if (stored != database) {
        ReportError("The data source " + std::string(kDsnName) + " points at \"" + stored +
                    "\" instead of \"" + database + "\".");
        return false;
    }
    return true;
}

// Takes a data source out again that would otherwise fail or open the wrong file. Expects the installer to
// be in user data source mode, so a system data source of the same name stays.
void RemoveBrokenDsn(const InstallerLibrary &library) {
    auto *remove = library.Find<SQLRemoveDSNFromIniFn>("SQLRemoveDSNFromIni");
    if (remove != nullptr && remove(kDsnName)) {
        ReportNote(std::string("removed the unusable data source ") + kDsnName + " again.");
    } else {
        ReportError(std::string("The unusable data source ") + kDsnName +
                    " could not be removed; remove it from odbc.ini by hand.");
    }
}

// A user data source as odbc.ini held it before this run: its keys and values in order; empty when there
// was none.
using DsnEntry = std::vector<std::pair<std::string, std::string>>;

// Reads our user data source as it stands, so that a re-run which writes a source that does not work can
// put the earlier one back. Expects the installer to be in user data source mode.
DsnEntry ReadUserDsn(const InstallerLibrary &library) {
    auto *get = library.Find<SQLGetPrivateProfileStringFn>("SQLGetPrivateProfileString");
    if (get == nullptr) return {};
    // Without an entry name the installer lists the section's keys, each NUL-terminated; it stops before a
    // key that would not fit, so a list that nearly fills the buffer is read again in a larger one.
    std::vector<char> keys;
    int length = 0;
    for (std::size_t size = 4096; size <= kMaxBuffer; size *= 2) {
        keys.assign(size, '\0');
        length = get(kDsnName, nullptr, "", keys.data(), static_cast<int>(size), "odbc.ini");
        if (length < 0) return {};
        if (static_cast<std::size_t>(length) + 1024 < size) break;
    }
    DsnEntry entry;
    for (std::size_t at = 0; at < static_cast<std::size_t>(length) && keys[at] != '\0';) {
        const std::string key(keys.data() + at);
        at += key.size() + 1;
        std::string value;
        if (!ReadProfileString(get, kDsnName, key.c_str(), "odbc.ini", value)) return {};
        entry.emplace_back(key, value);
    }
    return entry;
}

// Takes back what this run wrote: the earlier registration is put back as it was, or, with none, the new
// one is removed. Expects the installer to be in user data source mode.
void TakeBackDsn(const InstallerLibrary &library, const DsnEntry &earlier) {
    if (earlier.empty()) {
        RemoveBrokenDsn(library);
        return;
    }
    auto *remove = library.Find<SQLRemoveDSNFromIniFn>("SQLRemoveDSNFromIni");
    auto *write_value = library.Find<SQLWritePrivateProfileStringFn>("SQLWritePrivateProfileString");
    bool restored = remove != nullptr && write_value != nullptr && remove(kDsnName);
    for (const auto &[key, value] : earlier)
        restored = restored && write_value(kDsnName, key.c_str(), value.c_str(), "odbc.ini");
    if (restored) {
        ReportNote(std::string("put the earlier data source ") + kDsnName + " back.");
    } else {
        ReportError(std::string("The earlier data source ") + kDsnName +
                    " could not be put back; check it in odbc.ini by hand.");
    }
}

// Checks the freshly written user data source and takes it back if it does not lead to our file.
// Expects the installer to be in user data source mode.
bool KeepIfPointingAt(const InstallerLibrary &library, const std::string &database, const DsnEntry &earlier) {
    if (DsnPointsAt(library, database)) return true;
    TakeBackDsn(library, earlier);
    return false;
}

// The driver package ships no setup routine, so SQLConfigDataSource cannot add the data source itself; write
// the entry directly, as the driver's setup routine would have.
bool WriteDsnDirectly(const InstallerLibrary &library, const std::string &database, const DsnEntry &earlier) {
    auto *write_dsn = library.Require<SQLWriteDSNToIniFn>("SQLWriteDSNToIni");
    auto *write_value = library.Require<SQLWritePrivateProfileStringFn>("SQLWritePrivateProfileString");
    auto *get_drivers = library.Require<SQLGetInstalledDriversFn>("SQLGetInstalledDrivers");
    auto *set_mode = library.Require<SQLSetConfigModeFn>("SQLSetConfigMode");
    if (write_dsn == nullptr || write_value == nullptr || get_drivers == nullptr || set_mode == nullptr) {
        return false;
    }

    // Writing the entry directly skips the installer's own check that the driver exists; a data source for
    // a driver that is not there would be registered but unusable.
    if (!DriverInstalled(get_drivers, kDriverName)) {
        ReportError(std::string("The ODBC driver \"") + kDriverName +
                    "\" is not registered in odbcinst.ini (Debian package libsqliteodbc).");
        return false;
    }

    const UserDsnMode user_mode(set_mode);
    if (!user_mode.active()) {
        ReportError("Could not switch the ODBC installer to user data sources: " + InstallerErrors(library));
        return false;
    }
    if (!write_dsn(kDsnName, kDriverName)) {
        ReportError(std::string("SQLWriteDSNToIni could not write the data source ") + kDsnName + ": " +
                    InstallerErrors(library));
        return false;
    }
    if (!write_value(kDsnName, "Database", database.c_str(), "odbc.ini")) {
        ReportError(std::string("SQLWritePrivateProfileString could not store the database path of ") +
                    kDsnName + ": " + InstallerErrors(library));
        TakeBackDsn(library, earlier);
        return false;
    }
    return KeepIfPointingAt(library, database, earlier);
}

bool Succeeded(RetCode rc) {
    return rc == kSqlSuccess || rc == kSqlSuccessWithInfo;
}

// The driver manager's diagnostic records of a handle, joined for one line of output.
std::string Diagnostics(const OdbcLibrary &manager, SmallInt type, Handle handle) {
    auto *get_diag = manager.Find<SQLGetDiagRecFn>("SQLGetDiagRec");
    std::string joined;
    for (SmallInt record = 1; get_diag != nullptr && record <= 8; ++record) {
        unsigned char state[6] = {};
        unsigned char message[1024] = {};
        int native = 0;
        SmallInt length = 0;
        if (!Succeeded(get_diag(type, handle, record, state, &native, message, sizeof message, &length)))
            break;
        if (!joined.empty()) joined += "; ";
        joined += reinterpret_cast<const char *>(message);
    }
    return joined.empty() ? "no details available" : joined;
}

// Connects to the data source once through the driver manager, as the program will, so that a driver entry
// without a usable library, or a database file the driver cannot open, is not reported as success.
bool DataSourceOpens(const std::string &database) {
    OdbcLibrary manager("ODBC driver manager library");
    if (!manager.Load({kManagerLibrary, kManagerFallback})) return false;
    auto *alloc = manager.Require<SQLAllocHandleFn>("SQLAllocHandle");
    auto *set_env = manager.Require<SQLSetEnvAttrFn>("SQLSetEnvAttr");
    auto *connect = manager.Require<SQLDriverConnectFn>("SQLDriverConnect");
    auto *disconnect = manager.Require<SQLDisconnectFn>("SQLDisconnect");
    auto *free_handle = manager.Require<SQLFreeHandleFn>("SQLFreeHandle");
    if (alloc == nullptr || set_env == nullptr || connect == nullptr || disconnect == nullptr ||
        free_handle == nullptr) {
        return false;
    }

    Handle env = nullptr;
    Handle dbc = nullptr;
    if (!Succeeded(alloc(kHandleEnv, nullptr, &env))) {
        ReportError("The ODBC driver manager could not start.");
        return false;
    }
    if (!Succeeded(set_env(env, kAttrOdbcVersion, reinterpret_cast<void *>(kOdbcVersion3), 0)) ||
        !Succeeded(alloc(kHandleDbc, env, &dbc))) {
        ReportError("The ODBC driver manager could not start: " + Diagnostics(manager, kHandleEnv, env));
        free_handle(kHandleEnv, env);
        return false;
    }

    // SQLite creates a missing database file on connect. The program creates its tables itself, so the
    // empty file this check leaves behind is taken away again.
    namespace fs = std::filesystem;
    std::error_code error;
    const bool existed = fs::exists(database, error) || error;
    const std::string in = std::string("DSN=") + kDsnName + ";";
    unsigned char out[1024] = {};
    SmallInt out_length = 0;
    const bool opened = Succeeded(connect(dbc, nullptr, reinterpret_cast<const unsigned char *>(in.c_str()),
                                          kNullTerminated, out, sizeof out, &out_length, kDriverNoPrompt));
    if (opened) {
        disconnect(dbc);
    } else {
        ReportError(std::string("The data source ") + kDsnName +
                    " was written but cannot be opened: " + Diagnostics(manager, kHandleDbc, dbc));
    }
    if (!existed && fs::is_regular_file(database, error) && fs::file_size(database, error) == 0) {
        fs::remove(database, error);
    }
    free_handle(kHandleDbc, dbc);
    free_handle(kHandleEnv, env);
    return opened;
}

bool RegisterDsn() {
    std::string directory;
    if (!CurrentDirectory(directory)) {
        ReportError(std::string("Cannot determine the current folder: ") + std::strerror(errno));
        return false;
    }
    const std::string database = directory + (directory.ends_with('/') ? "" : "/") + kDatabaseFile;
    // An ini value ends at the line break: such a path would be cut short or, worse, add lines of its own.
    if (database.find_first_of("\r\n") != std::string::npos) {
        ReportError("The current folder's path contains a line break and cannot be stored in odbc.ini.");
        return false;
    }

    if (database.size() > kMaxDatabasePath) {
        ReportError("The database path in this folder is " + std::to_string(database.size()) +
                    " bytes long; the SQLite ODBC driver opens paths of at most " +
                    std::to_string(kMaxDatabasePath) + " bytes. Move the shop folder higher up.");
        return false;
    }

    InstallerLibrary library("ODBC installer library");
    if (!LoadInstaller(library)) return false;
    auto *config_data_source = library.Require<SQLConfigDataSourceFn>("SQLConfigDataSource");
    if (config_data_source == nullptr) return false;

    // A list of key=value pairs, each NUL-terminated, closed by an empty one.
    std::string attributes = std::string("DSN=") + kDsnName;
    attributes.push_back('\0');
    attributes += "Database=" + database;
    attributes.push_back('\0');
    attributes.push_back('\0');

    auto *set_mode = library.Require<SQLSetConfigModeFn>("SQLSetConfigMode");
    if (set_mode == nullptr) return false;
    DsnEntry earlier;
    {
        const UserDsnMode user_mode(set_mode);
        if (user_mode.active()) earlier = ReadUserDsn(library);
    }
    if (config_data_source(nullptr, kOdbcAddDsn, kDriverName, attributes.data())) {
        const UserDsnMode user_mode(set_mode);
        if (!user_mode.active() || !KeepIfPointingAt(library, database, earlier)) return false;
    } else {
        // Expected with Debian's driver, so only worth mentioning if the direct route fails as well.
        const std::string config_errors = InstallerErrors(library);
        if (!WriteDsnDirectly(library, database, earlier)) {
            ReportNote("before that, SQLConfigDataSource had failed too: " + config_errors);
            return false;
        }
    }

    if (DataSourceOpens(database)) return true;
    const UserDsnMode user_mode(set_mode);
    if (user_mode.active()) {
        TakeBackDsn(library, earlier);
    } else {
        ReportError(std::string("The unusable data source ") + kDsnName +
                    " could not be removed; remove it from odbc.ini by hand.");
    }
    return false;
}

termios g_saved_terminal;

extern "C" void RestoreTerminalAndDie(int signal_number) {
    tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_terminal);
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

// One key press, not echoed. Signal keys are turned off too: Ctrl+C then counts as "any key" instead of
// killing the tool (or Ctrl+Z stopping it) with the terminal left silent.
void WaitForKey() {
    if (tcgetattr(STDIN_FILENO, &g_saved_terminal) != 0) return;
    termios raw = g_saved_terminal;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;

    // A kill or hang-up while waiting must not leave the terminal without echo. Signals the caller chose to
    // ignore (nohup) stay ignored.
    constexpr int kFatalSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
    struct sigaction previous[std::size(kFatalSignals)] = {};
    struct sigaction restore = {};
    restore.sa_handler = RestoreTerminalAndDie;
    sigemptyset(&restore.sa_mask);
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i) {
        sigaction(kFatalSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN) sigaction(kFatalSignals[i], &restore, nullptr);
    }

    if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) {
        char key = 0;
        while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
        }
        tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_terminal);
    }
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
        sigaction(kFatalSignals[i], &previous[i], nullptr);
}

}  // namespace

int main() {
    const bool registered = RegisterDsn();
    std::printf("MSORCL32.DLL SQLConfigDataSource returned %s\n", registered ? "TRUE" : "FALSE");
    std::printf("Press any key to exit..\n");
    std::fflush(stdout);
    if (isatty(STDIN_FILENO)) WaitForKey();
    return registered ? 0 : 1;
}
