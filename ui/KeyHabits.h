#pragma once

class QCoreApplication;

// The keyboard the whole program shares, beyond what the widgets do themselves:
// - Enter (or the keypad's Enter) presses the button that has the focus, as Space does;
// - Tab and Shift+Tab leave a date or time field in one stop (its day, month and hours are reached with
//   the arrows or by typing), not one stop per part of it;
// - Alt+Down and F4 open a date field's calendar; there the arrows move, Enter picks and Escape closes.
namespace KeyHabits {

// Watches the application's key presses; the filter lives as long as the application.
void Install(QCoreApplication *app);

}  // namespace KeyHabits
