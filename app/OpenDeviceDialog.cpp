#include "OpenDeviceDialog.h"

#include "DeviceListFile.h"
#include "DeviceText.h"
#include "DeviceUrl.h"
#include "ReportWindow.h"
#include "Texts.h"
#include "resource.h"
#include "shell/Shell.h"

BEGIN_MESSAGE_MAP(COpenDeviceDialog, CDialogEx)
ON_BN_CLICKED(IDC_BY_NAME, OnByName)
ON_BN_CLICKED(IDC_BY_IPV4, OnByIPv4)
ON_BN_CLICKED(IDC_BY_IPV6, OnByIPv6)
ON_LBN_DBLCLK(IDC_DEVICE_LIST, OnDeviceListDblClk)
ON_LBN_SELCHANGE(IDC_DEVICE_LIST, OnDeviceListSelChange)
ON_WM_CONTEXTMENU()
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

bool Present(const char* pszField) {
    return pszField[0] != '\0';
}

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char ca = *a;
        char cb = *b;
        ca = (ca >= 'A' && ca <= 'Z') ? static_cast<char>(ca - 'A' + 'a') : ca;
        cb = (cb >= 'A' && cb <= 'Z') ? static_cast<char>(cb - 'A' + 'a') : cb;
        if (ca != cb) {
            return false;
        }
        if (ca == '\0') {
            return true;
        }
    }
}

std::string Url(const char* pszFormatStart, const char* pszAddress, const char* pszFormatEnd) {
    return std::string(pszFormatStart) + pszAddress + pszFormatEnd;
}

}  // namespace

COpenDeviceDialog::COpenDeviceDialog(CReportSink& report, const CDeviceInfo& table,
                                     Language language)
    : CDialogEx(IDD_OPEN_DEVICE, nullptr), m_report(report), m_table(table), m_language(language) {}

std::string COpenDeviceDialog::ListLine(const DeviceRecord& device, bool* pbHasIPv6) {
    std::string line = ShownDeviceText(device.szHostName);
    if (Present(device.szIPv4)) {
        line += "  (" + ShownDeviceText(device.szIPv4) + ")";
    }
    if (Present(device.szIPv6)) {
        line += "  (" + ShownDeviceText(device.szIPv6) + ")";
        *pbHasIPv6 = true;
    }
    if (!EqualIgnoringAsciiCase(device.szHostName, device.szSerialNumber)) {
        line += "  # " + ShownDeviceText(device.szSerialNumber);
    }
    return line;
}

POINT COpenDeviceDialog::Placement(const RECT& owner, const RECT& dialog) {
    const long nOwnerWidth = owner.right - owner.left;
    const long nWidth = dialog.right - dialog.left;
    const long nHeight = dialog.bottom - dialog.top;
    return POINT{owner.left + (nOwnerWidth - nWidth) / 2, owner.bottom - nHeight};
}

