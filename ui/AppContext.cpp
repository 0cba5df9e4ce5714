#include "AppContext.h"

#include "Prompter.h"

#include <stdexcept>

namespace {

template <typename T>
T &Provided(T *provided, const char *missing) {
    if (!provided) throw std::logic_error(std::string("AppContext: ") + missing);
    return *provided;
}

}  // namespace

bool AppContext::CheckRight(Right right) const {
    if (HasRight(right)) return true;
    m_prompter.Warning(Rights::kRefusal);
    return false;
}

OrderForms &AppContext::orderForms() const {
    return Provided(m_orderForms, "no order forms were provided");
}

MoneyPrintouts &AppContext::moneyPrintouts() const {
    return Provided(m_moneyPrintouts, "no money printouts were provided");
}

const ReportTarget &AppContext::reportTarget() const {
    return Provided(m_reportTarget, "no report target was provided");
}

ChangeHistory &AppContext::changeHistory() const {
    return Provided(m_changeHistory, "no change history was provided");
}
