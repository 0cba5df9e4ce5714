#include "MainFrame.h"

#include "AboutDlg.h"
#include "AppContext.h"
#include "BackupCommands.h"
#include "CBayDirDlg.h"
#include "CCarDirDlg.h"
#include "CChangeLogDlg.h"
#include "CClientDirDlg.h"
#include "CServiceDirDlg.h"
#include "CUserDirDlg.h"
#include "CWorkerDirDlg.h"
#include "Commands.h"
#include "CompanyDlg.h"
#include "DialogRunner.h"
#include "NumberingDlg.h"
#include "ReportCommands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {

const QString kTitle = QStringLiteral("Trellvark");
const char *const kKindProperty = "zvChildKind";

// The journals and reports: the command that opens each, its kind and the right it needs.
struct JournalCommand {
    int command;
    int kind;
    Right right;
};
constexpr JournalCommand kJournals[] = {
    {Cmd::kOrderJournal, ChildKindId::kOrderJournal, Right::OrderJournal},
    {Cmd::kCashJournal, ChildKindId::kCashJournal, Right::CashJournal},
    {Cmd::kSalaryJournal, ChildKindId::kSalaryJournal, Right::SalaryJournal},
    {Cmd::kWorksReport, ChildKindId::kWorksReport, Right::WorksReport},
    {Cmd::kBalanceReport, ChildKindId::kBalanceReport, Right::BalanceReport},
    {Cmd::kBayBoard, ChildKindId::kBayBoard, Right::BayBoard},
    {Cmd::kTyreJournal, ChildKindId::kTyreJournal, Right::TyreJournal},
};

const JournalCommand *JournalByCommand(int command) {
    for (const auto &j : kJournals)
        if (j.command == command) return &j;
    return nullptr;
}

const JournalCommand *JournalByKind(int kind) {
    for (const auto &j : kJournals)
        if (j.kind == kind) return &j;
    return nullptr;
}

int KindOf(const QMdiSubWindow *w) {
    return w ? w->property(kKindProperty).toInt() : 0;
}

// The command's icon from the desktop theme (breeze when the desktop names none); null when it has none.
QIcon ThemeIconOf(int id) {
    const char *name = Cmd::ThemeIcon(id);
    return name ? QIcon::fromTheme(QLatin1StringView(name)) : QIcon();
}

}  // namespace

CMainFrame::CMainFrame(AppContext &ctx, QWidget *parent) : QMainWindow(parent), m_ctx(ctx) {
    // The frame keeps its own title: a maximised window adds its title to it ("Trellvark - [Журнал
    // заказов]") and takes it away again, any other shows its title on its own frame.
    setWindowTitle(kTitle);
    resize(820, 550);
    m_mdi = new QMdiArea;
    m_mdi->setObjectName(QStringLiteral("mdi"));
    setCentralWidget(m_mdi);
    setDockNestingEnabled(true);

    BuildMenus();
    BuildBars();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *) { SyncToActiveChild(); });
    ShowKind(ChildKindId::kNone);
    InstallCatalogues();
}

CMainFrame::~CMainFrame() {
    // The child windows go down with the frame; they must not call back into it on the way.
    for (QMdiSubWindow *w : m_mdi->subWindowList()) disconnect(w, nullptr, this, nullptr);
    disconnect(m_mdi, nullptr, this, nullptr);
}

QAction *CMainFrame::MakeAction(int id, const QString &text, const QString &prompt) {
    auto *a = new QAction(text, this);
    a->setData(id);
    a->setIcon(ThemeIconOf(id));
    a->setStatusTip(prompt.isEmpty() ? QString(text).remove(u'&').section(u'\t', 0, 0) : prompt);
    m_actions.insert(id, a);
    return a;
}

