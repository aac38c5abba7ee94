#include "FinderSettings.h"

void CFinderSettings::ApplyTargets() {
    m_search.targets = m_commandLineTargets;
    m_search.targets.insert(m_search.targets.end(), m_savedTargets.m_targets.begin(),
                            m_savedTargets.m_targets.end());
}
