#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The order form's own question box: the heading as window title, the text above "Да" and "Нет".
// Run through the dialog runner, so it is Yes only when "Да" closed it.
class COrderFormQuestionDlg : public QDialog {
    Q_OBJECT
public:
    COrderFormQuestionDlg(const QString &heading, const QString &text, QWidget *parent = nullptr);
    QString Text() const;

private:
    QLabel *m_text = nullptr;
    QPushButton *m_yes = nullptr;
    QPushButton *m_no = nullptr;
};
