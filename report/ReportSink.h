// What writes to a report sees of it. The search, the table's descriptions and the dialogs write
// to the report they are handed, through this, and never to a report of the program's own; a
// program that wants no report hands them CNullReport.
#pragma once

#include <cstdarg>

#include "Language.h"
#include "Texts.h"

class CReportSink {
public:
    virtual ~CReportSink() = default;

    /// The language of the report's texts.
    virtual Language GetLanguage() const = 0;
    /// Appends one zero-terminated piece (the report's rules for error and warning lines, lone
    /// carriage returns and its length apply).
    virtual void AppendText(const char* pszPiece) = 0;
    /// Makes the text end with an empty line.
    virtual void EnsureBlankLine() = 0;
    /// Makes the text end with a line end ("\r\n"), unless it does.
    virtual void EnsureLineEnd() = 0;
    /// Empties the text and writes the banner line.
    virtual void Reset() = 0;
    /// Brings what shows the report up to date with it.
    virtual void UpdateDisplay() = 0;
    /// While held, a piece with a line end does not bring the display up to date by itself; the
    /// writer does (UpdateDisplay) when it is due. Releasing it does not refresh.
    virtual void HoldDisplay(bool bHold) = 0;
    /// Appends the location line of a failure: the function name from its first colon on, the
    /// file name without directories and the line.
    virtual void PrintErrorLocation(const char* pszFunction, const char* pszFile, int nLine) = 0;

    /// printf-style append of at most 1023 characters.
    void Printf(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    /// Printf with the arguments as a list.
    virtual void VPrintf(const char* pszFormat, va_list args);
    /// The catalogue's text of the id in the report's language.
    const char* Say(texts::Id id) const {
        return texts::Get(id, GetLanguage());
    }
};

/// A report that takes everything and keeps nothing (English): for a search whose caller wants
/// no report, such as a test of the table alone.
class CNullReport final : public CReportSink {
public:
    Language GetLanguage() const override { return Language::English; }
    void AppendText(const char*) override {}
    void EnsureBlankLine() override {}
    void EnsureLineEnd() override {}
    void Reset() override {}
    void UpdateDisplay() override {}
    void HoldDisplay(bool) override {}
    void PrintErrorLocation(const char*, const char*, int) override {}
    void VPrintf(const char*, va_list) override {}
};
