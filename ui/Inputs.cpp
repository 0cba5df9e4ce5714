#include "Inputs.h"

#include "Schema.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

constexpr char kFieldProperty[] = "zvField";

}  // namespace

namespace Inputs {

void Amount(QLineEdit *edit, bool allowNegative) {
    // Blanks: the ordinary one, the no-break one and the thin ones that copied figures carry. Nine
    // digits of roubles at most, the limit every amount is held to (999 999 999,99).
    const QString pattern =
        QStringLiteral(
            "%1(?:[\\x{00A0}\\x{2009}\\x{202F} ]*[0-9]){0,9}[\\x{00A0}\\x{2009}\\x{202F} ]*([.,][0-9]{0,2})?")
            .arg(allowNegative ? QStringLiteral("-?") : QString());
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

void Quantity(QLineEdit *edit) {
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,5}([.,][0-9]{0,3})?")), edit));
}

void Counter(QLineEdit *edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

void ChainTabOrder(const QList<QWidget *> &widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void RoomForTitle(QWidget *dialog) {
    QFont bold = dialog->font();
    bold.setBold(true);
    constexpr int kIconAndButtons = 140;
    const int wanted = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + kIconAndButtons;
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), wanted));
}

void ReadOnlyFigure(QLineEdit *edit) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
}

void LimitTo(QLineEdit *edit, const QString &table, const QString &field) {
    const int limit = FieldMaxLength(table, field);
    Q_ASSERT_X(limit > 0, "Inputs::LimitTo", "not a text field of the schema");
    if (limit > 0) edit->setMaxLength(limit);
    MarkField(edit, table, field);
}

void LimitTo(QComboBox *combo, const QString &table, const QString &field) {
    Q_ASSERT_X(combo->lineEdit(), "Inputs::LimitTo", "the combo box is not editable");
    if (combo->lineEdit()) LimitTo(combo->lineEdit(), table, field);
}

void MarkField(QWidget *input, const QString &table, const QString &field) {
    input->setProperty(kFieldProperty, table + u'.' + field);
}

bool FocusField(QWidget *card, const QString &field) {
    if (field.isEmpty()) return false;
    for (QWidget *w : card->findChildren<QWidget *>()) {
        if (w->property(kFieldProperty).toString().compare(field, Qt::CaseInsensitive) != 0) continue;
        // The marked input of a combo box is its line edit; the combo takes the focus for it.
        QWidget *target = qobject_cast<QComboBox *>(w->parentWidget()) ? w->parentWidget() : w;
        if (!target->isEnabled()) return false;
        target->setFocus();
        if (auto *edit = qobject_cast<QLineEdit *>(w)) edit->selectAll();
        return true;
    }
    return false;
}

}  // namespace Inputs
