#include "OrderLinesPart.h"

#include "AppContext.h"
#include "CServiceDirDlg.h"
#include "CServiceDlg.h"
#include "CWorkerDirDlg.h"
#include "DialogRunner.h"
#include "Formats.h"
#include "Inputs.h"
#include "KeyedList.h"
#include "PictureButton.h"
#include "Prompter.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

// Where a row's line sits in the order, kept in column 0.
constexpr int kTopRole = Qt::UserRole + 1;
constexpr int kChildRole = Qt::UserRole + 2;

// Only the quantity cell is edited in place.
class QuantityDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        if (index.column() != OrderLinesPart::ColCount) return nullptr;
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        m_open = qobject_cast<QLineEdit *>(editor);
        if (m_open) Inputs::Quantity(m_open);
        return editor;
    }
    // The quantity being typed, while a cell is open.
    QLineEdit *Open() const { return m_open; }

private:
    mutable QPointer<QLineEdit> m_open;
};

QString Quantity(double count) {
    return QString::number(count, 'g', 10);
}

QString WorkersText(const OrderLine &line) {
    QStringList names;
    for (const PickedWorker &w : line.workers)
        if (!w.deleted) names << w.workFio;
    return names.join(u' ');
}

void ShowLine(QTreeWidgetItem *item, const OrderLine &line) {
    item->setText(OrderLinesPart::ColName, line.name);
    item->setText(OrderLinesPart::ColCount, Quantity(line.count));
    item->setText(OrderLinesPart::ColPrice, line.price.Text());
    item->setText(OrderLinesPart::ColAmount, (OrderMath::LineAmount(line)).Text());
    item->setText(OrderLinesPart::ColVatPercent, Formats::TwoDecimals(line.prNds));
    item->setText(OrderLinesPart::ColVat, (OrderMath::LineVat(line)).Text());
    item->setText(OrderLinesPart::ColTotal, (OrderMath::LineTotal(line)).Text());
    item->setText(OrderLinesPart::ColDuration, OrderMath::DurationText(OrderMath::LineDurationSecs(line)));
    item->setText(OrderLinesPart::ColWorkers, WorkersText(line));
}

}  // namespace

OrderLinesPart::OrderLinesPart(AppContext &ctx, OrderEditor &editor, QWidget *parent)
    : QGroupBox(QStringLiteral("&Заказано:"), parent), m_ctx(ctx), m_editor(editor) {
    setObjectName(QStringLiteral("linesBox"));  // Alt+З takes the clerk to the lines
    Build();
}

