#include "SavedTargets.h"

#include "TargetList.h"
#include "Texts.h"
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

bool CSavedTargets::Load(Language language, std::string* pProblem) {
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
            *pProblem = texts::Format(texts::SavedUnreadable, language, Shown(m_strFile).c_str(),
                                      text::Windows1252FromUtf8(error).c_str());
            return false;
        case files::ReadResult::Read:
            break;
    }
    m_strText = WithCrLf(text::Windows1252FromUtf8(bytes));
    std::vector<TargetListError> errors;
    std::vector<SearchTarget> targets;
    if (!ParseTargetList(bytes, &targets, &errors, nullptr, language)) {
        *pProblem =
            texts::Format(texts::SavedNotUsed, language, Shown(m_strFile).c_str(), errors[0].nLine,
                          text::Windows1252FromUtf8(errors[0].message).c_str());
        return false;
    }
    m_targets = std::move(targets);
    return true;
}

bool CSavedTargets::Replace(const std::string& text, Language language, std::string* pProblem) {
    std::string utf8 = WithoutCr(text::Utf8From1252(text));
    if (!utf8.empty() && utf8.back() != '\n') {
        utf8 += '\n';  // a text file's last line ends too
    }
    std::vector<SearchTarget> targets;
    std::vector<TargetListError> errors;
    std::size_t nUnlisted = 0;
    if (!ParseTargetList(utf8, &targets, &errors, &nUnlisted, language)) {
        *pProblem = texts::Get(texts::SavedNotTargets, language);
        for (const TargetListError& e : errors) {
            *pProblem += "\r\n" + texts::Format(texts::SavedLine, language, e.nLine,
                                                text::Windows1252FromUtf8(e.message).c_str());
        }
        if (nUnlisted > 0) {
            *pProblem += "\r\n" + texts::Format(texts::SavedAndMore, language,
                                                static_cast<unsigned>(nUnlisted));
        }
        return false;
    }
    std::string error = text::Utf8From1252(texts::Get(texts::SavedNoFolder, language));
    if (m_strFile.empty() || !files::ReplaceFileContent(m_strFile, utf8, &error)) {
        *pProblem =
            texts::Format(texts::SavedNotSaved, language, text::Windows1252FromUtf8(error).c_str());
        return false;
    }
    m_strText = WithCrLf(text::Windows1252FromUtf8(utf8));
    m_targets = std::move(targets);
    return true;
}
