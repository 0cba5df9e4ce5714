// Screen tests share this main: an application object (offscreen) with the Russian texts and icons.
#include "KeyHabits.h"
#include "RussianUi.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <cstdio>

int main(int argc, char **argv) {
    const TestEnvironment environment;
    QApplication app(argc, argv);
    // Screens are tested as users see them: Qt's own texts in Russian, the same icon theme.
    const QString missing = RussianUi::InstallTranslations(&app);
    if (!missing.isEmpty()) std::fprintf(stderr, "%s\n", qUtf8Printable(missing));
    RussianUi::UseFallbackIconTheme();
    KeyHabits::Install(&app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
