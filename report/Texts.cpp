// The texts, English and German. The Parts give some of them byte for byte; those stay as they
// are. German umlauts are Windows-1252 bytes (\xe4 \xf6 \xfc \xdf \xc4 \xd6 \xdc), the
// ellipsis is \x85.
#include "Texts.h"

#include <cstdarg>
#include <cstdio>

#include "text/Windows1252.h"

namespace texts {

// The help texts of the programs (TextsUsage.cpp).
extern const char kFinderUsageEnglish[];
extern const char kFinderUsageGerman[];
extern const char kFindUsageEnglish[];
extern const char kFindUsageGerman[];

namespace {

constexpr Entry kEntries[] = {
    // The report and the devices it describes.
    {ReportBanner, "This is %s%s built on %s, %s\r\n", "Dies ist %s%s vom %s, %s\r\n"},
    {DeviceFound, "Found %s %s device", "%s %s Ger\xe4t gefunden"},
    {DeviceAtIPv4, "\r\n  at IPv4 address %s", "\r\n  an IPv4 Adresse %s"},
    {DeviceAtIPv6, "\r\n  at IPv6 address %s", "\r\n  an IPv6 Adresse %s"},
    {DeviceHostName, "\r\n  host name = '%s'", "\r\n  Host-Name = '%s'"},
    {DeviceDnsName, "\r\n  DNS name = '%s'", "\r\n  DNS-Name = '%s'"},
    {DeviceSerialNumber, "\r\n  serial number = %s", "\r\n  Serien-Nummer = %s"},
    {DeviceFirmwareVersion, "\r\n  firmware version = %s", "\r\n  Firmware-Version = %s"},
    {SearchStart, "Searching %s devices (please wait) ...\r\n",
     "Suche %s Ger\xe4te (bitte warten) ...\r\n"},
    {SearchDone, "... done.\r\n", "... fertig.\r\n"},
    {SearchCancelled, "... cancelled.\r\n", "... abgebrochen.\r\n"},

    // The search's failures, as the Parts word them (one text for both languages).
    {ErrorSocket, "ERROR: Could not create IPv4 socket\r\n",
     "ERROR: Could not create IPv4 socket\r\n"},
    {ErrorSendAborted, "ERROR: sendto(UDP) returned ABORTED.\r\n",
     "ERROR: sendto(UDP) returned ABORTED.\r\n"},
    {ErrorSendReset, "ERROR: sendto(UDP) returned RESET.\r\n",
     "ERROR: sendto(UDP) returned RESET.\r\n"},
    {ErrorSendShutdown, "ERROR: sendto(UDP) returned SHUTDOWN.\r\n",
     "ERROR: sendto(UDP) returned SHUTDOWN.\r\n"},
    {ErrorSendReturned, "ERROR: sendto(UDP) returned %d.\r\n",
     "ERROR: sendto(UDP) returned %d.\r\n"},
    {ErrorSendShort, "ERROR in sendto(): Sent %d instead of %d bytes.\r\n",
     "ERROR in sendto(): Sent %d instead of %d bytes.\r\n"},
    {ErrorSelect, "ERROR: select(UDP) returned %d.\r\n", "ERROR: select(UDP) returned %d.\r\n"},
    {ErrorReceiveAborted, "ERROR: recvfrom(UDP) returned ABORTED.\r\n",
     "ERROR: recvfrom(UDP) returned ABORTED.\r\n"},
    {ErrorReceiveShutdown, "ERROR: recvfrom(UDP) returned SHUTDOWN.\r\n",
     "ERROR: recvfrom(UDP) returned SHUTDOWN.\r\n"},
    {ErrorReceiveReturned, "ERROR: recvfrom(UDP) returned %d.\r\n",
     "ERROR: recvfrom(UDP) returned %d.\r\n"},
    {ErrorAddressText, "ERROR in inet_ntoa.\r\n", "ERROR in inet_ntoa.\r\n"},
    {ErrorTargetsBeyondBound,
     "ERROR: The search targets hold %llu addresses, more than the %llu a search queries at "
     "most; give smaller prefixes, or raise the bound (--max-addresses).\r\n",
     "ERROR: Die Suchziele umfassen %llu Adressen, mehr als die %llu, die eine Suche h\xf6"
     "chstens abfragt; bitte kleinere Pr\xe4"
     "fixe angeben oder die Grenze anheben (--max-addresses).\r\n"},

    // The search's warnings and what it says on the way.
    {WarningRepliesKeptArriving,
     "WARNING: Replies kept arriving for 30 seconds; the search stops here.\r\n",
     "WARNING: 30 Sekunden lang kamen ununterbrochen Antworten; die Suche endet hier.\r\n"},
    {WarningNoRoute,
     "WARNING: This computer has no route to %s: the device answered, but its page cannot be "
     "opened. Give this computer an address in the device's network, or a route to it.\r\n",
     "WARNING: Dieser Computer hat keine Route zu %s: das Ger\xe4t hat geantwortet, aber seine "
     "Seite kann nicht ge\xf6"
     "ffnet werden. Geben Sie diesem Computer eine Adresse im Netz des Ger\xe4tes oder eine "
     "Route dorthin.\r\n"},
    {WarningFurtherOversized,
     "WARNING: Further oversized datagrams are dropped without a report.\r\n",
     "WARNING: Weitere zu gro\xdf"
     "e Datagramme werden ohne Meldung verworfen.\r\n"},
    {WarningOversized,
     "WARNING: recvfrom(UDP) returned %d: a datagram from %s:%u was too long and is "
     "dropped.\r\n",
     "WARNING: recvfrom(UDP) lieferte %d: ein Datagramm von %s:%u war zu lang und wird "
     "verworfen.\r\n"},
    {WarningAnsweredAsMore,
     "WARNING: %s answered as more than %d different devices; %u further answers from it are "
     "not listed.\r\n",
     "WARNING: %s antwortete als mehr als %d verschiedene Ger\xe4te; %u weitere Antworten davon "
     "werden nicht aufgef\xfchrt.\r\n"},
    {WarningTableFull,
     "WARNING: The device table is full (%d devices); %u further devices are not listed.\r\n",
     "WARNING: Die Ger\xe4tetabelle ist voll (%d Ger\xe4te); %u weitere Ger\xe4te werden nicht "
     "aufgef\xfchrt.\r\n"},
    {WarningInterfaceListTooLong,
     "WARNING: The list of network interfaces is too long (%d); the query goes to "
     "255.255.255.255 only.\r\n",
     "WARNING: Die Liste der Netzwerk-Schnittstellen ist zu lang (%d); die Anfrage geht nur an "
     "255.255.255.255.\r\n"},
    {WarningSendFailed, "WARNING: sendto(UDP) to %s returned %s.\r\n",
     "WARNING: sendto(UDP) an %s lieferte %s.\r\n"},
    {WarningNameUnresolved, "WARNING: The name '%s' could not be resolved; it is not queried.\r\n",
     "WARNING: Der Name '%s' konnte nicht aufgel\xf6st werden; er wird nicht abgefragt.\r\n"},
    {WarningNameNotInTime,
     "WARNING: The name '%s' could not be resolved in time; it is not queried.\r\n",
     "WARNING: Der Name '%s' konnte nicht rechtzeitig aufgel\xf6st werden; er wird nicht "
     "abgefragt.\r\n"},
    {WarningNameNoHost,
     "WARNING: The name '%s' resolves to %s, which is no host address (0.0.0.0/8, multicast or "
     "reserved); it is not queried.\r\n",
     "WARNING: Der Name '%s' ergibt %s, keine Host-Adresse (0.0.0.0/8, Multicast oder "
     "reserviert); sie wird nicht abgefragt.\r\n"},
    {WarningRepliesLost,
     "WARNING: %ld replies to the last query were lost: they came faster than this computer "
     "took them in. Some devices may be missing; search again.\r\n",
     "WARNING: %ld Antworten auf die letzte Anfrage gingen verloren: sie kamen schneller, als "
     "dieser Computer sie annahm. Einige Ger\xe4te fehlen vielleicht; bitte erneut suchen.\r\n"},
    {BurstRepliesLost,
     "%ld replies came faster than this computer took them in; the query goes out again (round "
     "%d of at most %d).\r\n",
     "%ld Antworten kamen schneller, als dieser Computer sie annahm; die Anfrage geht noch "
     "einmal hinaus (Runde %d von h\xf6"
     "chstens %d).\r\n"},
    {BurstMayHaveLost,
     "%u replies came in one burst, and this computer may have dropped some; the query goes "
     "out again (round %d).\r\n",
     "%u Antworten kamen auf einmal, und dieser Computer hat vielleicht einige verworfen; die "
     "Anfrage geht noch einmal hinaus (Runde %d).\r\n"},
    {BroadcastOnto, "IPv4 broadcast onto '%s'.\r\n", "IPv4 broadcast auf '%s'.\r\n"},
    {InterfaceBroadcasts, "IPv4 interface '%s': %s, broadcast %s.\r\n",
     "IPv4 Schnittstelle '%s': %s, Broadcast %s.\r\n"},
    {InterfaceNotQueried,
     "IPv4 interface '%s': %s cannot broadcast (a point-to-point link or a single address); "
     "not queried.\r\n",
     "IPv4 Schnittstelle '%s': %s kann nicht broadcasten (Punkt-zu-Punkt-Verbindung oder "
     "einzelne Adresse); nicht abgefragt.\r\n"},
    {QueryFailed, "failed: %s", "fehlgeschlagen: %s"},
    {SweepOf, "IPv4 sweep of '%s' (%u addresses).\r\n",
     "IPv4 Suchlauf \xfc"
     "ber '%s' (%u Adressen).\r\n"},
    {QueryTo, "IPv4 query to '%s' (%s).\r\n", "IPv4 Anfrage an '%s' (%s).\r\n"},
    {SweepOnLink,
     "  %u of its addresses are on a network of this computer, which the broadcast reaches; "
     "they are not queried one by one.\r\n",
     "  %u seiner Adressen liegen in einem Netz dieses Computers, das der Broadcast erreicht; "
     "sie werden nicht einzeln abgefragt.\r\n"},
    {SweepRepeated, "  %u of its addresses are queried already.\r\n",
     "  %u seiner Adressen werden schon abgefragt.\r\n"},
    {SweepTargets, "%u targets", "%u Ziele"},
    {SweepAllSent, "%u addresses", "%u Adressen"},
    {SweepSomeSent, "%u of %u addresses", "%u von %u Adressen"},
    {SweepSomeFailed, "%u of %u addresses; %u failed: %s",
     "%u von %u Adressen; %u fehlgeschlagen: %s"},
    {SweepQueried, "\rQueried %s: %s.\r\n", "\rAbgefragt %s: %s.\r\n"},
    {SweepQuerying, "\rQuerying %s: %u of %u addresses ...",
     "\rAbfrage %s: %u von %u Adressen ..."},
    {SweepEstimate, "The targets hold %s addresses: at %s a second, the sweep takes about %s.\r\n",
     "Die Suchziele umfassen %s Adressen: bei %s je Sekunde dauert der Suchlauf etwa %s.\r\n"},
    {NobodyAnswered, "No %s device answered. The query went to:\r\n",
     "Kein %s-Ger\xe4t hat geantwortet. Die Anfrage ging an:\r\n"},
    // One short line each: the report window does not wrap its lines.
    {PleaseCheck,
     "Please check:\r\n"
     "  - Are the devices powered and connected to this network?\r\n"
     "  - Does a firewall on this computer block UDP port 9959?\r\n"
     "  - Devices behind a router are found only as search targets\r\n"
     "    (%s).\r\n",
     "Bitte pr\xfc"
     "fen Sie:\r\n"
     "  - Sind die Ger\xe4te eingeschaltet und mit diesem Netz verbunden?\r\n"
     "  - Sperrt eine Firewall auf diesem Computer UDP-Port 9959?\r\n"
     "  - Ger\xe4te hinter einem Router findet die Suche nur als Suchziele\r\n"
     "    (%s).\r\n"},
    {VirtualNatHint,
     "  - This computer looks like a virtual machine behind its host's NAT\r\n"
     "    (WSL 2, VirtualBox), which broadcasts do not cross: use bridged\r\n"
     "    networking, run the finder on the host, or give the devices as\r\n"
     "    search targets.\r\n",
     "  - Dieser Computer scheint eine virtuelle Maschine hinter dem NAT ihres\r\n"
     "    Hosts zu sein (WSL 2, VirtualBox), das kein Broadcast \xfc"
     "berquert:\r\n"
     "    Netzwerkbr\xfc"
     "cke verwenden, die Suche auf dem Host starten oder die Ger\xe4te\r\n"
     "    als Suchziele angeben.\r\n"},

    // The reasons of a failed send, in words.
    {SendShort, "fewer bytes went out than the query has",
     "weniger Bytes gesendet als die Anfrage hat"},
    {SendNetworkUnreachable, "network unreachable", "Netz nicht erreichbar"},
    {SendHostUnreachable, "host unreachable", "Host nicht erreichbar"},
    {SendNetworkDown, "network down", "Netz ausgefallen"},
    {SendPermissionDenied, "permission denied", "Zugriff verweigert"},
    {SendAddressNotAvailable, "address not available",
     "Adresse nicht verf\xfc"
     "gbar"},
    {SendAddressInUse, "address already in use", "Adresse wird schon verwendet"},
    {SendNoBufferSpace, "no buffer space", "kein Pufferplatz"},
    {SendBufferStayedFull, "the send buffer stayed full", "der Sendepuffer blieb voll"},
    {SendMessageTooLong, "message too long", "Nachricht zu lang"},
    {SendInvalidArgument, "invalid argument", "ung\xfcltiges Argument"},
    {SendNotASocket, "not a socket", "kein Socket"},
    {SendConnectionReset, "connection reset",
     "Verbindung zur\xfc"
     "ckgesetzt"},
    {SendConnectionAborted, "connection aborted", "Verbindung abgebrochen"},
    {SendShutDown, "socket shut down", "Socket geschlossen"},

    // Targets and target lists (the quoted text is UTF-8 where they are shown).
    {TargetControlCharacter, "%s holds a control character", "%s enth\xe4lt ein Steuerzeichen"},
    {TargetNothing, "%s is no IPv4 address, host name or prefix",
     "%s ist weder IPv4-Adresse noch Host-Name noch Pr\xe4"
     "fix"},
    {TargetNoPrefix, "%s is no IPv4 prefix (A.B.C.D/N)",
     "%s ist kein IPv4-Pr\xe4"
     "fix (A.B.C.D/N)"},
    {TargetPrefixLength, "the prefix length of %s is not from 16 to 32",
     "die Pr\xe4"
     "fixl\xe4nge von %s liegt nicht zwischen 16 und 32"},
    {TargetNoHosts, "%s holds no host addresses (0.0.0.0/8, multicast or reserved)",
     "%s enth\xe4lt keine Host-Adressen (0.0.0.0/8, Multicast oder reserviert)"},
    {TargetNoHostAddress,
     "%s is no host address (0.0.0.0/8, multicast or reserved; the search broadcasts to "
     "255.255.255.255 anyway)",
     "%s ist keine Host-Adresse (0.0.0.0/8, Multicast oder reserviert; die Suche sendet ohnehin "
     "an 255.255.255.255)"},
    {TargetNotDotted, "%s is no IPv4 address in dotted-decimal form (A.B.C.D)",
     "%s ist keine IPv4-Adresse in Punkt-Dezimal-Form (A.B.C.D)"},
    {TargetRate, "the rate %s is no number of queries a second from %d to %d",
     "die Rate %s ist keine Zahl von Anfragen je Sekunde von %d bis %d"},
    {TargetBound, "the bound %s is no number of addresses from 1 to 4294967295",
     "die Grenze %s ist keine Zahl von Adressen von 1 bis 4294967295"},
    {ListTooLarge, "the list is larger than 16 MiB",
     "die Liste ist gr\xf6\xdf"
     "er als 16 MiB"},
    {ListNoAddress, "%s is no IPv4 address", "%s ist keine IPv4-Adresse"},
    {JsonExpectedArray, "expected a JSON array of devices",
     "erwartet: ein JSON-Array von Ger\xe4ten"},
    {JsonExpectedObject, "each device must be a JSON object",
     "jedes Ger\xe4t muss ein JSON-Objekt sein"},
    {JsonExpectedCommaOrBracket, "expected ',' or ']'", "erwartet: ',' oder ']'"},
    {JsonExpectedCommaOrBrace, "expected ',' or '}'", "erwartet: ',' oder '}'"},
    {JsonTextAfterEnd, "text after the end of the JSON array",
     "Text nach dem Ende des JSON-Arrays"},
    {JsonIpv4NotString, "\"ipv4\" must be a string", "\"ipv4\" muss eine Zeichenkette sein"},
    {JsonExpectedString, "expected a string", "erwartet: eine Zeichenkette"},
    {JsonExpectedColon, "expected ':' after a key", "erwartet: ':' nach einem Schl\xfcssel"},
    {JsonControlInString, "a control character in a string",
     "ein Steuerzeichen in einer Zeichenkette"},
    {JsonBrokenUnicodeEscape, "a broken \\u escape", "eine fehlerhafte \\u-Folge"},
    {JsonBrokenEscape, "a broken escape in a string",
     "eine fehlerhafte Escape-Folge in einer Zeichenkette"},
    {JsonUnendedString, "a string without its end", "eine Zeichenkette ohne Ende"},
    {JsonTooDeep, "JSON nested too deeply", "JSON zu tief verschachtelt"},
    {JsonExpectedValue, "expected a JSON value", "erwartet: ein JSON-Wert"},

    // The desktop program.
    {FinderUsage, kFinderUsageEnglish, kFinderUsageGerman},
    {FinderUnknownOption, "unknown option '%s' (see lorixlog-finder --help)",
     "unbekannte Option '%s' (siehe lorixlog-finder --help)"},
    {OptionNeedsValue, "option '%s' needs a value", "Option '%s' braucht einen Wert"},
    {StartupFailed, "Error: WSAStartup() failed.\n", "Error: WSAStartup() failed.\n"},
    {StartupWrongVersion, "Error: WSAStartup() returned wrong version.\n",
     "Error: WSAStartup() returned wrong version.\n"},
    {FinderTargetsHint, "right click on this report: Search targets\x85",
     "rechter Mausklick auf diesen Bericht: Suchziele\x85"},
    {TargetsKept, "Search targets: %d, kept for every search in\r\n  %s\r\n",
     "Suchziele: %d, gespeichert f\xfcr jede Suche in\r\n  %s\r\n"},
    {SavedUnreadable, "The saved search targets in '%s' cannot be read: %s",
     "Die gespeicherten Suchziele in '%s' sind nicht lesbar: %s"},
    {SavedNotUsed, "The saved search targets are not used: %s:%d: %s",
     "Die gespeicherten Suchziele werden nicht verwendet: %s:%d: %s"},
    {SavedNotTargets, "These lines are no search targets:", "Diese Zeilen sind keine Suchziele:"},
    {SavedLine, "line %d: %s", "Zeile %d: %s"},
    {SavedAndMore, "\x85 and %u more", "\x85 und %u weitere"},
    {SavedNotSaved, "The search targets could not be saved: %s",
     "Die Suchziele konnten nicht gespeichert werden: %s"},
    {SavedNoFolder, "no folder for settings known", "kein Ordner f\xfcr Einstellungen bekannt"},
    {WarningNameNotHostOpenIPv4,
     "WARNING: The name '%s' is not a valid host name; opening the IPv4 address instead.\r\n",
     "WARNING: Der Name '%s' ist kein g\xfcltiger Host-Name; ge\xf6"
     "ffnet wird die IPv4-Adresse.\r\n"},
    {WarningNameNotHostNotOpened,
     "WARNING: The name '%s' is not a valid host name; the device is not opened.\r\n",
     "WARNING: Der Name '%s' ist kein g\xfcltiger Host-Name; das Ger\xe4t wird nicht ge\xf6"
     "ffnet.\r\n"},
    {OpenUrl, "Open: %s \r\n",
     "\xd6"
     "ffne: %s \r\n"},
    {ErrorBrowser, "ERROR: The web browser could not be started for %s (error %d).\r\n",
     "ERROR: Der Web-Browser f\xfcr %s konnte nicht gestartet werden (Fehler %d).\r\n"},
    {MenuCopy, "&Copy", "&Kopieren"},
    {MenuSelectAll, "Select &All", "&Alles markieren"},
    {MenuSearchTargets, "Search &targets\x85", "Such&ziele\x85"},
    {MainSearch, "Search", "Suchen"},
    {MainOpenDevice, "Open Device",
     "Ger\xe4t \xf6"
     "ffnen"},
    {MainQuit, "Quit", "Beenden"},
    {MainResults, "Device Search Results", "Ergebnis der Ger\xe4tesuche"},
    {MainSearchAgain, "Search again", "Nochmal suchen"},
    {ListSelectDevice, "Select lorixlog device to open",
     "Auswahl des Ger\xe4tes, das ge\xf6"
     "ffnet werden soll"},
    {ListOpenDevice, "Open device ...",
     "Ger\xe4t \xf6"
     "ffnen ..."},
    {ListByName, "by Name", "mit Name"},
    {ListByIPAddress, "by IP-Address", "mit IP-Adresse"},
    {ListByIPv4Address, "by IPv4-Address", "mit IPv4-Adresse"},
    {ListByIPv6Address, "by IPv6-Address", "mit IPv6-Adresse"},
    {DialogCancel, "Cancel", "Abbrechen"},
    {TargetsCaption, "Search targets", "Suchziele"},
    {TargetsHint,
     "Also search these targets behind routers, one a line: an address, a host name or a prefix "
     "A.B.C.D/N (N from 16 to 32); # starts a comment",
     "Auch diese Ziele hinter Routern durchsuchen, eins je Zeile: eine Adresse, ein Host-Name "
     "oder ein Pr\xe4"
     "fix A.B.C.D/N (N von 16 bis 32); # leitet Kommentare ein"},
    {MainStop, "Stop", "Anhalten"},
    {CaptionProgress, "lorixlog-finder \x96 %s of %s addresses \x96 %s",
     "lorixlog-finder \x96 %s von %s Adressen \x96 %s"},
    {CountDevicesOne, "1 device", "1 Ger\xe4t"},
    {CountDevicesMany, "%d devices", "%d Ger\xe4te"},
    {DevicesFoundOne, "1 device found.\r\n", "1 Ger\xe4t gefunden.\r\n"},
    {DevicesFoundMany, "%d devices found.\r\n", "%d Ger\xe4te gefunden.\r\n"},
    {MenuOpen, "&Open",
     "\xd6"
     "&ffnen"},
    {MenuCopyAddress, "Copy &address", "&Adresse kopieren"},
    {MenuCopyLine, "Copy &line", "&Zeile kopieren"},
    {MenuSaveList, "&Save list as\x85", "Liste &speichern unter\x85"},
    {SaveListCaption, "Save list as", "Liste speichern unter"},
    {SaveFilterCsv, "CSV, for spreadsheets", "CSV, f\xfcr Tabellenkalkulationen"},
    {SaveFilterJson, "JSON", "JSON"},
    {SaveListFailed, "The list could not be saved as '%s': %s",
     "Die Liste konnte nicht als '%s' gespeichert werden: %s"},
    {ListSaved, "Device list saved as\r\n  %s\r\n", "Ger\xe4teliste gespeichert als\r\n  %s\r\n"},
    {NoDisplay,
     "lorixlog-finder: cannot open a display (%s); lorixlog-find searches from a terminal\n",
     "lorixlog-finder: kann keine Anzeige \xf6"
     "ffnen (%s); lorixlog-find sucht vom Terminal aus\n"},
    {WindowFailed,
     "The window of lorixlog-finder could not be created. lorixlog-find searches from a command "
     "line.",
     "Das Fenster von lorixlog-finder konnte nicht erstellt werden. lorixlog-find sucht von der "
     "Kommandozeile aus."},

    // lorixlog-find (written to a terminal in UTF-8).
    {FindUsage, kFindUsageEnglish, kFindUsageGerman},
    {FindHelpCsv,
     "  --csv          write the devices as CSV to standard output\n"
     "                 (the report then goes to standard error)\n",
     "  --csv          die Ger\xe4te als CSV in die Standardausgabe schreiben\n"
     "                 (der Bericht geht dann in die Standardfehlerausgabe)\n"},
    {FindHelpJson,
     "  --json         write the devices as a JSON array to standard output\n"
     "                 (the report then goes to standard error)\n",
     "  --json         die Ger\xe4te als JSON-Array in die Standardausgabe schreiben\n"
     "                 (der Bericht geht dann in die Standardfehlerausgabe)\n"},
    {FindUnknownOption, "unknown option '%s'", "unbekannte Option '%s'"},
    {FindTryHelp, "Try 'lorixlog-find --help'.", "Mehr mit 'lorixlog-find --help'."},
    {FindDidYouMean, "Did you mean %s?", "War %s gemeint?"},
    {FindJsonAndCsv, "%s and %s exclude each other",
     "%s und %s schlie\xdf"
     "en einander aus"},
    {FindWatchSeconds, "--watch takes a number of seconds from %d to %d, not '%s'",
     "--watch nimmt eine Zahl von Sekunden von %d bis %d, nicht '%s'"},
    {FindWatchAndCsv, "--watch and %s exclude each other (--watch --json writes one event a line)",
     "--watch und %s schlie\xdf"
     "en einander aus (--watch --json schreibt ein Ereignis je Zeile)"},
    {FindMetricsAddress,
     "--metrics takes ADDRESS:PORT, an IPv4 address and a port from 1 to 65535 (such as "
     "127.0.0.1:9469), not '%s'",
     "--metrics nimmt ADRESSE:PORT, eine IPv4-Adresse und einen Port von 1 bis 65535 (etwa "
     "127.0.0.1:9469), nicht '%s'"},
    {FindMetricsWithoutWatch, "--metrics serves the metrics of a watch: give --watch too",
     "--metrics liefert die Messwerte einer Beobachtung: bitte auch --watch angeben"},
    {FindMetricsCannotListen, "cannot serve the metrics on %s: %s",
     "die Messwerte lassen sich nicht auf %s anbieten: %s"},
    {FindMetricsListening, "metrics on http://%s/metrics", "Messwerte auf http://%s/metrics"},
    {FindCannotRead, "cannot read %s: %s", "%s ist nicht lesbar: %s"},
    {FindStandardInput, "standard input", "Standardeingabe"},
    {FindMoreMalformed, "\x85 and %u more malformed lines", "\x85 und %u weitere falsche Zeilen"},
    {FindCannotWrite, "cannot write the output: %s",
     "die Ausgabe l\xe4\xdf"
     "t sich nicht schreiben: %s"},
    {FindOutputClosed, "standard output is closed: there is nowhere to write the results",
     "die Standardausgabe ist geschlossen: die Ergebnisse k\xf6nnen nirgends hin"},
    {FindWatchSearchFailed, "%s the search failed: %s", "%s die Suche scheiterte: %s"},
    {FindTargetsHint, "--target, --targets-from", "--target, --targets-from"},
};

static_assert(sizeof(kEntries) / sizeof(kEntries[0]) == Count, "every id has one entry");

constexpr bool InOrderOfIds() {
    for (int i = 0; i < Count; ++i) {
        if (kEntries[i].id != static_cast<Id>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(InOrderOfIds(), "the entries stand in the order of their ids");

}  // namespace

std::string Grouped(std::uint64_t n, Language language) {
    std::string digits = std::to_string(n);
    for (std::size_t i = digits.size(); i > 3; i -= 3) {
        digits.insert(i - 3, 1, language == Language::German ? '.' : ',');
    }
    return digits;
}

const char* Get(Id id, Language language) {
    const Entry& entry = kEntries[id];
    return language == Language::German ? entry.pszGerman : entry.pszEnglish;
}

const Entry* Catalogue() {
    return kEntries;
}

namespace {

std::string Formatted(const char* pszFormat, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n <= 0) {
        return std::string();
    }
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), pszFormat, args);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace

std::string Format(Id id, Language language, ...) {
    va_list args;
    va_start(args, language);
    std::string out = Formatted(Get(id, language), args);
    va_end(args);
    return out;
}

std::string FormatUtf8(Id id, Language language, ...) {
    const std::string format = Utf8(id, language);
    va_list args;
    va_start(args, language);
    std::string out = Formatted(format.c_str(), args);
    va_end(args);
    return out;
}

std::string Utf8(Id id, Language language) {
    return text::Utf8From1252(Get(id, language));
}

}  // namespace texts