BOOL COpenDeviceDialog::OnInitDialog() {
    CWnd* pList = GetDlgItem(IDC_DEVICE_LIST);
    CDialogEx::OnInitDialog();
    SetWindowText(g_pReportWindow != nullptr ? g_pReportWindow->Report().m_pszProgramName : "");

    // The size the user gave the list last time, if it was kept (the window system makes it
    // no smaller than the template, and no larger than the screen).
    long nKeptWidth = 0;
    long nKeptHeight = 0;
    if (m_keptSize.Load(&nKeptWidth, &nKeptHeight)) {
        RECT window;
        RECT client;
        GetWindowRect(&window);
        GetClientRect(&client);
        MoveWindow(static_cast<int>(window.left), static_cast<int>(window.top),
                   static_cast<int>(nKeptWidth + (window.right - window.left) - client.right),
                   static_cast<int>(nKeptHeight + (window.bottom - window.top) - client.bottom),
                   FALSE);
    }
    GetClientRect(&m_openedClient);

    if (CWnd* pOwner = GetParent()) {
        RECT owner;
        RECT dialog;
        pOwner->GetWindowRect(&owner);
        GetWindowRect(&dialog);
        const POINT at = Placement(owner, dialog);
        MoveWindow(static_cast<int>(at.x), static_cast<int>(at.y),
                   static_cast<int>(dialog.right - dialog.left),
                   static_cast<int>(dialog.bottom - dialog.top), TRUE);
    }

    if (pList == nullptr || m_table.m_nDevices < 1) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    bool bAnyIPv6 = false;
    for (int i = 0; i < kMaxDevices && i < m_table.m_nDevices; ++i) {
        const std::string line = ListLine(m_table.m_aDevices[i], &bAnyIPv6);
        pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    pList->SendMessage(LB_SETCURSEL, 0, 0);
    if (!bAnyIPv6) {
        if (CWnd* pByIPv6 = GetDlgItem(IDC_BY_IPV6)) {
            pByIPv6->ShowWindow(SW_HIDE);
        }
    }
    OnDeviceListSelChange();
    return TRUE;
}

const DeviceRecord* COpenDeviceDialog::SelectedDevice() {
    CWnd* pList = GetDlgItem(IDC_DEVICE_LIST);
    if (pList == nullptr) {
        return nullptr;
    }
    const auto nIndex = static_cast<int>(pList->SendMessage(LB_GETCURSEL, 0, 0));
    if (nIndex < 0 || nIndex >= kMaxDevices || nIndex >= m_table.m_nDevices) {
        return nullptr;
    }
    return &m_table.m_aDevices[nIndex];
}

void COpenDeviceDialog::OnByName() {
    const DeviceRecord* pDevice = SelectedDevice();
    if (pDevice == nullptr) {
        return;
    }
    const char* pszName = Present(pDevice->szDnsName) ? pDevice->szDnsName : pDevice->szHostName;
    if (!Present(pszName)) {
        return;
    }
    if (IsDnsHostName(pszName)) {
        OpenAddress(Url("http://", pszName, "/"));
        return;
    }
    // The name is the device's word: one that is no host name could send the browser to
    // another host or path. The device's address is what it answered from.
    const std::string shown = ShownDeviceText(pszName);
    if (Present(pDevice->szIPv4)) {
        m_report.Printf(texts::Get(texts::WarningNameNotHostOpenIPv4, m_language), shown.c_str());
        OpenAddress(Url("http://", pDevice->szIPv4, "/"));
    } else {
        m_report.Printf(texts::Get(texts::WarningNameNotHostNotOpened, m_language), shown.c_str());
    }
}

void COpenDeviceDialog::OnByIPv4() {
    if (const DeviceRecord* pDevice = SelectedDevice()) {
        if (Present(pDevice->szIPv4)) {
            OpenAddress(Url("http://", pDevice->szIPv4, "/"));
        }
    }
}

void COpenDeviceDialog::OnByIPv6() {
    if (const DeviceRecord* pDevice = SelectedDevice()) {
        if (Present(pDevice->szIPv6)) {
            OpenAddress(Url("http://[", pDevice->szIPv6, "]/"));
        }
    }
}

void COpenDeviceDialog::OnDeviceListDblClk() {
    if (const DeviceRecord* pDevice = SelectedDevice()) {
        // The best address the device has: IPv4, else IPv6, else DNS name, else host name.
        const std::string url = BestDeviceUrl(*pDevice);
        if (!url.empty()) {
            OpenAddress(url);
        }
    }
}

void COpenDeviceDialog::OnOK() {
    // The dialog manager sends IDOK for Enter on the list: it opens the selected device, as a
    // double click does, and ends the dialog only when a page was opened.
    OnDeviceListDblClk();
}

void COpenDeviceDialog::OnDeviceListSelChange() {
    const DeviceRecord* pDevice = SelectedDevice();
    if (pDevice == nullptr) {
        return;
    }
    if (CWnd* p = GetDlgItem(IDC_BY_NAME)) {
        // Offered only for a name that can stand in a URL: any other name would open the IPv4
        // address instead, with a warning the user never sees once the program has ended.
        const char* pszName =
            Present(pDevice->szDnsName) ? pDevice->szDnsName : pDevice->szHostName;
        p->EnableWindow(Present(pszName) && IsDnsHostName(pszName));
    }
    if (CWnd* p = GetDlgItem(IDC_BY_IPV4)) {
        p->EnableWindow(Present(pDevice->szIPv4));
    }
    if (CWnd* p = GetDlgItem(IDC_BY_IPV6)) {
        p->EnableWindow(Present(pDevice->szIPv6));
    }
}

void COpenDeviceDialog::OnContextMenu(CWnd* pWnd, POINT point) {
    CWnd* pList = GetDlgItem(IDC_DEVICE_LIST);
    if (pList == nullptr || pWnd != pList) {
        return;
    }
    if (point.x == -1 && point.y == -1) {
        RECT rect{};
        pList->GetWindowRect(&rect);
        point = POINT{rect.left + 8, rect.top + 8};
    }
    const DeviceRecord* pDevice = SelectedDevice();
    const std::string address = pDevice != nullptr ? BestDeviceAddress(*pDevice) : std::string();
    auto say = [this](texts::Id id) { return texts::Get(id, m_language); };
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING | (address.empty() ? MF_GRAYED : 0), ID_DEVICE_OPEN,
                    say(texts::MenuOpen));
    menu.AppendMenu(MF_STRING | (address.empty() ? MF_GRAYED : 0), ID_COPY_ADDRESS,
                    say(texts::MenuCopyAddress));
    menu.AppendMenu(MF_STRING | (pDevice == nullptr ? MF_GRAYED : 0), ID_COPY_LINE,
                    say(texts::MenuCopyLine));
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING, ID_SAVE_LIST, say(texts::MenuSaveList));
    const auto nChosen = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                            static_cast<int>(point.x), static_cast<int>(point.y), this));
    switch (nChosen) {
        case ID_DEVICE_OPEN:
            OnDeviceListDblClk();
            break;
        case ID_COPY_ADDRESS:
            AfxSetClipboardText(address.c_str());
            break;
        case ID_COPY_LINE:
            if (pDevice != nullptr) {
                bool bHasIPv6 = false;
                AfxSetClipboardText(ListLine(*pDevice, &bHasIPv6).c_str());
            }
            break;
        case ID_SAVE_LIST:
            SaveDeviceList(this, m_report, m_table, m_language);
            break;
        default:
            break;
    }
}

void COpenDeviceDialog::OnDestroy() {
    RECT client{};
    GetClientRect(&client);
    if (client.right != m_openedClient.right || client.bottom != m_openedClient.bottom) {
        m_keptSize.Save(client.right, client.bottom);
    }
    Default();
}

void COpenDeviceDialog::OpenAddress(const std::string& url) {
    m_report.EnsureBlankLine();
    m_report.Printf(texts::Get(texts::OpenUrl, m_language), url.c_str());
    m_report.EnsureBlankLine();
    const INT_PTR nResult =
        shell::ShellExecuteA(nullptr, nullptr, url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (nResult <= 32) {
        // Nothing was opened: say so and let the user try again or cancel.
        m_report.Printf(texts::Get(texts::ErrorBrowser, m_language), url.c_str(),
                        static_cast<int>(nResult));
        return;
    }
    EndDialog(IDOK);
}
