#include "AppContext.h"

#include "Prompter.h"

bool AppContext::CheckRight(Right right) const {
    if (HasRight(right)) return true;
    m_prompter.Warning(Rights::kRefusal);
    return false;
}
