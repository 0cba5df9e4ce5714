#include "CWorkerDlg.h"

#include "AppContext.h"
#include "CardButtons.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "DbError.h"
#include "Inputs.h"
#include "Prompter.h"
#include "Tooltip.h"
#include "WaitCursor.h"
#include "WorkerStore.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDateTimeEdit *MakeDatePicker(QWidget *parent, const QString &name) {
    // The whole date-time is kept (a new card starts at the current moment); only the date is shown.
    auto *edit = new QDateTimeEdit(parent);
    DatePicker::Limit(edit);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    return edit;
}

}  // namespace

CWorkerDlg::CWorkerDlg(AppContext &ctx, const QString &iddWork, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_iddWork(iddWork), m_existing(!iddWork.isEmpty()) {
    Build();
    Load();
}

void CWorkerDlg::Build() {
    setWindowTitle(QStringLiteral("Сотрудник"));

    m_fio = new QLineEdit(this);
    m_fio->setObjectName(QStringLiteral("fio"));
    m_adres = new QLineEdit(this);
    m_adres->setObjectName(QStringLiteral("adres"));
    m_tel = new QLineEdit(this);
    m_tel->setObjectName(QStringLiteral("tel"));
    Inputs::LimitTo(m_fio, QStringLiteral("SWork"), QStringLiteral("WorkFIO"));
    Inputs::LimitTo(m_adres, QStringLiteral("SWork"), QStringLiteral("WorkAdres"));
    Inputs::LimitTo(m_tel, QStringLiteral("SWork"), QStringLiteral("WorkTel"));
    m_dataIn = MakeDatePicker(this, QStringLiteral("dataIn"));
    m_workOut = new QCheckBox(QStringLiteral("Уволен:"), this);
    m_workOut->setObjectName(QStringLiteral("workOut"));
    m_dataOut = MakeDatePicker(this, QStringLiteral("dataOut"));

    Tooltip::Set(m_fio, QStringLiteral("Ф.И.О. сотрудника"),
                 QStringLiteral("Фамилия, имя и отчество сотрудника."));
    Tooltip::Set(m_adres, QStringLiteral("Адрес сотрудника"), QStringLiteral("Домашний адрес сотрудника."));
    Tooltip::Set(m_tel, QStringLiteral("Телефон сотрудника"),
                 QStringLiteral("Контактные телефоны сотрудника."));
    Tooltip::Set(m_dataIn, QStringLiteral("Дата приема"),
                 QStringLiteral("Дата приема сотрудника на работу."));
    Tooltip::Set(m_workOut, QStringLiteral("Уволить сотрудника"),
                 QStringLiteral("Отметьте, если сотрудник уволен.\nУволенный сотрудник исключается\n"
                                "из исполнителей всех услуг."));
    Tooltip::Set(m_dataOut, QStringLiteral("Дата увальнения"), QStringLiteral("Дата увольнения сотрудника."));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Ф.И.О.:"), m_fio);
    form->addRow(QStringLiteral("Адрес:"), m_adres);
    form->addRow(QStringLiteral("Конт. телефоны:"), m_tel);
    form->addRow(QStringLiteral("Принят:"), m_dataIn);
    form->addRow(m_workOut, m_dataOut);

    QHBoxLayout *buttons =
        MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранять"),
                        QStringLiteral("Сохранить сведения о сотруднике\nи закрыть окно."));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, sizeHint().height());
    m_fio->setFocus();  // the first field to fill

    connect(m_workOut, &QCheckBox::toggled, this, [this] { UpdateDismissalPicker(); });
}

void CWorkerDlg::Load() {
    const QDateTime now = QDateTime::currentDateTime();
    m_dataIn->setDateTime(now);
    m_dataOut->setDateTime(now);
    m_workOut->setChecked(false);
    std::optional<WorkerRecord> w;
    if (m_existing && !TryDb(m_ctx.prompter(), [&] { w = WorkerStore(m_ctx.db()).Load(m_iddWork); })) return;
    // A deleted worker is still opened (the directory lists them on request); only a missing row refuses.
    if (m_existing && !w) {
        m_ctx.prompter().Warning(QStringLiteral("Сотрудник не найден: он удален на другом рабочем месте."));
        return;
    }
    m_loaded = true;
    m_stored = w;
    if (w) {
        m_fio->setText(w->workFio);
        m_adres->setText(w->workAdres);
        m_tel->setText(w->workTel);
        if (w->workDataIn.isValid()) m_dataIn->setDateTime(w->workDataIn);
        m_workOut->setChecked(w->workOut);
        if (w->workOut && w->workDataOut.isValid()) m_dataOut->setDateTime(w->workDataOut);
    }
    UpdateDismissalPicker();
}

void CWorkerDlg::UpdateDismissalPicker() {
    m_dataOut->setEnabled(m_workOut->isChecked());
}

QString CWorkerDlg::WorkFio() const {
    return m_fio->text().trimmed();
}

void CWorkerDlg::accept() {
    WorkerRecord w;
    w.iddWork = m_iddWork;
    w.workFio = m_fio->text().trimmed();
    w.workAdres = m_adres->text().trimmed();
    w.workTel = m_tel->text().trimmed();
    w.workDataIn = m_dataIn->dateTime();
    w.workOut = m_workOut->isChecked();
    w.workDataOut = m_dataOut->dateTime();
    if (w.workFio.isEmpty()) {
        m_ctx.prompter().Warning(QStringLiteral("Укажите Ф.И.О. сотрудника"));
        m_fio->setFocus();
        return;
    }
    m_fio->setText(w.workFio);
    m_adres->setText(w.workAdres);
    m_tel->setText(w.workTel);

    WorkerStore store(m_ctx.db());
    if (!m_existing) {
        try {
            WaitCursor wait;
            m_iddWork = store.Insert(w, m_ctx.login());
        } catch (const DbError &e) {
            // The card stays open with everything typed, so the user can try again. A refusal of one
            // field says what is wrong with it rather than blaming the table.
            m_ctx.prompter().Error(e.field().isEmpty() ? QStringLiteral("Таблица Сотрудников не открыта!")
                                                       : e.text());
            Inputs::FocusField(this, e.field());
            return;
        }
        m_existing = true;
    } else {
        if (!TrySave(
                this, m_ctx.prompter(), [&] { store.Update(w, m_stored); }, [this] { Load(); }))
            return;
    }
    m_saved = true;
    QDialog::accept();
}
