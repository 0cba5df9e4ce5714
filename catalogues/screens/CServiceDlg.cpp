#include "CServiceDlg.h"

#include "AppContext.h"
#include "CWorkerDirDlg.h"
#include "CWorkerDlg.h"
#include "CardButtons.h"
#include "DbAction.h"
#include "DbError.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "ServiceStore.h"
#include "Tooltip.h"
#include "WaitCursor.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

const QString kPackageQuestion = QStringLiteral("Вы хотите добавить(изменить) пакет услуг?");
const QString kNameMissing = QStringLiteral("Укажите название услуги!");
const QString kPackageMissing = QStringLiteral("Укажите название пакета услуг!");
const QString kPriceBelowZero = QStringLiteral("Цена услуги меньше 0!\nВы собираетесь работать в убыток");
const QString kNdsBelowZero = QStringLiteral("Ставка НДС не может быть меньше 0!");
const QString kPickToEdit = QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его изменения!");
const QString kPickToDelete = QStringLiteral("Выберите! Выберите сотрудника из списка,\nдля его удаления!");
const QString kDeleteWorker = QStringLiteral("Удалить сотрудника?");
const QString kNotFound = QStringLiteral("Внимание! Справочник услуг не найден!");

QLineEdit *Edit(const QString &objectName) {
    auto *e = new QLineEdit;
    e->setObjectName(objectName);
    return e;
}

}  // namespace

CServiceDlg::CServiceDlg(AppContext &ctx, const ServiceCardSetup &setup, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_setup(setup), m_iddService(setup.iddService), m_iddTop(setup.iddTop) {
    setWindowTitle(QStringLiteral("Услуга"));
    Build();
    Load();
}

void CServiceDlg::Build() {
    m_package = new QComboBox;
    m_package->setObjectName(QStringLiteral("package"));
    m_package->setEditable(true);
    m_package->setInsertPolicy(QComboBox::NoInsert);
    // A package counts as chosen only when picked from the list; completion would pick for the user.
    m_package->setCompleter(nullptr);
    auto *packageBox = new QGroupBox(QStringLiteral("Название пакета услуг:"));
    auto *packageLayout = new QVBoxLayout(packageBox);
    packageLayout->addWidget(m_package);

    m_name = Edit(QStringLiteral("name"));
    Inputs::LimitTo(m_name, QStringLiteral("SService"), QStringLiteral("Name"));
    // A package is a service row too; only the name input is marked, so a refusal of the name lands there.
    m_package->lineEdit()->setMaxLength(m_name->maxLength());
    m_price = Edit(QStringLiteral("price"));
    m_nds = Edit(QStringLiteral("nds"));
    m_summa = Edit(QStringLiteral("summa"));
    Inputs::ReadOnlyFigure(m_summa);
    m_summa->setText(QStringLiteral("0"));
    m_job = Edit(QStringLiteral("job"));
    // A negative price or rate can be typed so that the card can say what is wrong with it.
    Inputs::Amount(m_price, true);
    Inputs::Amount(m_nds, true);
    Inputs::Amount(m_job);
    m_percent = new QRadioButton(QStringLiteral("% зарплаты"));
    m_percent->setObjectName(QStringLiteral("percent"));
    m_fixed = new QRadioButton(QStringLiteral("фикс. сумма"));
    m_fixed->setObjectName(QStringLiteral("fixed"));
    m_fixed->setChecked(true);
    m_time = new QTimeEdit;
    m_time->setObjectName(QStringLiteral("time"));
    m_time->setDisplayFormat(QStringLiteral("HH:mm"));
    m_time->setTime(QTime(0, 0));

    m_workers = new KeyedList(
        {QStringLiteral("Ф.И.О.:")}, 0,
        {[this] { AddPerformer(); }, [this] { EditPerformer(); }, [this] { DeletePerformer(); }});
    m_workers->setObjectName(QStringLiteral("performers"));
    m_workers->setRootIsDecorated(false);
    m_addWorker = PictureButton(QStringLiteral("Add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                                QStringLiteral("Добавить сотрудника"),
                                QStringLiteral("Добавить исполнителей услуги\nиз справочника сотрудников."));
    m_editWorker = PictureButton(QStringLiteral("Edit"), QStringLiteral("document-edit"),
                                 QStringLiteral("Изменить"), QStringLiteral("Изменить сотрудника"),
                                 QStringLiteral("Изменить сведения о выбранном сотруднике."));
    m_delWorker = PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"),
                                QStringLiteral("Удалить"), QStringLiteral("Удалить сотрудника"),
                                QStringLiteral("Убрать выбранного сотрудника\nиз исполнителей услуги."));

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Название услуги:")), 0, 0, 1, 3);
    fields->addWidget(m_name, 1, 0, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("Цена:")), 2, 0);
    fields->addWidget(new QLabel(QStringLiteral("НДС%:")), 2, 1);
    fields->addWidget(new QLabel(QStringLiteral("Сумма:")), 2, 2);
    fields->addWidget(m_price, 3, 0);
    fields->addWidget(m_nds, 3, 1);
    fields->addWidget(m_summa, 3, 2);
    fields->addWidget(new QLabel(QStringLiteral("Отчисление сотруднику:")), 4, 0);
    fields->addWidget(new QLabel(QStringLiteral("Длительность:")), 4, 2);
    fields->addWidget(m_job, 5, 0);
    auto *rule = new QVBoxLayout;
    rule->addWidget(m_percent);
    rule->addWidget(m_fixed);
    fields->addLayout(rule, 5, 1);
    fields->addWidget(m_time, 5, 2);

    auto *workerButtons = new QVBoxLayout;
    workerButtons->addWidget(m_addWorker);
    workerButtons->addWidget(m_editWorker);
    workerButtons->addWidget(m_delWorker);
    workerButtons->addStretch();
    auto *workerRow = new QHBoxLayout;
    workerRow->addWidget(m_workers, 1);
    workerRow->addLayout(workerButtons);

    QHBoxLayout *buttons = MakeCardButtons(this, &m_ok, &m_cancel, QStringLiteral("Сохранить"),
                                           QStringLiteral("Сохранить услугу и закрыть окно."));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(packageBox);
    layout->addLayout(fields);
    layout->addWidget(new QLabel(QStringLiteral("Сотрудники оказывающие данную услугу:")));
    layout->addLayout(workerRow, 1);
    layout->addLayout(buttons);

    SetTooltips();

    connect(m_name, &QLineEdit::textChanged, this, [this] { NameChanged(); });
    connect(m_price, &QLineEdit::textChanged, this, [this] { PriceChanged(); });
    connect(m_nds, &QLineEdit::textChanged, this, [this] { PriceChanged(); });
    connect(m_addWorker, &QPushButton::clicked, this, [this] { AddPerformer(); });
    connect(m_editWorker, &QPushButton::clicked, this, [this] { EditPerformer(); });
    connect(m_delWorker, &QPushButton::clicked, this, [this] { DeletePerformer(); });
    // Down the card as it is laid out; the figure it computes is only looked at.
    Inputs::ChainTabOrder({m_package, m_name, m_price, m_nds, m_job, m_percent, m_fixed, m_time, m_workers,
                           m_addWorker, m_editWorker, m_delWorker, m_ok, m_cancel});
    resize(460, 520);
}

