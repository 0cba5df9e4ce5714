#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class AppContext;
class BackupCommands;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// One command of a child kind's "&Правка" pop-up or toolbar; id 0 is a separator.
struct CommandItem {
    CommandItem(int commandId = 0, QString itemText = {}, QString statusPrompt = {}, QIcon itemIcon = {})
        : id(commandId),
          text(std::move(itemText)),
          prompt(std::move(statusPrompt)),
          icon(std::move(itemIcon)) {}
    int id;
    QString text;
    QString prompt;  // status-bar prompt; the text when empty
    QIcon icon;
};

// What a kind of child window (a journal or a report) brings to the frame.
struct ChildKind {
    QList<CommandItem> editMenu;  // its "&Правка" pop-up; none when empty
    QList<int> toolbar;           // command ids on its toolbar (its own or the frame's, e.g. Cmd::kPrint)
    bool maximized = false;       // its windows open maximised
    // Makes the view of a new window (the frame owns it from then on); null opens nothing.
    std::function<QWidget *()> open;
    // Carries out one of the kind's commands (and the frame's print) on the active window's view.
    std::function<void(QWidget *view, int id)> command;
};

// The main window: menus, the main toolbar and one toolbar per child kind, the status bar and the MDI
// area with the journals and reports. Every command that opens a window or dialog checks its right first.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(AppContext &ctx, QWidget *parent = nullptr);
    // The program's icon as built into it (the desktop's icon theme comes first where it has one).
    static QIcon OwnIcon();
    ~CMainFrame() override;

    // Later parts of the program plug their windows and directories in here.
    void RegisterChildKind(int kind, ChildKind spec);
    // The catalogue directories are installed by the constructor; tests may put their own in place.
    void SetCatalogueOpener(int commandId, std::function<void()> opener);

    // The commands, as the menus run them.
    void OpenJournal(int commandId);    // order, cash and salary journals and the two reports
    void OpenCatalogue(int commandId);  // the six directories
    void OpenCompany();
    void OpenNumbering();
    void OpenChangeLog();
    void ShowAbout();
    void BackUp();
    void Restore();
    // The restore is carried out by whoever owns the connection: it closes this window first.
    void SetRestoreHandler(std::function<void(const QString &backup)> handler) {
        m_restore = std::move(handler);
    }
    BackupCommands &Backups() const { return *m_backups; }
    // Opens a new window of a registered kind without a rights check; null when nothing opened.
    QMdiSubWindow *OpenChild(int kind);

    QAction *Action(int commandId) const { return m_actions.value(commandId); }
    QMdiArea *Mdi() const { return m_mdi; }
    QToolBar *MainToolBar() const { return m_mainToolBar; }
    // The toolbar made for a kind (null until a window of it was first active).
    QToolBar *KindToolBar(int kind) const { return m_kindToolBars.value(kind); }
    // The kind whose menu is shown (ChildKindId::kNone while no child window is open).
    int ShownKind() const { return m_shownKind; }
    QStringList MenuTitles() const;
    // Brings the menus and toolbars in line with the active child window.
    void SyncToActiveChild();

private:
    void InstallCatalogues();
    struct KindEntry {
        ChildKind spec;
        QMenu *edit = nullptr;
        QList<QAction *> commands;
    };

    QAction *MakeAction(int id, const QString &text, const QString &prompt = {});
    void BuildMenus();
    void BuildViewMenus();
    void BuildWindowMenu();
    void BuildServiceMenus();
    void BuildBars();
    void ShowKind(int kind);
    QList<QMenu *> MenusFor(int kind) const;
    void RunKindCommand(int id);
    void ArrangeIcons();
    void FillWindowMenu();

    AppContext &m_ctx;
    QMdiArea *m_mdi = nullptr;
    QHash<int, QAction *> m_actions;
    std::map<int, KindEntry> m_kinds;
    std::map<int, std::function<void()>> m_catalogues;
    QHash<int, QToolBar *> m_kindToolBars;
    int m_toolbarCounter = 0;
    int m_shownKind = 0;

    QToolBar *m_mainToolBar = nullptr;
    QMenu *m_fileNone = nullptr, *m_fileChild = nullptr, *m_journals = nullptr, *m_reports = nullptr;
    QMenu *m_catalogueMenu = nullptr, *m_viewNone = nullptr, *m_viewChild = nullptr, *m_window = nullptr;
    QMenu *m_service = nullptr, *m_help = nullptr;
    QAction *m_statusToggleChild = nullptr;
    QList<QAction *> m_windowList;
    std::unique_ptr<BackupCommands> m_backups;
    std::function<void(const QString &)> m_restore;
};
