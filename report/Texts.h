// The catalogue of texts: every text that the search, the desktop program and lorixlog-find show
// the user, by id, each in English and in German (Windows-1252 bytes; the German form takes the
// same printf arguments in the same order). Texts.cpp holds them; code names the id and the
// language, never a text of its own. A text that the Parts fix in one language only (the search's
// error lines) has that one text in both places.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Language.h"

namespace texts {

enum Id : int {
    // The report and the devices it describes.
    ReportBanner,
    DeviceFound,
    DeviceAtIPv4,
    DeviceAtIPv6,
    DeviceHostName,
    DeviceDnsName,
    DeviceSerialNumber,
    DeviceFirmwareVersion,
    SearchStart,
    SearchDone,
    SearchCancelled,
    // The search's failures, as the Parts word them.
    ErrorSocket,
    ErrorSendAborted,
    ErrorSendReset,
    ErrorSendShutdown,
    ErrorSendReturned,
    ErrorSendShort,
    ErrorSelect,
    ErrorReceiveAborted,
    ErrorReceiveShutdown,
    ErrorReceiveReturned,
    ErrorAddressText,
    ErrorTargetsBeyondBound,
    // The search's warnings and what it says on the way.
    WarningRepliesKeptArriving,
    WarningNoRoute,
    WarningFurtherOversized,
    WarningOversized,
    WarningAnsweredAsMore,
    WarningTableFull,
    WarningInterfaceListTooLong,
    WarningSendFailed,
    WarningNameUnresolved,
    WarningNameNotInTime,
    WarningNameNoHost,
    WarningRepliesLost,
    BurstRepliesLost,
    BurstMayHaveLost,
    BroadcastOnto,
    InterfaceBroadcasts,
    InterfaceNotQueried,
    QueryFailed,
    SweepOf,
    QueryTo,
    SweepOnLink,
    SweepRepeated,
    SweepTargets,
    SweepAllSent,
    SweepSomeSent,
    SweepSomeFailed,
    SweepQueried,
    SweepQuerying,
    SweepEstimate,
    NobodyAnswered,
    PleaseCheck,
    VirtualNatHint,
    // The reasons of a failed send, in words.
    SendShort,
    SendNetworkUnreachable,
    SendHostUnreachable,
    SendNetworkDown,
    SendPermissionDenied,
    SendAddressNotAvailable,
    SendAddressInUse,
    SendNoBufferSpace,
    SendBufferStayedFull,
    SendMessageTooLong,
    SendInvalidArgument,
    SendNotASocket,
    SendConnectionReset,
    SendConnectionAborted,
    SendShutDown,
    // Targets and target lists.
    TargetControlCharacter,
    TargetNothing,
    TargetNoPrefix,
    TargetPrefixLength,
    TargetNoHosts,
    TargetNoHostAddress,
    TargetNotDotted,
    TargetRate,
    TargetBound,
    ListTooLarge,
    ListNoAddress,
    JsonExpectedArray,
    JsonExpectedObject,
    JsonExpectedCommaOrBracket,
    JsonExpectedCommaOrBrace,
    JsonTextAfterEnd,
    JsonIpv4NotString,
    JsonExpectedString,
    JsonExpectedColon,
    JsonControlInString,
    JsonBrokenUnicodeEscape,
    JsonBrokenEscape,
    JsonUnendedString,
    JsonTooDeep,
    JsonExpectedValue,
    // The desktop program.
    FinderUsage,
    FinderUnknownOption,
    OptionNeedsValue,
    StartupFailed,
    StartupWrongVersion,
    FinderTargetsHint,
    TargetsKept,
    SavedUnreadable,
    SavedNotUsed,
    SavedNotTargets,
    SavedLine,
    SavedAndMore,
    SavedNotSaved,
    SavedNoFolder,
    WarningNameNotHostOpenIPv4,
    WarningNameNotHostNotOpened,
    OpenUrl,
    ErrorBrowser,
    MenuCopy,
    MenuSelectAll,
    MenuSearchTargets,
    MainSearch,
    MainOpenDevice,
    MainQuit,
    MainResults,
    MainSearchAgain,
    ListSelectDevice,
    ListOpenDevice,
    ListByName,
    ListByIPAddress,
    ListByIPv4Address,
    ListByIPv6Address,
    DialogCancel,
    TargetsCaption,
    TargetsHint,
    MainStop,
    CaptionProgress,
    CountDevicesOne,
    CountDevicesMany,
    DevicesFoundOne,
    DevicesFoundMany,
    MenuOpen,
    MenuCopyAddress,
    MenuCopyLine,
    MenuSaveList,
    SaveListCaption,
    SaveFilterCsv,
    SaveFilterJson,
    SaveListFailed,
    ListSaved,
    NoDisplay,
    WindowFailed,
    // lorixlog-find.
    FindUsage,
    FindHelpCsv,
    FindHelpJson,
    FindUnknownOption,
    FindTryHelp,
    FindDidYouMean,
    FindJsonAndCsv,
    FindWatchSeconds,
    FindWatchAndCsv,
    FindMetricsAddress,
    FindMetricsWithoutWatch,
    FindMetricsCannotListen,
    FindMetricsListening,
    FindCannotRead,
    FindStandardInput,
    FindMoreMalformed,
    FindCannotWrite,
    FindOutputClosed,
    FindWatchSearchFailed,
    FindTargetsHint,

    Count
};

/// The text of the id in the language (Windows-1252, never null).
const char* Get(Id id, Language language);
/// The text of the id in the language with its printf arguments filled in, as Windows-1252.
std::string Format(Id id, Language language, ...);
/// The same as UTF-8, for terminals and for messages that quote UTF-8 text: the catalogue's text
/// is converted first, then the arguments (UTF-8 themselves) are filled in.
std::string FormatUtf8(Id id, Language language, ...);
/// The text of the id in the language as UTF-8.
std::string Utf8(Id id, Language language);

/// A number as the language writes it: "65,534" (English) or "65.534" (German).
std::string Grouped(std::uint64_t n, Language language);

/// One entry of the catalogue, for its tests: the id and both forms.
struct Entry {
    Id id;
    const char* pszEnglish;
    const char* pszGerman;
};
/// The catalogue's entries in the order of their ids, Count of them.
const Entry* Catalogue();

}  // namespace texts
