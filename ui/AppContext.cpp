#include "AppContext.h"

#include "Prompter.h"

bool UserInfo::HasRight(int position) const {
    return position >= 0 && position < rights.size() && rights[position] == u'1';
}

bool AppContext::CheckRight(int position) const {
    if (HasRight(position)) return true;
    m_prompter.Warning(Rights::kRefusal);
    return false;
}
