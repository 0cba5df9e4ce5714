#include "CChangeLogDlg.h"

#include "AppContext.h"
#include "ChangeLog.h"
#include "DatePicker.h"
#include "DbAction.h"
#include "FlatModel.h"
#include "Formats.h"
#include "KeyedView.h"
#include "PictureButton.h"
#include "Prompter.h"
#include "ReportCommands.h"
#include "SqlConditions.h"
#include "Tooltip.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Журнал изменений");
const QString kAll = QStringLiteral("Все");

QList<FlatModel<ChangeLogEntry>::Column> Columns() {
    return {
        {QStringLiteral("Дата и время"),
         [](const ChangeLogEntry &e) { return e.at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")); },
         [](const ChangeLogEntry &e) { return QVariant(e.serial); }},
        {QStringLiteral("Пользователь"), [](const ChangeLogEntry &e) { return e.user; }},
        {QStringLiteral("Рабочее место"), [](const ChangeLogEntry &e) { return e.host; }},
        {QStringLiteral("Действие"),
         [](const ChangeLogEntry &e) { return ChangeLogStore::ActionText(e.action); }},
        {QStringLiteral("Вид записи"),
         [](const ChangeLogEntry &e) { return ChangeLogStore::KindOf(e.table); }},
        {QStringLiteral("Запись"), [](const ChangeLogEntry &e) { return e.label; }},
        {QStringLiteral("Заказ"), [](const ChangeLogEntry &e) { return e.orderNumber; }},
        {QStringLiteral("Клиент"), [](const ChangeLogEntry &e) { return e.client; }},
        {QStringLiteral("Изменения"), [](const ChangeLogEntry &e) { return ChangeLogStore::Describe(e); }},
    };
}

QComboBox *Choice(QWidget *parent, const char *name, const QStringList &items) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItem(kAll);
    box->addItems(items);
    return box;
}

QString Chosen(const QComboBox *box) {
    const QString text = box->currentText().trimmed();
    return text == kAll ? QString() : text;
}

}  // namespace

CChangeLogDlg::CChangeLogDlg(AppContext &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx) {
    Build(false);
    Find();
}

