#pragma once

#include <QIcon>
#include <QString>

// One entry of a journal's "&Правка" pop-up as the main frame shows it; id 0 is a separator. Every
// journal describes its menu with these, so the frame needs to know no journal.
struct KindMenuItem {
    int id = 0;
    QString text;
    QString prompt;  // status-bar prompt
    QIcon icon;
};
