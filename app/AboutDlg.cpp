#include "AboutDlg.h"

#include "Tooltip.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(const QString &workDir, QWidget *parent)
    : QDialog(parent),
      m_workDir(workDir),
      m_open([](const QUrl &url) { return QDesktopServices::openUrl(url); }) {
    setWindowTitle(QStringLiteral("О программе"));

    auto *picture = new QLabel;
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    auto *name =
        new QLabel(QStringLiteral("<b>Trellvark</b>, версия %1").arg(QStringLiteral(TRELLVARK_VERSION)));
    auto *purpose =
        new QLabel(QStringLiteral("Учет работы автосервиса: заказы, клиенты и автомобили,\n"
                                  "касса, зарплата сотрудников, документы и отчеты."));

    m_ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("ОК"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    Tooltip::Set(m_ok, QStringLiteral("Закрыть"), QStringLiteral("Закрыть окно"));
    m_help = new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Help"));
    m_help->setObjectName(QStringLiteral("help"));
    Tooltip::Set(m_help, QStringLiteral("Справка"),
                 QStringLiteral("Открыть файл справки help.doc\nиз рабочей папки"));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_help, &QPushButton::clicked, this, &CAboutDlg::OpenHelp);

    auto *text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(purpose);
    text->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(picture);
    body->addLayout(text, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_help);
    buttons->addStretch();
    body->addLayout(buttons);
    setLayout(body);
}

void CAboutDlg::OpenHelp() {
    const QString path = QDir(m_workDir).filePath(QStringLiteral("help.doc"));
    // The help file is optional; without it the button does nothing rather than raise an error.
    if (!QFileInfo(path).isFile()) return;
    m_open(QUrl::fromLocalFile(path));
}
