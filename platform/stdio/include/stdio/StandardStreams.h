// The standard streams of a program: present at start, and every write to them checked.
#pragma once

#include <cstdio>
#include <string>

/// The standard streams, as bits of what OpenClosedStandardStreams returns.
constexpr unsigned kStandardInput = 1;
constexpr unsigned kStandardOutput = 2;
constexpr unsigned kStandardError = 4;

/// Opens the null device on each of the standard descriptors 0, 1 and 2 that is closed, so that
/// no file or socket the program opens later takes its place (and receives what the program
/// writes to standard output). Call first thing in main. Returns the streams that were closed
/// (a program whose output is its result must not take what it writes to the null device for
/// written).
unsigned OpenClosedStandardStreams();

/// Makes a write to a pipe whose reader has gone fail with EPIPE instead of ending the program
/// (SIGPIPE), so that the program can still write its other output (nothing on Windows, which
/// has no such signal).
void IgnoreBrokenPipes();

/// Whether the stream is a terminal (a console on Windows), where a line can be rewritten.
bool IsTerminal(std::FILE* pStream);

/// Makes a Windows console show the UTF-8 that the programs write (nothing elsewhere, where the
/// terminal's encoding is UTF-8 already or the program does not choose it).
void UseUtf8Console();

/// Writes the stream's bytes as they are: no line-end translation (on Windows, text-mode output
/// turns each "\n" into "\r\n", and a CSV's own CR LF would become CR CR LF).
void UseBinaryOutput(std::FILE* pStream);

/// Remembers the first failed write to a stream, so that a program can end with a failure
/// instead of reporting success with its output lost (a full disk, a closed pipe).
class COutputCheck {
public:
    /// Records a failure when nResult is negative (the result of fputs, fprintf, fflush).
    void Check(int nResult);
    /// Flushes the stream and records a failure of the flush or an error flag of the stream.
    void Flush(std::FILE* pStream);
    bool Failed() const { return m_nErrno != 0; }
    /// The errno of the first failure; 0 while none failed.
    int Errno() const { return m_nErrno; }
    /// The system's text of the first failure.
    std::string Reason() const;

private:
    int m_nErrno = 0;
};
