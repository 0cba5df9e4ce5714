#pragma once

#include <QTemporaryDir>

// What every test program sets up before its application object: the local zone, an offscreen display,
// and private folders for ODBC's files and the settings, so no test reaches the user's own. Kept alive
// for the whole run.
class TestEnvironment {
public:
    TestEnvironment();

private:
    QTemporaryDir m_odbc;
    QTemporaryDir m_config;
};
