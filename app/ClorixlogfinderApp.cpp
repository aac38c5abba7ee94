#include "ClorixlogfinderApp.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "ClorixlogfinderDlg.h"
#include "Texts.h"
#include "Version.h"
#include "files/UserFiles.h"
#include "net/SocketLayer.h"
#include "resource.h"
#include "text/Windows1252.h"
#include "ui/Resources.h"

ClorixlogfinderApp g_App;

BEGIN_MESSAGE_MAP(ClorixlogfinderApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

ClorixlogfinderApp::ClorixlogfinderApp() : CWinApp(nullptr) {
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
}

namespace {

/// The toolkit's own options that take a value; they, and the toolkit's other options, are left
/// to it.
bool IsToolkitOptionWithValue(const std::string& arg) {
    for (const char* psz : {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                            "-display", "-style", "-stylesheet", "-session", "-qwindowgeometry",
                            "-qwindowtitle", "-qwindowicon", "-geometry", "-title"}) {
        if (arg == psz) {
            return true;
        }
    }
    return false;
}

bool IsToolkitOption(const std::string& arg) {
    return arg == "-reverse" || arg == "-widgetcount" || arg == "-nograb" || arg == "-dograb" ||
           arg == "-sync" || arg.rfind("-qmljsdebugger=", 0) == 0;
}

}  // namespace

CommandLineRequest ClorixlogfinderApp::ParseCommandLine(int argc, char** argv) {
    CommandLineRequest request;
    // The messages quote the command line (UTF-8 on Windows and, as a rule, elsewhere); the
    // request's text is the program's 8-bit text.
    auto fail = [&request](const std::string& utf8) {
        request.kind = CommandLineRequest::Error;
        request.text = "lorixlog-finder: " + text::Windows1252FromUtf8(utf8);
        return request;
    };
    // The search options, as lorixlog-find reads them.
    SearchSettings settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            return CommandLineRequest{CommandLineRequest::Help,
                                      texts::Get(texts::FinderUsage, m_language)};
        }
        if (arg == "-V" || arg == "--version") {
            return CommandLineRequest{CommandLineRequest::Version,
                                      std::string("lorixlog-finder ") + LORIXLOG_VERSION + "\n"};
        }
        if (IsToolkitOption(arg)) {
            continue;
        }
        if (IsToolkitOptionWithValue(arg)) {
            ++i;
            continue;
        }
        const SearchOption option = SearchOptionOf(arg);
        if (option == SearchOption::None) {
            return fail(texts::FormatUtf8(texts::FinderUnknownOption, m_language, arg.c_str()));
        }
        std::string value;
        const std::size_t nEquals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && nEquals != std::string::npos) {
            value = arg.substr(nEquals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return fail(texts::FormatUtf8(texts::OptionNeedsValue, m_language, arg.c_str()));
        }
        std::string error;
        if (!ApplySearchOption(option, value, &settings, &error, m_language)) {
            return fail(error);
        }
    }
    m_commandLineTargets = settings.targets;
    m_search.nQueriesPerSecond = settings.nQueriesPerSecond;
    m_search.nMostTargetAddresses = settings.nMostTargetAddresses;
    ApplyTargets();
    return request;
}

BOOL ClorixlogfinderApp::InitInstance() {
    CWinApp::InitInstance();
    SetRegistryKey("Local AppWizard-Generated Applications");

    net::WSADATA wsaData{};
    if (net::WSAStartup(net::MAKEWORD(2, 2), &wsaData) != 0) {
        std::fputs(texts::Get(texts::StartupFailed, m_language), stderr);
        return FALSE;
    }
    if ((wsaData.wVersion & 0xFF) != 2 || ((wsaData.wVersion >> 8) & 0xFF) != 2) {
        net::WSACleanup();
        std::fputs(texts::Get(texts::StartupWrongVersion, m_language), stderr);
        return FALSE;
    }

    DetermineLanguageTag();
    if (m_savedTargets.m_strFile.empty()) {
        m_savedTargets.m_strFile = files::UserConfigFile("targets");
    }
    if (m_deviceListSize.m_strFile.empty()) {
        m_deviceListSize.m_strFile = files::UserConfigFile("device-list-size");
    }
    m_strTargetsProblem.clear();
    m_savedTargets.Load(m_language, &m_strTargetsProblem);
    ApplyTargets();

    {
        ClorixlogfinderDlg dlg(*this);
        dlg.Report().m_pListener = m_pReportListener;
        m_pMainWnd = &dlg;
        if (dlg.DoModal() == -1) {
            // No window: a program without a console says so in a message box.
            m_pMainWnd = nullptr;
            AfxMessageBox(texts::Get(texts::WindowFailed, m_language));
        }
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
