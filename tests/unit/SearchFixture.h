// A search on the scripted socket layer with a registered report: the fixture of the search
// tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "DeviceInfo.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"
#include "TestTable.h"

inline constexpr const char kSearchStart[] =
    "\r\nSearching lorix devices (please wait) ...\r\n\r\n";

inline std::string Location(int nLine) {
    return " in ::SearchDevices() in \"DeviceInfo.cpp\" line " + std::to_string(nLine) + "\r\n";
}

class Search : public WithReport {
protected:
    void SetUp() override {
        net::InstallSocketLayer(&m_net);
        TestTable().m_nVerbosity = 0;
    }
    void TearDown() override {
        net::InstallSocketLayer(nullptr);
        TestTable().m_nVerbosity = 0;
        TestTable().ClearDevices();
    }
    void Reply(std::uint32_t nAt, const char* pszFrom, const std::string& text,
               std::uint16_t nPort = 9959) {
        m_net.AddDatagram(nAt, pszFrom, nPort, text);
    }
    /// The report after the banner and the searching line.
    std::string AfterStart() const {
        const std::string prefix = std::string(kEnglishBanner) + kSearchStart;
        EXPECT_EQ(Text().compare(0, prefix.size(), prefix), 0) << Text();
        return Text().substr(std::min(prefix.size(), Text().size()));
    }
    std::string SentTo(std::size_t i) const {
        return net::ScriptedSocketLayer::DottedText(m_net.m_aSent.at(i).to);
    }
    void ExpectSocketClosedOnce() const {
        EXPECT_EQ(m_net.m_nSocketsCreated, 1);
        EXPECT_EQ(m_net.m_nShutdowns, 1);
        EXPECT_EQ(m_net.m_nSocketsClosed, 1);
    }

    net::ScriptedSocketLayer m_net;
    CDeviceInfo& info = TestTable();
};
