// What the program does at start-up when nothing else is configured: exits 0 when it finds the Zorvantide
// data source and can open it, 1 when it finds none, 2 when it finds one that does not open.
#include "ConnectString.h"
#include "Database.h"
#include "DbError.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (!IsDsnRegistered()) return 1;
    try {
        Database::Open(ResolveConnectString(QString(), QString(), true, QDir::currentPath()));
    } catch (const DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        return 2;
    }
    return 0;
}
