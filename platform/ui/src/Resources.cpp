#include "ui/Resources.h"

#include <map>
#include <utility>

using namespace fw;

namespace ui {

namespace {

WORD g_wLanguage = LANG_ENGLISH_US;

template <typename T>
using Table = std::map<std::pair<long, WORD>, T>;

Table<DialogTemplate>& Dialogs() {
    static Table<DialogTemplate> table;
    return table;
}
Table<std::string>& Strings() {
    static Table<std::string> table;
    return table;
}
Table<std::string>& Images() {
    static Table<std::string> table;
    return table;
}

template <typename T>
const T* Choose(const Table<T>& table, long nID) {
    for (WORD w : {g_wLanguage, LANG_ENGLISH_US}) {
        auto it = table.find({nID, w});
        if (it != table.end()) {
            return &it->second;
        }
    }
    auto it = table.lower_bound({nID, 0});
    return it != table.end() && it->first.first == nID ? &it->second : nullptr;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& dialog) {
    Dialogs()[{static_cast<long>(dialog.nID), dialog.wLanguage}] = dialog;
}

void RegisterString(UINT nID, WORD wLanguage, const char* pszText) {
    Strings()[{static_cast<long>(nID), wLanguage}] = pszText;
}

void RegisterImage(int nID, WORD wLanguage, const char* pszName) {
    Images()[{nID, wLanguage}] = pszName;
}

void SetUserInterfaceLanguage(WORD wLanguage) {
    g_wLanguage = wLanguage;
}

WORD GetUserInterfaceLanguage() {
    return g_wLanguage;
}

const DialogTemplate* FindDialogTemplate(UINT nID) {
    return Choose(Dialogs(), static_cast<long>(nID));
}

const char* FindString(UINT nID) {
    const std::string* p = Choose(Strings(), static_cast<long>(nID));
    return p ? p->c_str() : nullptr;
}

const char* FindImage(int nID) {
    const std::string* p = Choose(Images(), nID);
    return p ? p->c_str() : nullptr;
}

namespace {
std::map<int, int>& TwiceTheSize() {
    static std::map<int, int> images;
    return images;
}
}  // namespace

void RegisterImageAtTwiceTheSize(int nID, int nID2x) {
    TwiceTheSize()[nID] = nID2x;
}

int FindImageAtTwiceTheSize(int nID) {
    auto it = TwiceTheSize().find(nID);
    return it != TwiceTheSize().end() ? it->second : 0;
}

}  // namespace ui
