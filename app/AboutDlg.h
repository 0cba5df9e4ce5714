#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QPushButton;

// "О программе": name, version, what the program is for; "Help" opens help.doc of the working folder.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(const QString &workDir, QWidget *parent = nullptr);

    QPushButton *OkButton() const { return m_ok; }
    QPushButton *HelpButton() const { return m_help; }
    // How a document is handed to the desktop (QDesktopServices by default; tests record instead).
    void SetUrlOpener(std::function<bool(const QUrl &)> opener) { m_open = std::move(opener); }
    // Opens help.doc when it exists; a missing or unopenable file is silently ignored.
    void OpenHelp();

private:
    QString m_workDir;
    QPushButton *m_ok = nullptr;
    QPushButton *m_help = nullptr;
    std::function<bool(const QUrl &)> m_open;
};