void CServiceDlg::SetTooltips() {
    Tooltip::Set(
        m_package, QStringLiteral("Название пакета услуг"),
        QStringLiteral(
            "Выберите пакет из списка, в который входит услуга,\nили введите название нового пакета."));
    Tooltip::Set(m_name, QStringLiteral("Название услуги"),
                 QStringLiteral("Название услуги.\nПустое название - сохраняется только пакет услуг."));
    Tooltip::Set(m_price, QStringLiteral("Цена услуги"), QStringLiteral("Цена услуги без НДС."));
    Tooltip::Set(m_nds, QStringLiteral("Ставка НДС"), QStringLiteral("Ставка НДС в процентах."));
    Tooltip::Set(m_summa, QStringLiteral("Сумма"),
                 QStringLiteral("Цена услуги с НДС,\nрассчитывается автоматически."));
    Tooltip::Set(m_percent, QStringLiteral("% от цены исполнителю"),
                 QStringLiteral("Отчисление сотруднику - процент от цены услуги."));
    Tooltip::Set(m_fixed, QStringLiteral("Фиксировнная сумма исполнителю"),
                 QStringLiteral("Отчисление сотруднику - фиксированная сумма\nза одно выполнение услуги."));
    Tooltip::Set(m_job, QStringLiteral("Отчисление сотруднику"),
                 QStringLiteral("Процент или сумма, причитающаяся исполнителю услуги."));
    Tooltip::Set(m_time, QStringLiteral("Продолжительность"),
                 QStringLiteral("Длительность оказания услуги (часы:минуты)."));
    Tooltip::Set(m_workers, QStringLiteral("Сотрудники"),
                 QStringLiteral("Сотрудники, оказывающие данную услугу."));
}

