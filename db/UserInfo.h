#pragma once

#include <QString>

// The positions of a user's rights string ("1" = granted), in the order the users card lists them.
enum class Right {
    OrderJournal,  // "Журнал заказов"
    AddOrder,
    EditOrder,
    DeleteOrder,
    AddOrderPayment,
    EditOrderPayment,
    DeleteOrderPayment,
    MarkStart,    // "Отметка начала работ"
    MarkEnd,      // "Отметка окончания работ"
    CashJournal,  // "Журнал кассы"
    AddCash,
    EditCash,
    DeleteCash,
    SalaryJournal,  // "Журнал зарплаты"
    AddSalary,
    EditSalary,
    DeleteSalary,
    CompanyDetails,  // "Справочник основных сведений"
    Users,           // "Справочник пользователей"; also backup and restore
    AddService,
    EditService,
    DeleteService,
    AddWorker,
    EditWorker,
    DeleteWorker,
    WorksReport,    // "Отчет о выполненных работах"
    BalanceReport,  // "Отчет о расчетах с сотрудниками"
    Numbering,      // "Настройка нумерации"
    BayBoard,       // "Просмотр загрузки боксов"
    TyreJournal,    // "Хранение шин"
    TyreTakeIn,
    TyreGiveOut,
    TyreDelete,
};

namespace Rights {
inline const QString kRefusal = QStringLiteral(
    "Вы не имеете прав на данное действие!\nЕсли вам необходимо выполнять данную работу,\n"
    "измените прова пользователя в справочнике пользователей!");
inline constexpr int kCount = int(Right::TyreDelete) + 1;  // the length of a full rights string
static_assert(kCount == 33);

inline constexpr int Position(Right right) {
    return int(right);
}
}  // namespace Rights

// The logged-in user, fixed for the run.
struct UserInfo {
    QString iddUser;
    QString login;  // also the prefix of every key this user creates
    QString name;
    QString rights;  // one character per right, "1" = granted

    // The character at the right's position is "1"; a string too short for it grants nothing.
    bool HasRight(Right right) const {
        const int position = Rights::Position(right);
        return position < rights.size() && rights[position] == u'1';
    }
};
