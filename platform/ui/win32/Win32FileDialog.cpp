#include "Win32Internal.h"

namespace ui::win32 {

namespace {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              n);
    }
    return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                              n, nullptr, nullptr);
    }
    return text;
}

}  // namespace

bool ChooseFile(NativeWindow* pOwner, const SaveFileRequest& request, SaveFileChoice* pChoice) {
    if (request.filters.empty()) {
        return false;
    }
    // "label (*.ext)\0*.ext\0...\0\0"
    std::wstring filter;
    for (const auto& [label, extension] : request.filters) {
        const std::wstring pattern = L"*." + WideFromUtf8(extension);
        filter += WideFrom1252(label) + L" (" + pattern + L")";
        filter += L'\0';
        filter += pattern;
        filter += L'\0';
    }
    filter += L'\0';
    const int nInitial =
        request.nFilter >= 0 && request.nFilter < static_cast<int>(request.filters.size())
            ? request.nFilter
            : 0;
    std::wstring file(32768, L'\0');
    const std::wstring initial = WideFromUtf8(request.initialName);
    initial.copy(file.data(), std::min(initial.size(), file.size() - 1));
    const std::wstring title = WideFrom1252(request.title);
    const std::wstring defaultExtension = WideFromUtf8(request.filters[nInitial].second);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    auto* pWindow = static_cast<Window*>(pOwner);
    ofn.hwndOwner = pWindow != nullptr ? pWindow->Handle() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(nInitial + 1);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // With a default extension the dialog adds the chosen kind's to a name typed without one.
    ofn.lpstrDefExt = defaultExtension.c_str();
    ofn.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!::GetSaveFileNameW(&ofn)) {
        return false;
    }
    std::wstring chosen(file.c_str());
    const int nChosen = ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= request.filters.size()
                            ? static_cast<int>(ofn.nFilterIndex) - 1
                            : nInitial;
    // A dialog that added no extension to a name typed without one.
    const std::size_t nName = chosen.find_last_of(L"\\/");
    const std::size_t nDot = chosen.find_last_of(L'.');
    if (nDot == std::wstring::npos || (nName != std::wstring::npos && nDot < nName)) {
        chosen += L"." + WideFromUtf8(request.filters[nChosen].second);
    }
    pChoice->path = Utf8FromWide(chosen);
    pChoice->nFilter = nChosen;
    return true;
}

}  // namespace ui::win32
