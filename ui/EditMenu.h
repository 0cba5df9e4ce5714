#pragma once

#include <functional>

class QAbstractItemView;

// The right-click menu of a directory list: "Добавить", "Изменить", "Удалить", running the same commands
// as the dialog's buttons (so the rights checks and messages are the buttons' own).
void AttachEditMenu(QAbstractItemView *list, std::function<void()> add, std::function<void()> edit,
                    std::function<void()> remove);
