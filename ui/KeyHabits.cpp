#include "KeyHabits.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool IsEnter(const QKeyEvent &key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool OpensCalendar(const QKeyEvent &key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_F4 && mods == Qt::NoModifier) ||
           (key.key() == Qt::Key_Down && mods == Qt::AltModifier);
}

// The field opens its calendar when its arrow is pressed; Qt offers no other way in, so the key presses it.
void OpenCalendar(QDateTimeEdit *edit) {
    const QPointF arrow(edit->width() - 4, edit->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, edit->mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &press);
}

class Filter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto &key = static_cast<const QKeyEvent &>(*event);
        if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
            if (!IsEnter(key) || !button->hasFocus() || !button->isEnabled() || button->isCheckable())
                return false;
            button->click();
            return true;
        }
        auto *edit = qobject_cast<QDateTimeEdit *>(watched);
        if (!edit) return false;
        if (OpensCalendar(key) && edit->calendarPopup() && edit->isEnabled() && !edit->isReadOnly()) {
            OpenCalendar(edit);
            return true;
        }
        // The field moves between its parts on Tab until the last one; put it there (or on the first for
        // Shift+Tab) and Tab leaves it.
        if (key.key() == Qt::Key_Tab && !(key.modifiers() & Qt::ControlModifier))
            edit->setCurrentSectionIndex(edit->sectionCount() - 1);
        else if (key.key() == Qt::Key_Backtab)
            edit->setCurrentSectionIndex(0);
        return false;
    }
};

}  // namespace

namespace KeyHabits {

void Install(QCoreApplication *app) {
    app->installEventFilter(new Filter(app));
}

}  // namespace KeyHabits
