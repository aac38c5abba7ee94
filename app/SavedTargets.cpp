#include "SavedTargets.h"

#include "TargetList.h"
#include "files/UserFiles.h"
#include "text/Windows1252.h"

namespace {

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n' && (out.empty() || out.back() != '\r')) {
            out += '\r';
        }
        out += c;
    }
    return out;
}

std::string WithoutCr(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            out += text[i];
        }
    }
    return out;
}

std::string Shown(const std::string& path) {
    // Paths are UTF-8 on Windows and, as a rule, elsewhere too; the report shows 8-bit text.
    return text::Windows1252FromUtf8(path);
}

}  // namespace

bool CSavedTargets::Load(bool bGerman, std::string* pProblem) {
    m_strText.clear();
    m_targets.clear();
    if (m_strFile.empty()) {
        return true;
    }
    std::string bytes;
    std::string error;
    // Only a regular file: a FIFO or a device at its place must not hold the program up.
    switch (files::ReadWholeFile(m_strFile, kLargestTargetList, &bytes, &error,
                                 files::FileKind::Regular)) {
        case files::ReadResult::Missing:
            return true;
        case files::ReadResult::Failed:
            *pProblem =
                (bGerman ? "Die gespeicherten Suchziele in '" : "The saved search targets in '") +
                Shown(m_strFile) + (bGerman ? "' sind nicht lesbar: " : "' cannot be read: ") +
                error;
            return false;
        case files::ReadResult::Read:
            break;
    }
    m_strText = WithCrLf(text::Windows1252FromUtf8(bytes));
    std::vector<TargetListError> errors;
    std::vector<SearchTarget> targets;
    if (!ParseTargetList(bytes, &targets, &errors)) {
        *pProblem = (bGerman ? "Die gespeicherten Suchziele werden nicht verwendet: "
                             : "The saved search targets are not used: ") +
                    Shown(m_strFile) + ":" + std::to_string(errors[0].nLine) + ": " +
                    text::Windows1252FromUtf8(errors[0].message);
        return false;
    }
    m_targets = std::move(targets);
    return true;
}

bool CSavedTargets::Replace(const std::string& text, bool bGerman, std::string* pProblem) {
    const std::string utf8 = WithoutCr(text::Utf8From1252(text));
    std::vector<SearchTarget> targets;
    std::vector<TargetListError> errors;
    std::size_t nUnlisted = 0;
    if (!ParseTargetList(utf8, &targets, &errors, &nUnlisted)) {
        *pProblem =
            bGerman ? "Diese Zeilen sind keine Suchziele:" : "These lines are no search targets:";
        for (const TargetListError& e : errors) {
            *pProblem += (bGerman ? "\r\nZeile " : "\r\nline ") + std::to_string(e.nLine) + ": " +
                         text::Windows1252FromUtf8(e.message);
        }
        if (nUnlisted > 0) {
            *pProblem += "\r\n\x85 " + std::string(bGerman ? "und " : "and ") +
                         std::to_string(nUnlisted) + (bGerman ? " weitere" : " more");
        }
        return false;
    }
    std::string error =
        bGerman ? "kein Ordner f\xfcr Einstellungen bekannt" : "no folder for settings known";
    if (m_strFile.empty() || !files::ReplaceFileContent(m_strFile, utf8, &error)) {
        *pProblem = (bGerman ? "Die Suchziele konnten nicht gespeichert werden: "
                             : "The search targets could not be saved: ") +
                    text::Windows1252FromUtf8(error);
        return false;
    }
    m_strText = WithCrLf(text::Windows1252FromUtf8(utf8));
    m_targets = std::move(targets);
    return true;
}
