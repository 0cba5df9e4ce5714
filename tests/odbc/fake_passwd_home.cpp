// Preloaded into a test's child processes: the password file's home folder of the user becomes
// $ZV_TEST_PASSWD_HOME, so a test can make it differ from HOME without going near the real one.
#include <dlfcn.h>
#include <pwd.h>

#include <cstdlib>

// glibc names the parameters with reserved identifiers, which our code may not use.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" __attribute__((visibility("default"))) int getpwuid_r(uid_t uid, passwd *entry, char *buffer,
                                                                 size_t size, passwd **result) {
    using Fn = int (*)(uid_t, passwd *, char *, size_t, passwd **);
    static const auto real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "getpwuid_r"));
    const int rc = real(uid, entry, buffer, size, result);
    char *home = std::getenv("ZV_TEST_PASSWD_HOME");
    if (rc == 0 && *result != nullptr && home != nullptr) (*result)->pw_dir = home;
    return rc;
}
