// The search targets that the user keeps for the desktop program: a target list in a file of
// the user's settings, read at start and replaced from the targets dialog.
#pragma once

#include <string>
#include <vector>

#include "Language.h"
#include "SearchTarget.h"

class CSavedTargets {
public:
    /// Where the list is kept; empty when no place is known (no home folder).
    std::string m_strFile;
    /// The list as the user wrote it: Windows-1252, "\r\n" line ends (the file holds UTF-8 with
    /// "\n").
    std::string m_strText;
    /// Its targets; empty while the list is malformed.
    std::vector<SearchTarget> m_targets;

    /// Reads the list. A missing file is an empty list. False when it cannot be read or holds a
    /// malformed line: *pProblem then says why (one line, in the language), m_strText keeps what
    /// the file holds, and m_targets stays empty.
    bool Load(Language language, std::string* pProblem);

    /// Takes a new list from the user: checks every line and, when all are targets, replaces
    /// the file's content and then m_strText and m_targets. False with *pProblem (the malformed
    /// lines, one a line, or why the file could not be written) and nothing changed otherwise.
    bool Replace(const std::string& text, Language language, std::string* pProblem);
};
