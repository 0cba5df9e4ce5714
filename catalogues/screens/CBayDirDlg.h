#pragma once

#include <QDialog>
#include <QList>

class AppContext;
struct BayRecord;
class KeyedList;

// "Справочник боксов (моек)": the bays where services are performed.
class CBayDirDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBayDirDlg(AppContext &ctx, QWidget *parent = nullptr);

    void Refill();
    // Fills the list with what was read, keeping the current row.
    void Show(const QList<BayRecord> &bays);
    KeyedList *list() const { return m_list; }

    // The commands of the buttons, the keys and the pop-up menu.
    void AddBay();
    void EditBay();
    void DeleteBay();

private:
    AppContext &m_ctx;
    KeyedList *m_list = nullptr;
};