CChangeLogDlg::CChangeLogDlg(AppContext &ctx, const ChangeLogFilter &history, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_history(history) {
    Build(true);
    Find();
    // Named by what the entries say of the record.
    QString number;
    for (const ChangeLogEntry &e : Entries()) {
        number = history.iddZakaz.isEmpty() ? (e.table == u"TPay" ? e.label : QString()) : e.orderNumber;
        if (!number.isEmpty()) break;
    }
    setWindowTitle(
        (history.iddZakaz.isEmpty() ? QStringLiteral("История платежа") : QStringLiteral("История заказа")) +
        (number.isEmpty() ? QString() : QStringLiteral(" №") + number));
}

CChangeLogDlg::~CChangeLogDlg() = default;

void CChangeLogDlg::Build(bool history) {
    setWindowTitle(kTitle);
    setSizeGripEnabled(true);
    resize(1200, 600);
    const QDate today = QDate::currentDate();
    const auto date = [this](const char *name, const QDate &value) {
        auto *edit = new QDateEdit(this);
        DatePicker::Limit(edit);
        edit->setDate(value);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        return edit;
    };
    m_from = date("from", today.addMonths(-1));
    m_to = date("to", today);
    QStringList users;
    TryDb(m_ctx.prompter(), [&] { users = ChangeLogStore(m_ctx.db()).Users(); });
    m_user = Choice(this, "user", users);
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    m_kind = Choice(this, "kind", ChangeLogStore::Kinds());
    m_action = Choice(this, "action", ChangeLogStore::Actions());
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("text"));
    Tooltip::Set(m_from, QStringLiteral("Период"), QStringLiteral("Первый день периода."));
    Tooltip::Set(m_to, QStringLiteral("Период"), QStringLiteral("Последний день периода (включительно)."));
    Tooltip::Set(m_user, QStringLiteral("Пользователь"), QStringLiteral("Кто сделал изменение."));
    Tooltip::Set(m_kind, QStringLiteral("Вид записи"), QStringLiteral("Заказы, платежи, клиенты..."));
    Tooltip::Set(m_action, QStringLiteral("Действие"),
                 QStringLiteral("Добавление, изменение, удаление\n(и пометка удаления), восстановление."));
    Tooltip::Set(m_text, QStringLiteral("Текст"),
                 QStringLiteral("Номер заказа, имя клиента, значение поля...\nБез учета регистра."));

    QPushButton *find = PictureButton(QStringLiteral("find"), QStringLiteral("edit-find"),
                                      QStringLiteral("Найти"), QStringLiteral("Поиск"),
                                      QStringLiteral("Показать изменения\nпо условиям отбора."), this);
    connect(find, &QPushButton::clicked, this, [this] { Find(); });
    auto *filters = new QGridLayout;
    const auto labelled = [&](int col, const QString &caption, QWidget *w) {
        filters->addWidget(new QLabel(caption, this), 0, col);
        filters->addWidget(w, 1, col);
    };
    labelled(0, QStringLiteral("Период с:"), m_from);
    labelled(1, QStringLiteral("по:"), m_to);
    labelled(2, QStringLiteral("Пользователь:"), m_user);
    labelled(3, QStringLiteral("Вид записи:"), m_kind);
    labelled(4, QStringLiteral("Действие:"), m_action);
    labelled(5, QStringLiteral("Текст:"), m_text);
    filters->addWidget(find, 1, 6);
    filters->setColumnStretch(5, 1);

    m_rows = new FlatModel<ChangeLogEntry>(
        Columns(), [](const ChangeLogEntry &e) { return QString::number(e.serial); }, this);
    m_list = new KeyedView(m_rows, 8, {nullptr, [this] { ShowEntry(); }, nullptr}, this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetWidths({120, 70, 80, 100, 90, 110, 50, 110, 200});
    m_list->setRootIsDecorated(false);
    m_list->SetSortable(true);
    // The columns fit the first rows' texts: measuring thousands of entries' changes would hold the window.
    m_list->header()->setResizeContentsPrecision(100);
    m_list->SetMenuTexts(QString(), QStringLiteral("Подробно"), QString());
    Tooltip::Set(m_list, kTitle,
                 QStringLiteral("Кто, когда и что изменил.\nEnter или двойной щелчок - подробно."));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list, 1);
    layout->addLayout(BuildButtons(history));
    // A history has no filters: it is one record's entries.
    if (history)
        for (int i = 0; i < filters->count(); ++i)
            if (QWidget *w = filters->itemAt(i)->widget()) w->hide();
    // Enter in any filter searches (in the list it shows the entry); no button below is pressed by it.
    find->setDefault(true);
    m_text->setFocus();
}

// The row below the list: the count of entries, the report, the archive's commands and "Закрыть".
QHBoxLayout *CChangeLogDlg::BuildButtons(bool history) {
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("count"));
    auto *report = new QPushButton(QIcon::fromTheme(QStringLiteral("x-office-spreadsheet")),
                                   QStringLiteral("Отчет"), this);
    report->setObjectName(QStringLiteral("report"));
    connect(report, &QPushButton::clicked, this, [this] { Report(); });
    auto *archive = new QPushButton(QStringLiteral("В архив..."), this);
    archive->setObjectName(QStringLiteral("archive"));
    Tooltip::Set(
        archive, QStringLiteral("В архив"),
        QStringLiteral("Перенести записи до начала периода в файл архива.\nИз журнала они удаляются."));
    connect(archive, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Архив журнала изменений"),
                                                          m_ctx.workDir(), QStringLiteral("Архив (*.db)"));
        if (!file.isEmpty()) ArchiveBefore(file);
    });
    auto *open = new QPushButton(QStringLiteral("Открыть архив..."), this);
    open->setObjectName(QStringLiteral("openArchive"));
    connect(open, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Архив журнала изменений"),
                                                          m_ctx.workDir(), QStringLiteral("Архив (*.db)"));
        if (!file.isEmpty()) ShowArchive(file);
    });
    auto *close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("close"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    // A history is one record's: it is neither archived nor read from an archive.
    if (history) {
        archive->hide();
        open->hide();
    }
    for (QPushButton *b : {report, archive, open, close}) b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    buttons->addWidget(report);
    buttons->addWidget(archive);
    buttons->addWidget(open);
    buttons->addWidget(close);
    return buttons;
}

ChangeLogFilter CChangeLogDlg::Filter() const {
    if (!m_history.iddZakaz.isEmpty() || !m_history.iddPay.isEmpty()) return m_history;
    return {.from = m_from->date(),
            .to = m_to->date(),
            .user = Chosen(m_user),
            .kind = Chosen(m_kind),
            .action = Chosen(m_action),
            .text = m_text->text()};
}

