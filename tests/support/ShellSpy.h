// Stands in for the desktop's opener in dialog tests: records every URL handed to the shell and
// answers as the test says.
#pragma once

#include <string>
#include <vector>

#include "shell/Shell.h"

struct ShellSpy {
    std::vector<std::string> urls;
    shell::INT_PTR nResult = 42;  // what ShellExecuteA returns: above 32 when the browser started
    ShellSpy() { shell::SetUrlOpener(&ShellSpy::Open, this); }
    ~ShellSpy() { shell::SetUrlOpener(nullptr, nullptr); }
    ShellSpy(const ShellSpy&) = delete;
    ShellSpy& operator=(const ShellSpy&) = delete;
    static shell::INT_PTR Open(const char* pszUrl, void* pContext) {
        auto* pSpy = static_cast<ShellSpy*>(pContext);
        pSpy->urls.emplace_back(pszUrl);
        return pSpy->nResult;
    }
};