void OrderLinesPart::Build() {
    m_lines = new KeyedList(this);
    m_lines->setObjectName(QStringLiteral("lines"));
    m_lines->SetColumns(
        {QStringLiteral("Название"), QStringLiteral("Кол-во:"), QStringLiteral("Цена:"),
         QStringLiteral("Сумма:"), QStringLiteral("НДС%:"), QStringLiteral("Сумма НДС:"),
         QStringLiteral("Сумма с НДС:"), QStringLiteral("Длительность"), QStringLiteral("Исполнители")},
        {150, 40, 60, 60, 40, 60, 70, 70, 120},  // the headings widen the figures
        {Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight,
         Qt::AlignRight, Qt::AlignRight});
    m_lines->SetStretchColumn(ColName);
    m_lines->setRootIsDecorated(true);
    // Enter and double-click choose the line's workers; the menu's middle entry edits the line.
    m_lines->SetCommands({[this] { AddLines(); }, [this] { ChooseWorkers(m_lines->currentItem()); },
                          [this] { DeleteLine(); }});
    m_lines->SetMenuTexts(QStringLiteral("Добавить услугу"), QStringLiteral("Изменить услугу"),
                          QStringLiteral("Удалить услугу"));
    if (QAction *menuEdit = m_lines->ContextMenu()->findChild<QAction *>(QStringLiteral("menuEdit"))) {
        disconnect(menuEdit, &QAction::triggered, m_lines, nullptr);
        connect(menuEdit, &QAction::triggered, this, [this] { EditLine(); });
    }
    m_lines->setItemDelegate(new QuantityDelegate(m_lines));
    m_lines->setEditTriggers(QAbstractItemView::SelectedClicked);
    m_lines->installEventFilter(this);

    // The buttons keep their resource names; the payments' buttons carry the same ones in their group.
    m_add = PictureButton(QStringLiteral("add"), QStringLiteral("list-add"), QStringLiteral("Добавить"),
                          QStringLiteral("Добавить услугу"),
                          QStringLiteral("Добавить услуги из справочника услуг."), this);
    m_edit = PictureButton(QStringLiteral("edit"), QStringLiteral("document-edit"),
                           QStringLiteral("Изменить"), QStringLiteral("Изменить услугу"),
                           QStringLiteral("Изменить выбранную услугу в заказе."), this);
    m_del = PictureButton(QStringLiteral("Del"), QStringLiteral("list-remove"), QStringLiteral("Удалить"),
                          QStringLiteral("Удалить услугу"),
                          QStringLiteral("Удалить выбранную услугу или пакет услуг из заказа."), this);
    auto label = [this](const char *name) {
        auto *l = new QLabel(Money().Text(), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setMinimumWidth(90);
        return l;
    };
    m_totalText = label("total");
    m_vatText = label("vat");

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {m_add, m_edit, m_del}) buttons->addWidget(b);
    buttons->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(m_lines, 1);
    row->addLayout(buttons);
    auto *totals = new QHBoxLayout;
    totals->addStretch();
    totals->addWidget(new QLabel(QStringLiteral("Итого:"), this));
    totals->addWidget(m_totalText);
    totals->addWidget(new QLabel(QStringLiteral("в том числе НДС:"), this));
    totals->addWidget(m_vatText);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(totals);

    connect(m_add, &QPushButton::clicked, this, [this] { AddLines(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { EditLine(); });
    connect(m_del, &QPushButton::clicked, this, [this] { DeleteLine(); });
    connect(m_lines, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (!m_filling && column == ColCount) QuantityEdited(item, item->text(ColCount));
    });
}

QList<QWidget *> OrderLinesPart::TabOrder() const {
    return {m_lines, m_add, m_edit, m_del};
}

void OrderLinesPart::Fill() {
    const bool wasFilling = m_filling;
    m_filling = true;
    m_lines->clear();
    auto row = [this](int top, int child, QTreeWidgetItem *parent) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_lines);
        item->setData(0, kTopRole, top);
        item->setData(0, kChildRole, child);
        ShowLine(item, *m_editor.Line({top, child}));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        for (int c : {ColCount, ColPrice, ColAmount, ColVatPercent, ColVat, ColTotal})
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    const QList<OrderLine> &lines = m_editor.order().lines;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].deleted) continue;
        QTreeWidgetItem *top = row(i, -1, nullptr);
        for (int j = 0; j < lines[i].children.size(); ++j)
            if (!lines[i].children[j].deleted) row(i, j, top);
        top->setExpanded(true);
    }
    m_filling = wasFilling;
    ShowTotals();
}

void OrderLinesPart::ShowTotals() {
    const OrderMath::Totals t = m_editor.Totals();
    m_totalText->setText(t.total.Text());
    m_vatText->setText(t.vat.Text());
    emit Changed();
}

OrderEditor::LinePos OrderLinesPart::PosOf(const QTreeWidgetItem *item) {
    if (!item) return {};
    bool ok = false;
    const int top = item->data(0, kTopRole).toInt(&ok);
    return ok ? OrderEditor::LinePos{top, item->data(0, kChildRole).toInt()} : OrderEditor::LinePos{};
}

QTreeWidgetItem *OrderLinesPart::Selected(const QString &warning) {
    QTreeWidgetItem *item = m_lines->Selected();
    if (item && m_editor.Line(PosOf(item))) return item;
    m_ctx.prompter().Warning(warning);
    return nullptr;
}