void CServiceDlg::Load() {
    std::optional<ServiceRecord> row;
    const bool read = TryDb(m_ctx.prompter(), [&] {
        ServiceStore store(m_ctx.db());
        FillPackages();
        if (m_setup.orderLine) {
            row = m_setup.line;
            m_performers = m_setup.lineWorkers;
        } else if (m_setup.existing) {
            row = store.Load(m_setup.iddService);
            if (row) m_performers = store.Performers(m_setup.iddService);
            m_stored = row;
            m_storedPerformers = m_performers;
        }
    });
    if (!read) return;
    // A catalogue row deleted on another workstation since the list was filled: the card does not open.
    if (m_setup.existing && !row && !m_setup.orderLine) {
        m_ctx.prompter().Error(kNotFound);
        return;
    }

    QString packageText = m_setup.packageText;
    if (row) {
        m_iddTop = row->iddTop;
        if (m_iddService.isEmpty()) m_iddService = row->iddService;
        if (row->IsPackage()) {
            packageText = row->name;
            m_openedPackage = true;
        } else {
            m_name->setText(row->name);
        }
        m_price->setText(row->price.Text());
        m_nds->setText(Formats::TwoDecimals(row->prNds));
        m_summa->setText(row->summa.Text());
        m_job->setText(Formats::TwoDecimals(row->job));
        (row->prJob ? m_percent : m_fixed)->setChecked(true);
        m_time->setTime(row->time);
    }
    // A package has no service name of its own.
    if (m_openedPackage) m_name->setEnabled(false);
    if (m_setup.orderLine && m_setup.packageLocked) m_package->setEnabled(false);

    // Position the package field on the card's package; otherwise it shows the preset text, picked from
    // nothing.
    const int at = m_package->findData(m_iddTop);
    if (at >= 0) {
        m_package->setCurrentIndex(at);
    } else {
        m_package->setCurrentIndex(-1);
        m_package->setEditText(packageText);
    }
    FillPerformers();
    NameChanged();
    // The first thing to fill: the service's name (also when the card opens in a package), the
    // package's own name when a package is opened.
    (m_name->isEnabled() ? static_cast<QWidget *>(m_name) : m_package)->setFocus();
    m_loaded = true;
}

void CServiceDlg::FillPackages() {
    ServiceStore store(m_ctx.db());
    m_package->clear();
    for (const ServiceRecord &p : store.Packages()) m_package->addItem(p.name, p.iddService);
}

void CServiceDlg::FillPerformers() {
    m_workers->clear();
    for (qsizetype i = 0; i < m_performers.size(); ++i) {
        const PickedWorker &w = m_performers[i];
        if (w.deleted) continue;
        QTreeWidgetItem *item = m_workers->AddRow({w.workFio});
        item->setData(0, Qt::UserRole, qlonglong(i));  // position in the in-memory list
        item->setData(0, Qt::UserRole + 1, w.iddWork);
    }
    m_workers->FitColumns();
}

void CServiceDlg::NameChanged() {
    const bool on = !m_name->text().trimmed().isEmpty();
    for (QWidget *w :
         {static_cast<QWidget *>(m_price), static_cast<QWidget *>(m_nds), static_cast<QWidget *>(m_job),
          static_cast<QWidget *>(m_time), static_cast<QWidget *>(m_addWorker),
          static_cast<QWidget *>(m_editWorker), static_cast<QWidget *>(m_delWorker)})
        w->setEnabled(on);
}

void CServiceDlg::PriceChanged() {
    m_summa->setText(PriceWithVat(Money::Parse(m_price->text()), Formats::ParseNumber(m_nds->text())).Text());
}

QString CServiceDlg::PickedPackageId() const {
    // Typing a name equal to a listed package does not pick it: the entry must be the current one and
    // the text unchanged since.
    const int at = m_package->currentIndex();
    if (at < 0 || m_package->itemText(at) != m_package->currentText()) return QString();
    return m_package->itemData(at).toString();
}

void CServiceDlg::AddPerformer() {
    if (m_setup.orderLine) {
        m_ctx.prompter().Warning(QStringLiteral("Вы можете добавить исполнителей в форме заказа"));
        return;
    }
    CWorkerDirDlg picker(m_ctx, this);
    picker.SetPicking(true);
    if (m_ctx.dialogs().Run(picker) != QDialog::Accepted) return;
    MergePicked(m_performers, picker.Picked());
    FillPerformers();
}

