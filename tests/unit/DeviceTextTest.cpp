// Text a device sent: shown as data, and used in a URL only as a host name.
#include <gtest/gtest.h>

#include <string>

#include "DeviceText.h"

TEST(DeviceText, ControlBytesAreShownEscaped) {
    EXPECT_EQ(ShownDeviceText("lab-1"), "lab-1");
    EXPECT_EQ(ShownDeviceText("a\r\nb\tc\x1b[1m\x7f"), "a\\x0d\\x0ab\\x09c\\x1b[1m\\x7f");
    EXPECT_EQ(ShownDeviceText("Ger\xe4t \x80\xff"), "Ger\xe4t \x80\xff") << "8-bit text stays";
    EXPECT_EQ(ShownDeviceText(""), "");
}

// A Linux-based device sends its name as UTF-8: it is that text in the report and the list (in
// the program's Windows-1252), not "Ãœ"; what Windows-1252 cannot hold is named by its code.
TEST(DeviceText, Utf8IsShownAsItsText) {
    EXPECT_EQ(ShownDeviceText("\xc3\x9c"
                              "berwachung \xe2\x82\xac"),
              "\xdc"
              "berwachung \x80");
    EXPECT_EQ(ShownDeviceText("Halle \xe2\x84\x96"
                              "7 \xf0\x9f\x8f\xad"),
              "Halle \\u2116"
              "7 \\u1F3ED");
    // Control characters in UTF-8 stay escaped, C1 ones too (U+009B, a terminal's CSI).
    EXPECT_EQ(ShownDeviceText("\xc3\xa4\x1b[1m\xc2\x9b"), "\xe4\\x1b[1m\\xc2\\x9b");
    // Not well-formed UTF-8: Windows-1252 as ever.
    EXPECT_EQ(ShownDeviceText("\xc3\x28\xe4"), "\xc3\x28\xe4");
    EXPECT_EQ(Utf8DeviceText("\xc3\x9c"), "\xc3\x9c");
    EXPECT_EQ(Utf8DeviceText("K\xfchl\x80"), "K\xc3\xbchl\xe2\x82\xac");
}

TEST(DeviceText, HostNamesForUrls) {
    for (const char* pszValid : {"a", "A1234", "lab-logger.example.lan", "x.lan.", "1-2.3",
                                 "xn--bcher-kva.example", "lab_logger", "_http._tcp.lab", "a_"}) {
        EXPECT_TRUE(IsDnsHostName(pszValid)) << pszValid;
    }
    for (const char* pszInvalid :
         {"",    ".",           "a..b",    ".a",      "-a",          "a-",  "a.-b",
          "a b", "lab_logger ", "lab\t_x", "_\x7f",   "a@b.example", "a/b", "a:80",
          "a?x", "a#x",         "[::1]",   "h\xe4st", "a\r\nb",      "a..", "%41"}) {
        EXPECT_FALSE(IsDnsHostName(pszInvalid)) << pszInvalid;
    }
    const std::string label63(63, 'a');
    EXPECT_TRUE(IsDnsHostName(label63.c_str()));
    EXPECT_FALSE(IsDnsHostName((label63 + "a").c_str()));
    // 253 characters in all at most: four labels of 63 and dots make 255.
    std::string name = label63 + "." + label63 + "." + label63 + "." + std::string(61, 'b');
    EXPECT_EQ(name.size(), 253u);
    EXPECT_TRUE(IsDnsHostName(name.c_str()));
    EXPECT_TRUE(IsDnsHostName((name + ".").c_str()));
    EXPECT_FALSE(IsDnsHostName((name + "b").c_str()));
}
