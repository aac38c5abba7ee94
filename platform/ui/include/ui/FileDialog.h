// The platform's dialog in which the user names a file to save to.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ui/Framework.h"

namespace fw {

/// A save dialog (the framework's file dialog, for saving only): the kinds of file the user
/// chooses among, each with its extension, and the name offered at first.
class CFileDialog {
public:
    /// pszFilter as the framework writes it: "label|*.ext|label|*.ext||" (Windows-1252 labels);
    /// pszFileName the name offered (the file system's encoding), may be null.
    CFileDialog(const char* pszFileName, const char* pszFilter, CWnd* pParentWnd);

    /// The caption of the dialog (Windows-1252); the platform's own when empty.
    std::string m_strTitle;
    /// The kind of file chosen, counting from 1 as Windows does; set it before DoModal for the
    /// kind offered at first.
    int m_nFilterIndex = 1;

    /// Runs the dialog: IDOK once the user chose a file, IDCANCEL when he cancelled (and when
    /// there is no backend).
    INT_PTR DoModal();
    /// The chosen file's whole path, in the file system's encoding (UTF-8 on Windows), with the
    /// chosen kind's extension when the user typed none.
    std::string GetPathName() const { return m_strPath; }
    /// The extension of the chosen kind, without its dot ("csv").
    std::string GetFileExt() const;

private:
    std::string m_strFileName;
    std::vector<std::pair<std::string, std::string>> m_filters;
    CWnd* m_pParentWnd;
    std::string m_strPath;
};

}  // namespace fw