void CServiceDlg::EditPerformer() {
    if (m_setup.orderLine) {
        m_ctx.prompter().Warning(QStringLiteral("Вы можете изменить исполнителя в форме заказа"));
        return;
    }
    QTreeWidgetItem *item = m_workers->Selected();
    if (!item) {
        m_ctx.prompter().Warning(kPickToEdit);
        return;
    }
    const QString iddWork = item->data(0, Qt::UserRole + 1).toString();
    CWorkerDlg card(m_ctx, iddWork, this);
    if (card.Loaded()) m_ctx.dialogs().Run(card);
    if (!card.Saved()) return;
    const QString fio = card.WorkFio();
    // Dismissing the worker in that card removes (and taking it back restores) the worker's stored links;
    // follow it here, or saving this card would write the old marks back over it.
    QSet<QString> live;
    PickedWorkers stored;
    bool known = false;
    if (!m_iddService.isEmpty()) {
        known = TryDb(m_ctx.prompter(), [&] {
            stored = ServiceStore(m_ctx.db()).Performers(m_iddService);
            for (const PickedWorker &w : std::as_const(stored)) live.insert(w.iddServiceWork);
        });
    }
    // That change was made here: it is not another workstation's for this card's save.
    if (known && m_stored) {
        m_storedPerformers.removeIf([&](const PickedWorker &w) { return w.iddWork == iddWork; });
        for (const PickedWorker &w : std::as_const(stored))
            if (w.iddWork == iddWork) m_storedPerformers << w;
    }
    for (PickedWorker &w : m_performers) {
        if (w.iddWork != iddWork) continue;
        w.workFio = fio;
        if (known && !w.iddServiceWork.isEmpty()) w.deleted = !live.contains(w.iddServiceWork);
    }
    FillPerformers();
}

void CServiceDlg::DeletePerformer() {
    if (m_setup.orderLine) {
        m_ctx.prompter().Warning(QStringLiteral("Вы можете удалить исполнителей в форме заказа"));
        return;
    }
    QTreeWidgetItem *item = m_workers->Selected();
    if (!item) {
        m_ctx.prompter().Warning(kPickToDelete);
        return;
    }
    if (!m_ctx.prompter().Confirm(kDeleteWorker)) return;
    const qsizetype at = item->data(0, Qt::UserRole).toLongLong();
    if (at >= 0 && at < m_performers.size()) m_performers[at].deleted = true;
    FillPerformers();
}

void CServiceDlg::accept() {
    const QString name = m_name->text().trimmed();
    const QString packageText = m_package->currentText().trimmed();
    m_name->setText(name);
    QString iddTop = m_iddTop;

    if (name.isEmpty()) {
        if (!m_ctx.prompter().Question(kPackageQuestion)) {
            m_ctx.prompter().Warning(kNameMissing);
            m_name->setFocus();
            return;
        }
        // Neither a service nor a package name: nothing could be saved, so do not report success.
        if (packageText.isEmpty() && !m_setup.orderLine) {
            m_ctx.prompter().Warning(kPackageMissing);
            m_package->setFocus();
            return;
        }
        // A new package card may name a listed package: it is then that package.
        if (!m_setup.existing && !m_setup.orderLine) iddTop = PickedPackageId();
    } else {
        if (Money::Parse(m_price->text()) < Money()) {
            m_ctx.prompter().Warning(kPriceBelowZero);
            m_price->setFocus();
            return;
        }
        if (Formats::ParseNumber(m_nds->text()) < 0) {
            m_ctx.prompter().Warning(kNdsBelowZero);
            m_nds->setFocus();
            return;
        }
        // An order line keeps its place in the order; only catalogue services move between packages.
        if (!m_setup.orderLine) iddTop = PickedPackageId();
    }

    ServiceCard card;
    card.existing = m_setup.existing;
    card.iddService = m_iddService;
    card.iddTop = iddTop;
    card.packageText = packageText;
    card.name = name;
    card.price = Money::Parse(m_price->text());
    card.prNds = Formats::ParseNumber(m_nds->text());
    card.job = Formats::ParseNumber(m_job->text());
    card.prJob = m_percent->isChecked();
    card.time = QTime(m_time->time().hour(), m_time->time().minute());
    card.performers = m_performers;
    card.loaded = m_stored;
    card.loadedPerformers = m_storedPerformers;

    if (!m_setup.orderLine) {
        // Nothing is written on a refusal; the card stays open.
        if (!TrySave(
                this, m_ctx.prompter(), [&] { ServiceStore(m_ctx.db()).SaveCard(card, m_ctx.login()); },
                [this] { Load(); }))
            return;
        m_iddService = card.iddService;
        m_iddTop = card.iddTop;
        m_performers = card.performers;
    }

    const Money price = card.price;
    const double prNds = card.prNds;
    m_result = ServiceRecord{};
    m_result.iddService = card.iddService;
    m_result.iddTop = card.iddTop;
    m_result.name = name.isEmpty() ? packageText : name;
    m_result.price = name.isEmpty() ? Money() : price;
    m_result.prNds = name.isEmpty() ? 0 : prNds;
    m_result.summa = name.isEmpty() ? Money() : PriceWithVat(price, prNds);
    m_result.prJob = name.isEmpty() ? false : card.prJob;
    m_result.job = name.isEmpty() ? 0 : card.job;
    m_result.time = card.time;
    m_resultPackage = packageText;
    QDialog::accept();
}
