#include "ClorixlogfinderApp.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "ClorixlogfinderDlg.h"
#include "DeviceInfo.h"
#include "ReportText.h"
#include "Version.h"
#include "files/UserFiles.h"
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

namespace {

const char kUsage[] =
    "Usage: lorixlog-finder [OPTION]...\n"
    "Search the local IPv4 networks for lorixlog data loggers, describe them in a\n"
    "report, list them, and open the chosen device's web page in the browser.\n"
    "\n"
    "  -t, --target TARGET  also query a host or network behind a router, which\n"
    "                       broadcasts do not reach: an IPv4 address, a host name,\n"
    "                       or a prefix A.B.C.D/N (N from 16 to 32); repeatable\n"
    "  -r, --rate N         query the targets at N addresses a second (default 200)\n"
    "      --max-addresses N\n"
    "                       query at most N addresses of the targets in one search\n"
    "                       (default 1048576)\n"
    "  -h, --help           show this help and exit\n"
    "  -V, --version        show the version and exit\n"
    "\n"
    "The report's context menu keeps targets for every search: Search targets...\n"
    "The texts are German when the user's language is German, else English.\n";

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
    auto fail = [&request](const std::string& text) {
        request.kind = CommandLineRequest::Error;
        request.text = "lorixlog-finder: " + text;
        return request;
    };
    std::vector<SearchTarget> targets;
    int nRate = 0;
    std::uint32_t nMost = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            return CommandLineRequest{CommandLineRequest::Help, kUsage};
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
        const bool bTarget = arg == "-t" || arg == "--target" || arg.rfind("--target=", 0) == 0;
        const bool bRate = arg == "-r" || arg == "--rate" || arg.rfind("--rate=", 0) == 0;
        const bool bMost = arg == "--max-addresses" || arg.rfind("--max-addresses=", 0) == 0;
        if (!bTarget && !bRate && !bMost) {
            return fail("unknown option '" + arg + "' (see lorixlog-finder --help)");
        }
        std::string value;
        const std::size_t nEquals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && nEquals != std::string::npos) {
            value = arg.substr(nEquals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return fail("option '" + arg + "' needs a value");
        }
        std::string error;
        SearchTarget target;
        if (bTarget && !ParseSearchTarget(value, &target, &error)) {
            return fail(error);
        }
        if (bRate && !ParseQueryRate(value, &nRate, &error)) {
            return fail(error);
        }
        if (bMost && !ParseMostAddresses(value, &nMost, &error)) {
            return fail(error);
        }
        if (bTarget) {
            targets.push_back(target);
        }
    }
    m_commandLineTargets = targets;
    ApplyTargets();
    g_DeviceInfo.m_nQueriesPerSecond = nRate;
    g_DeviceInfo.m_nMostTargetAddresses = nMost;
    return request;
}

void ClorixlogfinderApp::ApplyTargets() {
    g_DeviceInfo.m_aTargets = m_commandLineTargets;
    g_DeviceInfo.m_aTargets.insert(g_DeviceInfo.m_aTargets.end(), m_savedTargets.m_targets.begin(),
                                   m_savedTargets.m_targets.end());
}

BOOL ClorixlogfinderApp::InitInstance() {
    CWinApp::InitInstance();
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
    if (m_savedTargets.m_strFile.empty()) {
        m_savedTargets.m_strFile = files::UserConfigFile("targets");
    }
    m_strTargetsProblem.clear();
    m_savedTargets.Load(IsGermanLanguageTag(g_szLanguage), &m_strTargetsProblem);
    ApplyTargets();

    {
        ClorixlogfinderDlg dlg;
        dlg.Report().m_pListener = m_pReportListener;
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
