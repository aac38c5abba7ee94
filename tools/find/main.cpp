// lorixlog-find: runs one search for lorixlog devices and writes the report, and optionally the
// device table as JSON or CSV, to standard output; or watches the devices over repeated searches.
#include <cstdio>
#include <string>

#include "FindOptions.h"
#include "FindRun.h"
#include "Language.h"
#include "TextOutput.h"
#include "Texts.h"
#include "stdio/StandardStreams.h"

namespace {

/// The exit status of a program whose only output was the text just written: a failure when it,
/// or the flush of standard output, failed.
int Finish(int nResult, int nStatus, Language language) {
    COutputCheck output;
    output.Check(nResult);
    output.Flush(stdout);
    if (output.Failed()) {
        std::fprintf(
            stderr, "lorixlog-find: %s\n",
            texts::FormatUtf8(texts::FindCannotWrite, language, output.Reason().c_str()).c_str());
        return kExitError;
    }
    return nStatus;
}

/// Writes each line of the text with the program's name before it, to standard error, as the
/// terminal can show it (the text may quote what the user or a file wrote).
void Complain(const std::string& text, Language language) {
    const std::string hint = texts::Utf8(texts::FindTryHelp, language);
    std::size_t nStart = 0;
    while (nStart < text.size()) {
        std::size_t nEnd = text.find('\n', nStart);
        nEnd = nEnd == std::string::npos ? text.size() : nEnd;
        const std::string line = text.substr(nStart, nEnd - nStart);
        // The hint to --help continues the line before it.
        const bool bHint = line == hint;
        std::fprintf(stderr, "%s%s\n",
                     bHint ? "" : "lorixlog-find: ", TerminalTextFromUtf8(line).c_str());
        nStart = nEnd + 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned nClosed = OpenClosedStandardStreams();
    FindOptions options;
    // The language of every message and of the report, once.
    options.language = UserInterfaceLanguage();
    // Standard output is where the results go: without it, all would be lost and the run would
    // still count as a success.
    if ((nClosed & kStandardOutput) != 0) {
        std::fprintf(stderr, "lorixlog-find: %s\n",
                     texts::Utf8(texts::FindOutputClosed, options.language).c_str());
        return kExitError;
    }
    UseUtf8Console();
    // A reader of the report that has gone (| head) must not cost the data output.
    IgnoreBrokenPipes();

    std::string text;
    switch (ParseFindOptions(argc, argv, &options, &text)) {
        case FindRequest::Help:
        case FindRequest::Version:
            return Finish(std::fputs(text.c_str(), stdout), kExitFound, options.language);
        case FindRequest::Wrong:
            Complain(text, options.language);
            return kExitError;
        case FindRequest::Run:
            break;
    }
    // Every list is read, and every malformed line named, before anything is sent.
    if (!LoadTargetLists(&options, &text)) {
        Complain(text, options.language);
        return kExitError;
    }
    return options.nWatchSeconds > 0 ? RunWatch(options) : RunOnce(options);
}