void OrderLinesPart::AddLines() {
    CServiceDirDlg dir(m_ctx, this);
    m_ctx.dialogs().Run(dir);
    m_editor.AddServices(dir.Selected());
    Fill();
}

void OrderLinesPart::EditLine() {
    QTreeWidgetItem *item = Selected(QStringLiteral("Выберите услугу или пакет услуг\nдля его изменения!"));
    if (!item) return;
    const OrderLine &line = *m_editor.Line(PosOf(item));
    ServiceCardSetup setup;
    setup.existing = true;
    setup.orderLine = true;
    setup.packageLocked = true;
    setup.iddService = line.iddService;
    setup.iddTop = line.iddTop;
    if (!line.IsPackage() && line.iddTop != Group::kStandalone)
        if (const OrderLine *pkg = m_editor.Line(PosOf(item->parent()))) setup.packageText = pkg->name;
    ServiceRecord rec = line;  // the line's own copy of the service, as the card edits it
    rec.summa = PriceWithVat(line.price, line.prNds);
    setup.line = rec;
    for (const PickedWorker &w : line.workers)
        setup.lineWorkers << PickedWorker{QString(), w.iddWork, w.workFio, w.deleted};
    CServiceDlg card(m_ctx, setup, this);
    if (!card.Loaded() || m_ctx.dialogs().Run(card) != QDialog::Accepted) return;
    m_editor.ChangeLine(PosOf(item), card.Result());
    Fill();
}

void OrderLinesPart::DeleteLine() {
    QTreeWidgetItem *item = Selected(QStringLiteral("Выберите услугу или пакет услуг\nдля его удаления!"));
    if (!item) return;
    if (!m_ctx.prompter().Confirm(QStringLiteral("Удалить услугу (пакет услуг и все услуги в пакете)?")))
        return;
    m_editor.RemoveLine(PosOf(item));
    Fill();
}

void OrderLinesPart::ChooseWorkers(QTreeWidgetItem *item) {
    const OrderEditor::LinePos pos = PosOf(item);
    const OrderLine *line = m_editor.Line(pos);
    if (!line) return;
    CWorkerDirDlg dir(m_ctx, this);
    dir.SetPicking(true);  // Enter on a worker adds him and closes
    PickedWorkers current;
    for (const PickedWorker &w : line->workers)
        if (!w.deleted) current << PickedWorker{QString(), w.iddWork, w.workFio, false};
    dir.SetPicked(current);
    if (m_ctx.dialogs().Run(dir) != QDialog::Accepted) return;
    m_editor.SetWorkers(pos, dir.Picked());
    item->setText(ColWorkers, WorkersText(*m_editor.Line(pos)));
}

bool OrderLinesPart::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_lines || event->type() != QEvent::KeyPress || m_lines->Editing())
        return QGroupBox::eventFilter(watched, event);
    // F2 opens the selected line's quantity; a digit typed on the line opens it with that digit.
    const auto &key = static_cast<const QKeyEvent &>(*event);
    const QString text = key.text();
    const bool digit = text.size() == 1 && text[0].isDigit();
    QTreeWidgetItem *item = m_lines->Selected();
    if (!item || !(digit || key.key() == Qt::Key_F2)) return false;
    m_lines->setCurrentItem(item, ColCount);
    m_lines->editItem(item, ColCount);
    QLineEdit *edit = static_cast<const QuantityDelegate *>(m_lines->itemDelegate())->Open();
    if (digit && edit) edit->setText(text);
    return true;
}

void OrderLinesPart::QuantityEdited(QTreeWidgetItem *item, const QString &text) {
    const OrderEditor::LinePos pos = PosOf(item);
    if (!m_editor.Line(pos)) return;
    m_editor.SetQuantity(pos, Formats::ParseNumber(text));
    // The row shows the line again either way, so an ignored quantity shows the old one.
    const bool wasFilling = m_filling;
    m_filling = true;
    ShowLine(item, *m_editor.Line(pos));
    m_filling = wasFilling;
    ShowTotals();
}
