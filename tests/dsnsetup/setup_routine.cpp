// A driver setup routine (ConfigDSN) for the tests, registered in a throw-away odbcinst.ini so that
// unixODBC's SQLConfigDataSource succeeds the way it does for drivers that ship one. What it stores is chosen
// by DSNSETUP_TEST_SETUP_MODE:
//   store    the data source as given (DSN and Database attributes)
//   wrong    the data source, but with a different database path
//   nothing  nothing at all, while still reporting success

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Bool = int;
using SQLWriteDSNToIniFn = Bool(const char *dsn, const char *driver);
using SQLWritePrivateProfileStringFn = Bool(const char *section, const char *entry, const char *value,
                                            const char *file);

// The value of key in a NUL-separated key=value list.
std::string Attribute(const char *attributes, const std::string &key) {
    for (const char *item = attributes; *item != '\0'; item += std::strlen(item) + 1) {
        const std::string pair = item;
        if (pair.compare(0, key.size() + 1, key + "=") == 0) return pair.substr(key.size() + 1);
    }
    return {};
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Bool ConfigDSN(void * /*parent*/, unsigned short request,
                                                                 const char *driver, const char *attributes) {
    const char *mode_env = std::getenv("DSNSETUP_TEST_SETUP_MODE");
    const std::string mode = mode_env != nullptr ? mode_env : "store";
    if (request != 1 || attributes == nullptr) return 0;
    if (mode == "nothing") return 1;

    // Already loaded by the caller; this just gets a handle to it.
    void *installer = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_LOCAL);
    if (installer == nullptr) return 0;
    auto *write_dsn = reinterpret_cast<SQLWriteDSNToIniFn *>(dlsym(installer, "SQLWriteDSNToIni"));
    auto *write_value =
        reinterpret_cast<SQLWritePrivateProfileStringFn *>(dlsym(installer, "SQLWritePrivateProfileString"));
    const std::string dsn = Attribute(attributes, "DSN");
    std::string database = Attribute(attributes, "Database");
    if (mode == "wrong") database = "/elsewhere/Other.db";
    const Bool ok = write_dsn != nullptr && write_value != nullptr && !dsn.empty() &&
                    write_dsn(dsn.c_str(), driver) &&
                    write_value(dsn.c_str(), "Database", database.c_str(), "odbc.ini");
    dlclose(installer);
    return ok;
}
