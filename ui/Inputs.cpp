#include "Inputs.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace Inputs {

void Amount(QLineEdit *edit, bool allowNegative) {
    // Blanks: the ordinary one, the no-break one and the thin ones that copied figures carry.
    const QString pattern = QStringLiteral("%1[0-9\\x{00A0}\\x{2009}\\x{202F} ]*([.,][0-9]{0,2})?")
                                .arg(allowNegative ? QStringLiteral("-?") : QString());
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
}

void Counter(QLineEdit *edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

void ChainTabOrder(const QList<QWidget *> &widgets) {
    for (qsizetype i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void ReadOnlyFigure(QLineEdit *edit) {
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
}

}  // namespace Inputs