void CMainFrame::BuildMenus() {
    auto *print = MakeAction(Cmd::kPrint, QStringLiteral("&Печать...\tCtrl+P"), QStringLiteral("Печать"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    addAction(print);  // Ctrl+P works whichever menu is shown
    connect(print, &QAction::triggered, this, [this] { RunKindCommand(Cmd::kPrint); });
    auto *close =
        MakeAction(Cmd::kClose, QStringLiteral("&Закрыть"), QStringLiteral("Закрыть активное окно"));
    connect(close, &QAction::triggered, m_mdi, &QMdiArea::closeActiveSubWindow);
    auto *exit = MakeAction(Cmd::kExit, QStringLiteral("В&ыход"), QStringLiteral("Выйти из программы"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    m_fileNone = new QMenu(QStringLiteral("&Файл"), this);
    m_fileNone->addAction(exit);
    m_fileChild = new QMenu(QStringLiteral("&Файл"), this);
    m_fileChild->addAction(print);
    m_fileChild->addSeparator();
    m_fileChild->addAction(close);
    m_fileChild->addAction(exit);

    m_journals = new QMenu(QStringLiteral("Журналы"), this);
    m_journals->addAction(MakeAction(Cmd::kOrderJournal, QStringLiteral("Журнал заказов")));
    m_journals->addAction(MakeAction(Cmd::kCashJournal, QStringLiteral("Журнал кассы")));
    m_journals->addAction(MakeAction(Cmd::kSalaryJournal, QStringLiteral("Журнал З/П")));
    m_journals->addAction(MakeAction(Cmd::kBayBoard, QStringLiteral("Загрузка боксов"),
                                     QStringLiteral("Заказы, запланированные в боксах, по дням и времени")));
    m_journals->addAction(MakeAction(Cmd::kTyreJournal, QStringLiteral("Хранение шин"),
                                     QStringLiteral("Комплекты шин клиентов на сезонном хранении")));
    m_reports = new QMenu(QStringLiteral("Отчеты"), this);
    m_reports->addAction(MakeAction(Cmd::kWorksReport, QStringLiteral("Отчет о выполненных работах"),
                                    QStringLiteral("Отчет о выполненных работах сотрудниками")));
    m_reports->addAction(MakeAction(Cmd::kBalanceReport, QStringLiteral("Отчет о расчетах с сотрудниками")));
    // Greyed until the window they open is plugged in, so the menu does not promise what nothing does.
    for (const auto &j : kJournals) m_actions.value(j.command)->setEnabled(false);
    for (const auto &j : kJournals)
        connect(m_actions.value(j.command), &QAction::triggered, this,
                [this, id = j.command] { OpenJournal(id); });

    m_catalogueMenu = new QMenu(QStringLiteral("Справочники"), this);
    auto *company = MakeAction(Cmd::kCompany, QStringLiteral("Основные сведения"));
    connect(company, &QAction::triggered, this, &CMainFrame::OpenCompany);
    m_catalogueMenu->addAction(company);
    const std::pair<int, const char *> catalogues[] = {
        {Cmd::kServices, "Справочник услуг"},   {Cmd::kWorkers, "Справочник сотрудников"},
        {Cmd::kBays, "Справочник боксов"},      {Cmd::kCars, "Справочник автомобилей"},
        {Cmd::kClients, "Справочник клиентов"}, {Cmd::kUsers, "Справочник пользователей"}};
    for (const auto &[id, text] : catalogues) {
        auto *a = MakeAction(id, QString::fromUtf8(text));
        connect(a, &QAction::triggered, this, [this, id = id] { OpenCatalogue(id); });
        m_catalogueMenu->addAction(a);
    }

    BuildViewMenus();
    BuildWindowMenu();
    BuildServiceMenus();
}

void CMainFrame::BuildViewMenus() {
    // The two bar toggles; the menus of child windows call the status bar "Полоса".
    auto *toolbarToggle = MakeAction(Cmd::kToolbar, QStringLiteral("Панели &инструментов"),
                                     QStringLiteral("Показать или скрыть панель инструментов"));
    toolbarToggle->setCheckable(true);
    toolbarToggle->setChecked(true);
    connect(toolbarToggle, &QAction::toggled, this, [this](bool on) { m_mainToolBar->setVisible(on); });
    auto *statusToggle = MakeAction(Cmd::kStatusBar, QStringLiteral("Строка &статуса"),
                                    QStringLiteral("Показать или скрыть строку статуса"));
    m_statusToggleChild = new QAction(QStringLiteral("Полоса &статуса"), this);
    m_statusToggleChild->setStatusTip(statusToggle->statusTip());
    for (QAction *a : {statusToggle, m_statusToggleChild}) {
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::toggled, this, [this, statusToggle](bool on) {
            statusBar()->setVisible(on);
            for (QAction *other : {statusToggle, m_statusToggleChild}) {
                const QSignalBlocker block(other);
                other->setChecked(on);
            }
        });
    }
    m_viewNone = new QMenu(QStringLiteral("&Вид"), this);
    m_viewNone->addAction(toolbarToggle);
    m_viewNone->addAction(statusToggle);
    m_viewChild = new QMenu(QStringLiteral("&Вид"), this);
    m_viewChild->addAction(toolbarToggle);
    m_viewChild->addAction(m_statusToggleChild);
}

void CMainFrame::BuildWindowMenu() {
    m_window = new QMenu(QStringLiteral("&Окно"), this);
    auto *windowNew = MakeAction(Cmd::kWindowNew, QStringLiteral("&Новое"),
                                 QStringLiteral("Открыть еще одно окно того же вида"));
    connect(windowNew, &QAction::triggered, this, [this] {
        // Another window of the active kind, through the same command and right as the menu item.
        if (const auto *j = JournalByKind(KindOf(m_mdi->currentSubWindow()))) OpenJournal(j->command);
    });
    auto *cascade =
        MakeAction(Cmd::kCascade, QStringLiteral("&Каскад"), QStringLiteral("Расположить окна каскадом"));
    connect(cascade, &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    auto *tile =
        MakeAction(Cmd::kTile, QStringLiteral("&Черепица"), QStringLiteral("Расположить окна черепицей"));
    connect(tile, &QAction::triggered, m_mdi, &QMdiArea::tileSubWindows);
    auto *arrange = MakeAction(Cmd::kArrange, QStringLiteral("&Упорядочить Значки"),
                               QStringLiteral("Упорядочить значки свернутых окон"));
    connect(arrange, &QAction::triggered, this, &CMainFrame::ArrangeIcons);
    for (QAction *a : {windowNew, cascade, tile, arrange}) m_window->addAction(a);
    connect(m_window, &QMenu::aboutToShow, this, &CMainFrame::FillWindowMenu);
}

// "Сервис" and "?".
void CMainFrame::BuildServiceMenus() {
    m_service = new QMenu(QStringLiteral("Сервис"), this);
    auto *numbering = MakeAction(Cmd::kNumbering, QStringLiteral("Настройка нумерации"));
    connect(numbering, &QAction::triggered, this, &CMainFrame::OpenNumbering);
    m_service->addAction(numbering);
    auto *changeLog = MakeAction(Cmd::kChangeLog, QStringLiteral("Журнал изменений"),
                                 QStringLiteral("Кто, когда и что добавил, изменил или удалил"));
    connect(changeLog, &QAction::triggered, this, &CMainFrame::OpenChangeLog);
    m_service->addAction(changeLog);
    m_service->addSeparator();
    auto *backup = MakeAction(Cmd::kBackup, BackupCommandTexts::kBackup,
                              QStringLiteral("Сохранить копию базы данных в выбранную папку"));
    backup->setIcon(QIcon::fromTheme(QStringLiteral("document-save-as")));
    connect(backup, &QAction::triggered, this, &CMainFrame::BackUp);
    auto *restore = MakeAction(Cmd::kRestore, BackupCommandTexts::kRestore,
                               QStringLiteral("Заменить базу данных ее резервной копией"));
    restore->setIcon(QIcon::fromTheme(QStringLiteral("document-revert")));
    connect(restore, &QAction::triggered, this, &CMainFrame::Restore);
    m_service->addAction(backup);
    m_service->addAction(restore);
    // The disabled commands say why in their tooltip.
    m_service->setToolTipsVisible(true);
    m_backups = std::make_unique<BackupCommands>(m_ctx);
    m_backups->Configure(backup, restore);

    m_help = new QMenu(QStringLiteral("&?"), this);
    auto *about = MakeAction(Cmd::kAbout, QStringLiteral("&О программе ..."),
                             QStringLiteral("Сведения о программе и справка"));
    connect(about, &QAction::triggered, this, &CMainFrame::ShowAbout);
    m_help->addAction(about);
}

void CMainFrame::BuildBars() {
    m_mainToolBar = new QToolBar(QStringLiteral("Стандартная"), this);
    m_mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_mainToolBar->setIconSize(QSize(32, 32));
    m_mainToolBar->addAction(m_actions.value(Cmd::kAbout));
    addToolBar(Qt::TopToolBarArea, m_mainToolBar);

    // The message pane. (No Caps Lock and Num Lock panes: their state cannot be read here, and panes that
    // always say "CAP" and "NUM" only mislead.)
    auto *ready = new QLabel(QStringLiteral("Готов"));
    ready->setObjectName(QStringLiteral("readyPane"));
    statusBar()->addWidget(ready, 1);
}

QIcon CMainFrame::OwnIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/trellvark-%1.png").arg(size), QSize(size, size));
    return icon;
}

void CMainFrame::RegisterChildKind(int kind, ChildKind spec) {
    KindEntry entry;
    if (!spec.editMenu.isEmpty()) {
        entry.edit = new QMenu(QStringLiteral("&Правка"), this);
        for (const CommandItem &item : spec.editMenu) {
            if (item.id == 0) {
                entry.edit->addSeparator();
                continue;
            }
            // Commands the frame already has (print) keep their one action; the rest belong to the kind.
            QAction *a = item.id == Cmd::kPrint ? m_actions.value(Cmd::kPrint) : nullptr;
            if (!a) {
                a = new QAction(item.text, this);
                a->setData(item.id);
                a->setIcon(item.icon.isNull() ? ThemeIconOf(item.id) : item.icon);
                a->setStatusTip(item.prompt.isEmpty() ? QString(item.text).remove(u'&') : item.prompt);
                connect(a, &QAction::triggered, this, [this, id = item.id] { RunKindCommand(id); });
                entry.commands << a;
            }
            entry.edit->addAction(a);
        }
    }
    if (const JournalCommand *j = JournalByKind(kind))
        m_actions.value(j->command)->setEnabled(bool(spec.open));
    entry.spec = std::move(spec);
    m_kinds[kind] = std::move(entry);
    SyncToActiveChild();
}

namespace {

// Runs a catalogue directory modally through the dialog seam; the frame makes no use of its result.
template <typename Dlg>
std::function<void()> Opener(AppContext &ctx, QWidget *parent) {
    return [&ctx, parent] {
        Dlg dlg(ctx, parent);
        ctx.dialogs().Run(dlg);
    };
}

}  // namespace

void CMainFrame::InstallCatalogues() {
    SetCatalogueOpener(Cmd::kServices, Opener<CServiceDirDlg>(m_ctx, this));
    SetCatalogueOpener(Cmd::kWorkers, Opener<CWorkerDirDlg>(m_ctx, this));
    SetCatalogueOpener(Cmd::kBays, Opener<CBayDirDlg>(m_ctx, this));
    SetCatalogueOpener(Cmd::kCars, Opener<CCarDirDlg>(m_ctx, this));
    SetCatalogueOpener(Cmd::kClients, [this] {
        CClientDirDlg dlg(m_ctx, this);
        dlg.SetPrintHandler([this, &dlg](const QString &iddClient, bool) {
            ReportCommands::ClientCard(m_ctx, iddClient, &dlg);
        });
        m_ctx.dialogs().Run(dlg);
    });
    SetCatalogueOpener(Cmd::kUsers, Opener<CUserDirDlg>(m_ctx, this));
}

void CMainFrame::SetCatalogueOpener(int commandId, std::function<void()> opener) {
    m_catalogues[commandId] = std::move(opener);
}

QList<QMenu *> CMainFrame::MenusFor(int kind) const {
    if (kind == ChildKindId::kNone)
        return {m_fileNone, m_journals, m_reports, m_catalogueMenu, m_viewNone, m_service, m_help};
    QList<QMenu *> menus = {m_fileChild};
    const auto it = m_kinds.find(kind);
    if (it != m_kinds.end() && it->second.edit) menus << it->second.edit;
    menus << m_journals << m_reports << m_catalogueMenu << m_viewChild << m_window << m_service << m_help;
    return menus;
}

QStringList CMainFrame::MenuTitles() const {
    QStringList titles;
    for (const QAction *a : menuBar()->actions()) titles << a->text();
    return titles;
}

void CMainFrame::SyncToActiveChild() {
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    QMdiSubWindow *active = m_mdi->currentSubWindow();
    if (!active && !windows.isEmpty()) {
        // Activation went to a dialog or another application: the last active window stays current.
        if (m_shownKind != ChildKindId::kNone) return;
        active = windows.last();
    }
    ShowKind(active ? KindOf(active) : ChildKindId::kNone);
}

void CMainFrame::ShowKind(int kind) {
    if (kind == 0) kind = ChildKindId::kNone;
    if (kind != m_shownKind || MenuTitles().isEmpty()) {
        menuBar()->clear();
        for (QMenu *m : MenusFor(kind)) menuBar()->addMenu(m);
    }
    m_shownKind = kind;

    // The kind's toolbar is made the first time one of its windows is active, right of the main toolbar.
    const auto it = m_kinds.find(kind);
    if (it != m_kinds.end() && !it->second.spec.toolbar.isEmpty() && !m_kindToolBars.contains(kind)) {
        const QMdiSubWindow *window = m_mdi->currentSubWindow();
        auto *bar = new QToolBar(window ? QStringLiteral("Панель «%1»").arg(window->windowTitle())
                                        : QStringLiteral("Панель %1").arg(++m_toolbarCounter),
                                 this);
        bar->setObjectName(QStringLiteral("toolbar%1").arg(kind));
        bar->setIconSize(QSize(32, 32));
        for (int id : it->second.spec.toolbar) {
            if (id == 0) {
                bar->addSeparator();
                continue;
            }
            QAction *a = m_actions.value(id);
            for (QAction *own : it->second.commands)
                if (own->data().toInt() == id) a = own;
            if (a) bar->addAction(a);
        }
        addToolBar(Qt::TopToolBarArea, bar);
        m_kindToolBars.insert(kind, bar);
    }
    for (auto bar = m_kindToolBars.cbegin(); bar != m_kindToolBars.cend(); ++bar)
        bar.value()->setVisible(bar.key() == kind);
}

void CMainFrame::RunKindCommand(int id) {
    QMdiSubWindow *w = m_mdi->currentSubWindow();
    const auto it = m_kinds.find(KindOf(w));
    if (!w || it == m_kinds.end() || !it->second.spec.command) return;
    it->second.spec.command(w->widget(), id);
}

QMdiSubWindow *CMainFrame::OpenChild(int kind) {
    const auto it = m_kinds.find(kind);
    if (it == m_kinds.end() || !it->second.spec.open) return nullptr;
    QWidget *view = it->second.spec.open();
    if (!view) return nullptr;
    QMdiSubWindow *w = m_mdi->addSubWindow(view);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setProperty(kKindProperty, kind);
    // Closing the last window brings back the frame's own menu and hides every kind's toolbar.
    connect(w, &QObject::destroyed, this,
            [this] { QTimer::singleShot(0, this, &CMainFrame::SyncToActiveChild); });
    if (it->second.spec.maximized)
        w->showMaximized();
    else
        w->show();
    m_mdi->setActiveSubWindow(w);
    SyncToActiveChild();
    return w;
}

void CMainFrame::OpenJournal(int commandId) {
    const JournalCommand *j = JournalByCommand(commandId);
    if (!j || !m_ctx.CheckRight(j->right)) return;
    OpenChild(j->kind);
}

void CMainFrame::OpenCatalogue(int commandId) {
    if (commandId == Cmd::kUsers && !m_ctx.CheckRight(Right::Users)) return;
    const auto it = m_catalogues.find(commandId);
    if (it != m_catalogues.end() && it->second) it->second();
}

void CMainFrame::OpenCompany() {
    if (!m_ctx.CheckRight(Right::CompanyDetails)) return;
    CCompanyDlg dlg(m_ctx, this);
    if (dlg.IsLoaded()) m_ctx.dialogs().Run(dlg);
}

void CMainFrame::OpenNumbering() {
    if (!m_ctx.CheckRight(Right::Numbering)) return;
    CNumberingDlg dlg(m_ctx, this);
    if (dlg.IsLoaded()) m_ctx.dialogs().Run(dlg);
}

void CMainFrame::OpenChangeLog() {
    if (!m_ctx.CheckRight(Right::Users)) return;
    CChangeLogDlg dlg(m_ctx, this);
    m_ctx.dialogs().Run(dlg);
}

void CMainFrame::ShowAbout() {
    CAboutDlg dlg(m_ctx.workDir(), this);
    m_ctx.dialogs().Run(dlg);
}

void CMainFrame::BackUp() {
    const QString path = m_backups->MakeBackup(this);
    if (!path.isEmpty())
        statusBar()->showMessage(BackupCommandTexts::kDone.arg(QDir::toNativeSeparators(path)), 20000);
}

void CMainFrame::Restore() {
    const QString backup = m_backups->ChooseRestore(this);
    if (!backup.isEmpty() && m_restore) m_restore(backup);
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows in a row along the bottom of the area, left to right.
    int x = 0;
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized()) continue;
        const QSize size = w->size();
        if (x > 0 && x + size.width() > m_mdi->viewport()->width()) x = 0;
        w->move(x, m_mdi->viewport()->height() - size.height());
        x += size.width();
    }
}

void CMainFrame::FillWindowMenu() {
    // Like every MDI program: the open windows listed under the arrangement commands.
    qDeleteAll(m_windowList);
    m_windowList.clear();
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (windows.isEmpty()) return;
    m_windowList << m_window->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *w = windows[i];
        QAction *a = m_window->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(w->windowTitle()));
        a->setCheckable(true);
        a->setChecked(w == m_mdi->currentSubWindow());
        connect(a, &QAction::triggered, m_mdi, [this, w = QPointer<QMdiSubWindow>(w)] {
            if (w) m_mdi->setActiveSubWindow(w);
        });
        m_windowList << a;
    }
}
