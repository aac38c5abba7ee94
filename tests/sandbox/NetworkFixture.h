// The fixtures of the searches on real sockets: each test process has made a private network
// namespace for itself (see main in NetworkTest.cpp) before any test runs.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "../unit/ReportFixture.h"
#include "DeviceInfo.h"
#include "Sandbox.h"
#include "TestTable.h"

/// Whether this process is in its private network, and why not.
extern bool g_bInSandbox;
extern std::string g_why;

/// A search with a registered report, in the private network.
class Network : public WithReport {
protected:
    void SetUp() override {
        if (!g_bInSandbox) {
            GTEST_SKIP() << "no private network namespace: " << g_why;
        }
        TestTable().ClearDevices();
    }
    void TearDown() override { net::InstallSocketLayer(nullptr); }
    std::string Block(const char* pszModel, const char* pszDetail, const char* pszAddress,
                      const char* pszHost, const char* pszDns, const char* pszSerial,
                      const char* pszFirmware) {
        std::string block = std::string("Found ") + pszModel + " " + pszDetail + " device\r\n" +
                            "  at IPv4 address " + pszAddress + "\r\n";
        if (std::strcmp(pszHost, pszDns) != 0) {
            block += std::string("  host name = '") + pszHost + "'\r\n";
        }
        if (*pszDns) {
            block += std::string("  DNS name = '") + pszDns + "'\r\n";
        }
        return block + "  serial number = " + pszSerial +
               "\r\n  firmware version = " + pszFirmware + "\r\n\r\n";
    }
};

/// The command-line finder in the private network.
class Finder : public Network {};

/// A network of namespaces beside the private one, made only once the test is known to run in
/// its private network.
template <typename Shape>
class Shaped : public Network {
protected:
    void SetUp() override {
        Network::SetUp();
        if (!IsSkipped()) {
            m_pShape = std::make_unique<Shape>();
            ASSERT_TRUE(m_pShape->IsReady()) << m_pShape->Why();
        }
    }
    const Shape& Net() const { return *m_pShape; }

private:
    std::unique_ptr<Shape> m_pShape;
};

/// Devices behind a router.
using Routed = Shaped<sandbox::RoutedNetwork>;
/// Devices on the finder's own link, in a namespace of their own.
using Linked = Shaped<sandbox::LinkedNetwork>;
/// A plant's loggers on the finder's own link.
using Plant = Shaped<sandbox::PlantNetwork>;
