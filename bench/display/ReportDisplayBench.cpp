// The report display's cost on the platform's own toolkit (Qt on Linux, the Windows dialog
// manager on Windows or under Wine): a report window shown on the screen takes the description
// blocks of N devices as a search writes them, the display refreshed once per device, and the
// wall time and the process's CPU time per device are written to standard output. For
// comparison, the same with a refresh at every line that replaces the whole text (what the
// display did before it appended).
//   report_display_bench [N]...   (default: 3 40)
// Needs a display (Xvfb will do); on Linux QT_QPA_PLATFORM=offscreen measures without one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "DeviceInfo.h"
#include "ProcessTime.h"
#include "ProgramTable.h"
#include "ReportWindow.h"
#include "Resources.h"
#include "resource.h"
#include "ui/Afx.h"
#include "ui/Application.h"
#include "ui/Resources.h"

namespace {

class BenchReport : public CReportWindow {
public:
    BenchReport() : CReportWindow(IDD_MAIN) {
        m_nEditId = IDC_REPORT;
        Report().m_pszProgramName = "lorixlog-finder";
    }

protected:
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        AttachReportDisplay();
        return TRUE;
    }
};

DeviceRecord Device(int i) {
    DeviceRecord d{};
    std::snprintf(d.szIPv4, sizeof(d.szIPv4), "10.77.%d.%d", i / 200, i % 200 + 20);
    std::strcpy(d.szMaker, "TVK");
    std::strcpy(d.szModel, "lorixLOG");
    std::strcpy(d.szModelDetail, "LX-8");
    std::snprintf(d.szSerialNumber, sizeof(d.szSerialNumber), "A%05d", i);
    std::snprintf(d.szHostName, sizeof(d.szHostName), "logger-%d", i);
    std::snprintf(d.szDnsName, sizeof(d.szDnsName), "logger-%d.plant.example", i);
    std::strcpy(d.szFirmwareVersion, "3.1.4");
    return d;
}

struct Cost {
    double dWallMs;
    double dCpuMs;
};

/// Describes n devices in a fresh report window; bSearchLike refreshes once per device (and only
/// what was appended), else at every line with the whole text.
Cost Describe(int n, bool bSearchLike) {
    BenchReport report;
    if (!report.Create(IDD_MAIN)) {
        // Under Wine without an X display, for one: no window, nothing to measure.
        std::fprintf(stderr,
                     "report_display_bench: the report window cannot be created "
                     "(is there a display?)\n");
        std::exit(1);
    }
    report.UpdateWindow();
    const auto wallStart = std::chrono::steady_clock::now();
    const double dCpuStart = ProcessCpuSeconds();
    report.Report().m_bAutoRefresh = !bSearchLike;
    for (int i = 0; i < n; ++i) {
        report.Report().EnsureBlankLine();
        g_DeviceInfo.ReportDevice(Device(i), report.Report());
        if (bSearchLike) {
            report.UpdateDisplay();
        }
        if (!bSearchLike) {
            report.ShowWholeText();
        }
    }
    report.Report().m_bAutoRefresh = true;
    report.Report().AppendText("... done.\r\n");
    const double dWallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart)
            .count();
    const double dCpuMs = (ProcessCpuSeconds() - dCpuStart) * 1000.0;
    report.DestroyWindow();
    return Cost{dWallMs, dCpuMs};
}

class BenchApp : public CWinApp {
public:
    std::vector<int> counts;
    BOOL InitInstance() override {
        std::printf("%-8s %-26s %10s %10s %12s %12s\n", "devices", "refresh", "wall ms", "CPU ms",
                    "wall/device", "CPU/device");
        for (int n : counts) {
            for (bool bSearchLike : {true, false}) {
                const Cost cost = Describe(n, bSearchLike);
                std::printf("%-8d %-26s %10.1f %10.1f %12.2f %12.2f\n", n,
                            bSearchLike ? "once a device, appended" : "every line, whole text",
                            cost.dWallMs, cost.dCpuMs, cost.dWallMs / n, cost.dCpuMs / n);
            }
        }
        std::fflush(stdout);
        return FALSE;
    }
};

BenchApp g_Bench;

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        g_Bench.counts.push_back(std::atoi(argv[i]));
    }
    if (g_Bench.counts.empty()) {
        g_Bench.counts = {3, 40};
    }
    RegisterProgramResources();
    ui::SetUserInterfaceLanguage(ui::LANG_ENGLISH_US);
    return ui::RunApplication(g_Bench, 1, argv);
}