Database &CChangeLogDlg::Source() const {
    return m_archive ? *m_archive : m_ctx.db();
}

bool CChangeLogDlg::Find() {
    const ChangeLogFilter filter = Filter();
    if (m_history.iddZakaz.isEmpty() && m_history.iddPay.isEmpty() &&
        !DatePicker::PeriodAccepted(m_ctx.prompter(), filter.from, filter.to))
        return false;
    QList<ChangeLogEntry> entries;
    bool more = false;
    if (!TryDb(m_ctx.prompter(),
               [&] { entries = ChangeLogStore(Source()).Search(filter, ChangeLogStore::kMostShown, &more); }))
        return false;
    Show(std::move(entries), more);
    return true;
}

void CChangeLogDlg::Show(QList<ChangeLogEntry> entries, bool more) {
    m_count->setText(
        more ? QStringLiteral("Показаны последние %1 записей: уточните отбор.").arg(entries.size())
             : QStringLiteral("Записей: %1").arg(entries.size()));
    m_rows->Set(std::move(entries));
    m_list->FitColumns();
}

const QList<ChangeLogEntry> &CChangeLogDlg::Entries() const {
    return m_rows->Rows();
}

bool CChangeLogDlg::ShowArchive(const QString &file) {
    std::unique_ptr<Database> archive;
    const bool opened = TryDb(m_ctx.prompter(), [&] { archive = ChangeLog::OpenArchive(file); });
    if (!opened) return false;
    m_archive = std::move(archive);
    setWindowTitle(kTitle + QStringLiteral(" - архив ") + file);
    return Find();
}

bool CChangeLogDlg::ArchiveBefore(const QString &file) {
    if (m_archive) {
        m_ctx.prompter().Warning(
            QStringLiteral("Открыт архив: в архив переносятся записи журнала базы данных."));
        return false;
    }
    const QDateTime before = SqlConditions::StartOf(m_from->date());
    if (!m_ctx.prompter().Confirm(
            QStringLiteral("Перенести в архив все записи журнала до %1?\nИз журнала они будут удалены.")
                .arg(Formats::Date(before.date()))))
        return false;
    qint64 moved = 0;
    if (!TryDb(m_ctx.prompter(), [&] { moved = ChangeLog::Archive(m_ctx.db(), before, file); })) return false;
    m_ctx.prompter().Information(QStringLiteral("Перенесено в архив записей: %1.").arg(moved));
    return Find();
}

bool CChangeLogDlg::Report() {
    QList<ChangeLogRow> rows;
    for (const ChangeLogEntry &e : Entries())
        rows.append({e.at, e.user, e.host, ChangeLogStore::ActionText(e.action),
                     ChangeLogStore::KindOf(e.table), e.label, e.orderNumber, e.client,
                     ChangeLogStore::Describe(e)});
    const QString title = m_history.iddZakaz.isEmpty() && m_history.iddPay.isEmpty()
                              ? QStringLiteral("Журнал изменений за период с: %1 по: %2")
                                    .arg(Formats::Date(m_from->date()), Formats::Date(m_to->date()))
                              : windowTitle();
    return ReportCommands::ChangeLog(m_ctx, rows, title, this);
}

void CChangeLogDlg::ShowEntry() {
    const QString key = m_list->SelectedValue(KeyedModel::kKeyRole);
    for (const ChangeLogEntry &e : Entries()) {
        if (QString::number(e.serial) != key) continue;
        QStringList lines = {QStringLiteral("%1, %2").arg(ChangeLogStore::KindOf(e.table),
                                                          ChangeLogStore::ActionText(e.action)),
                             QStringLiteral("Когда: ") + e.at.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                             QStringLiteral("Пользователь: ") + e.user,
                             QStringLiteral("Рабочее место: ") + e.host};
        if (!e.label.isEmpty()) lines << QStringLiteral("Запись: ") + e.label;
        if (!e.orderNumber.isEmpty()) lines << QStringLiteral("Заказ: ") + e.orderNumber;
        if (!e.client.isEmpty()) lines << QStringLiteral("Клиент: ") + e.client;
        lines << QString();
        for (const FieldChange &f : ChangeLogStore::Fields(e))
            lines << QStringLiteral("%1: %2 → %3").arg(f.field, f.before, f.after);
        m_ctx.prompter().Information(lines.join(u'\n'));
        return;
    }
}
