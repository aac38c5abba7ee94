#include "ClorixlogfinderApp.h"

#include <cstdio>
#include <cstring>

#include "ClorixlogfinderDlg.h"
#include "DeviceInfo.h"
#include "net/SocketLayer.h"
#include "resource.h"
#include "ui/Resources.h"

char g_szLanguage[170] = {};

ClorixlogfinderApp g_App;

BEGIN_MESSAGE_MAP(ClorixlogfinderApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

ClorixlogfinderApp::ClorixlogfinderApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
}

void DetermineLanguageTag() {
    std::memset(g_szLanguage, 0, sizeof(g_szLanguage));
    const char* pszTag = ui::FindString(IDS_LANGUAGE);
    if (pszTag == nullptr || pszTag[0] == '\0') {
        pszTag = "en-US";
    }
    std::strncpy(g_szLanguage, pszTag, sizeof(g_szLanguage));
    g_szLanguage[sizeof(g_szLanguage) - 1] = '\0';
}

void ClorixlogfinderApp::ParseCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc && m_strCommandLineError.empty(); ++i) {
        const std::string arg = argv[i];
        std::string text;
        if (arg.rfind("--target=", 0) == 0) {
            text = arg.substr(9);
        } else if (arg == "--target" || arg == "-t") {
            if (i + 1 >= argc) {
                m_strCommandLineError = "option '" + arg + "' needs a target";
                break;
            }
            text = argv[++i];
        } else {
            continue;
        }
        SearchTarget target;
        if (ParseSearchTarget(text, &target, &m_strCommandLineError)) {
            g_DeviceInfo.m_aTargets.push_back(target);
        }
    }
}

BOOL ClorixlogfinderApp::InitInstance() {
    CWinApp::InitInstance();
    if (!m_strCommandLineError.empty()) {
        // Nothing is sent with a target that is wrong: say so and end.
        AfxMessageBox(("lorixlog-finder: " + m_strCommandLineError).c_str());
        return FALSE;
    }
    SetRegistryKey("Local AppWizard-Generated Applications");

    net::WSADATA wsaData{};
    if (net::WSAStartup(net::MAKEWORD(2, 2), &wsaData) != 0) {
        std::fputs("Error: WSAStartup() failed.\n", stderr);
        return FALSE;
    }
    if ((wsaData.wVersion & 0xFF) != 2 || ((wsaData.wVersion >> 8) & 0xFF) != 2) {
        net::WSACleanup();
        std::fputs("Error: WSAStartup() returned wrong version.\n", stderr);
        return FALSE;
    }

    DetermineLanguageTag();

    {
        ClorixlogfinderDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    net::WSACleanup();
    return FALSE;
}

BOOL ClorixlogfinderApp::PreTranslateMessage(MSG* pMsg) {
    if (pMsg != nullptr && pMsg->message == WM_CHAR && m_pMainWnd != nullptr) {
        if (auto* pReport = dynamic_cast<CReportWindow*>(m_pMainWnd)) {
            pReport->HandleKey(pMsg->wParam);
        }
    }
    return CWinApp::PreTranslateMessage(pMsg);
}
