#include "host/CommandTable.h"

#include <array>

namespace skein10::host {
namespace {

constexpr OptionHelp kRegisterOptions[]{
    {"--library", "PATH", "register the component library at PATH instead; may be repeated"},
};

constexpr OptionHelp kUnregisterOptions[]{
    {"--library", "PATH", "remove the classes of the component library at PATH instead; may be\nrepeated"},
};

constexpr Example kRegisterExamples[]{
    {"skein10 register", "registers the libraries installed with skein10 in the user's store"},
    {"skein10 register --library /opt/lib/libskein10.so", "registers that library's classes"},
};

constexpr OptionHelp kFtpOptions[]{
    {"-u, --user", "USER[:PASS]", "the login, instead of naming it in the URL"},
    {"--netrc", "", "look the login up in ~/.netrc (machine, login, password)"},
    {"--ascii", "", "the ASCII transfer type (TYPE A) for the whole session"},
    {"--mode", "PASV|PORT", "data connections in passive (default) or active mode"},
    {"--timeout", "MS", "reply time-out in milliseconds (default 20000)"},
    {"--log", "", "print the session log at the end, also after a failure"},
    {"--progress", "", "show progress also when standard error is no terminal"},
    {"--quiet", "", "show no progress"},
    {"--ssl-reqd", "", "TLS or nothing: ftp:// is taken as ftpes://"},
    {"--cacert", "FILE", "trust the certificate authorities in FILE (PEM)"},
};

constexpr StepHelp kFtpSteps[]{
    {"cd DIR", "change the remote folder"},
    {"mkdir DIR", "make a remote folder"},
    {"rmdir DIR", "remove a remote folder"},
    {"rm REMOTE", "delete a remote file"},
    {"mv FROM TO", "rename a remote file"},
    {"type binary|ascii", "choose the transfer type (then none is set by default)"},
    {"ls [REMOTE_DIR] [-o|--output LOCAL]",
     "print the listing of the current remote folder, or of\nREMOTE_DIR, on standard output; with -o, write it to LOCAL"},
    {"get REMOTE LOCAL", "download REMOTE into LOCAL"},
    {"get 'PATTERN' LOCAL_DIR",
     "download the files of the current remote folder whose\nnames match the shell PATTERN into LOCAL_DIR"},
    {"get -r REMOTE_DIR LOCAL_DIR", "download the tree of REMOTE_DIR into LOCAL_DIR"},
    {"put LOCAL REMOTE", "upload LOCAL as REMOTE"},
    {"put -r LOCAL_DIR REMOTE_DIR", "upload the tree of LOCAL_DIR into REMOTE_DIR"},
};

constexpr Example kFtpExamples[]{
    {"skein10 ftp ftp://alice@ftp.example.org/pub/ ls",
     "lists /pub (alice's password from $SKEIN10_FTP_PASSWORD or the terminal)"},
    {"skein10 ftp ftp://ftp.example.org/pub/README", "downloads README into the current folder"},
    {"skein10 ftp -u alice ftpes://ftp.example.org ls incoming -o incoming.txt",
     "writes the listing of the folder incoming into incoming.txt, over TLS"},
    {"skein10 ftp ftp://ftp.example.org get -r pub/data data",
     "downloads the tree of pub/data into the local folder data"},
    {"skein10 ftp ftp://ftp.example.org/pub/ get '*.iso' isos",
     "downloads every .iso file of /pub into the local folder isos"},
    {"skein10 ftp -u alice --netrc ftp://ftp.example.org put -r site www",
     "uploads the local tree site into the remote folder www"},
    {"skein10 ftp ftp://ftp.example.org get big.tar - | tar -x", "unpacks a download from standard output"},
    {"skein10 ftp --progress ftp://ftp.example.org get big.bin big.bin 2>progress.log",
     "logs the progress, one line a second"},
};

constexpr Example kCallExamples[]{
    {"skein10 call Skein10.clsKvInetFTPConnection TimeOut", "prints an FTP session's reply time-out, 20000"},
    {"skein10 call Skein10.clsKvInetURLCacheA GetCacheEntryInfoPro 0 https://example.org/",
     "prints True when the URL cache store holds the URL"},
};

constexpr Example kCacheExamples[]{
    {"skein10 cache has https://example.org/", "prints True or False"},
};

constexpr std::array kCommands{
    CommandHelp{"register", "skein10 register [--library PATH]...",
                R"(Registers the component libraries in the user's registration store, so
that programs create their classes by name for this user, before those of
the installed class store. Without --library, registers the libraries
installed with this program (libskein10.so and libkvmarrow10.so, found in
the folder skein10 of the library folder it was built or installed with).)",
                kRegisterOptions,
                {},
                {},
                {},
                kRegisterExamples},
    CommandHelp{"unregister", "skein10 unregister [--library PATH]...",
                R"(Removes the classes of the component libraries from the user's
registration store, and nothing else. The libraries are chosen as for
register. The installed class store is never changed.)",
                kUnregisterOptions,
                {},
                {},
                {},
                {}},
    CommandHelp{"call", "skein10 call PROGID MEMBER [ARG...]",
                R"(Creates the class PROGID ("Skein10." and the class name) and calls its
member MEMBER by name, a method or a property read. Each ARG is converted
to the type of the member's parameter at its position. The result is
printed: a collection one item per line, a byte array as hexadecimal, an
object as the name of its interface, Empty as nothing.)",
                {},
                {},
                {},
                {},
                kCallExamples},
    CommandHelp{"ftp",
                "skein10 ftp [OPTION]... ftp://[USER[:PASS]@]HOST[:PORT][/PATH] [OPTION]... [STEP]...",
                R"(Connects and logs in, sets the binary transfer type (TYPE I), runs the
steps in order on one FTP session, and disconnects. The session stops at
the first step that fails. Options may come before or after the URL, up
to the first step. USER and PASS may be percent-encoded; HOST may be an
IPv6 address in brackets. PORT defaults to 21. ftpes:// instead of ftp://
asks for explicit TLS (AUTH TLS), ftps:// for implicit TLS (PORT 990 by
default); the server's certificate must be trusted and name HOST.

A PATH in the URL is where the session starts: a cd for each name between
the "/", each percent-decoded on its own (so "%2F" stays inside its name);
a PATH that starts with "//" starts at the server's root. With no step, a
PATH that ends in a file name downloads that file into the current local
folder under its own name (get NAME NAME), and one that ends in "/" is
listed (ls).

The login, first found first: the URL, -u, ~/.netrc with --netrc; without
a user, anonymous. The password, first found first: the URL, -u, ~/.netrc,
$SKEIN10_FTP_PASSWORD, a prompt without echo when standard input is a
terminal. When none of them gives one, a warning says that an empty
password is sent. No password is ever printed: messages show it as ***,
and the program overwrites the password of -u and of the URL in its own
argument list as it starts, so ps and /proc/PID/cmdline don't show it.)",
                kFtpOptions,
                kFtpSteps,
                R"(A LOCAL of - is standard output (ls, get) or standard input (put). No step
writes a local file other than the LOCAL or LOCAL_DIR it names.

ls REMOTE_DIR, get -r and put -r enter REMOTE_DIR with a cd for each of
its names and come back with a "cd .." for each, so the next step runs
where they started. REMOTE_DIR is therefore a path below the current
folder, without a leading "/" and without "..": cd to any other folder
first. On a server where REMOTE_DIR is a symbolic link, "cd .." leads to
the parent of the link's target instead. After ls, a word that is a step's
name or starts with "-" is no REMOTE_DIR: write a folder of such a name as
./NAME.

A REMOTE of get that holds *, ? or [ is a PATTERN (quote it for the
shell): it matches the names of the files (not folders) in the current
remote folder, a leading "." only with a "."; a file whose name holds such
a character is fetched with a pattern that matches it ('a[[]1].txt').
When nothing matches, the step fails with 78. The content of REMOTE_DIR
goes into LOCAL_DIR and that of LOCAL_DIR into REMOTE_DIR; LOCAL_DIR and
the local folders of get -r are made when missing, and put -r makes a
remote folder when the server refuses a cd into it.

get -r walks the remote tree from its listings (LIST), read in the Unix
"ls -l" format and the DOS/IIS format. It skips, each with a warning:
symbolic links (a listing doesn't say whether one leads to a file or a
folder, and "cd .." out of one does not lead back), devices, pipes and
sockets, lines in neither format, and names that hold "/" or a line end
(no local file has such a name, and "../x" would lead out of LOCAL_DIR).
put -r reads the whole local tree before it sends anything; it uploads a
symbolic link to a file as that file and skips linked folders. A failure
stops the step at the failing file or folder, which the error names.)",
                R"(Progress goes to standard error: on a terminal, transfers draw a line
that is redrawn in place (bytes moved, of how many and the share when the
size is known, rate, elapsed time) and leave a summary line; elsewhere,
with --progress, each update is a line of its own, once a second. The
files of get -r, get PATTERN and put -r are numbered (put 3/10, get #3),
and the step ends with the number of files moved.

Ctrl-C (SIGINT), SIGTERM and SIGHUP close the session (QUIT; a download in
progress leaves no file behind), then end the program by the same signal,
so that a shell loop around it stops as well. Standard output closed early
(get R - | head) ends it with 23 "Failure writing output" after the same
clean-up.

An error names the failing step and, when the server refused it, quotes
the reply it gave: "skein10: step 3 (get a.bin a.bin): error 8 (FTP
Command): ... [server: 550 a.bin: No such file]"; a time-out or a lost
connection quotes nothing. When every step succeeded but QUIT can't be
delivered, a warning is printed and the exit status is 0.)",
                kFtpExamples},
    CommandHelp{"browser", "skein10 browser",
                R"(Prints the current user's browser folders as KEY=VALUE lines
(UserProfileDir, CookiesDir, History, TempInternetFiles), then the names
found in the cookies folder, one per line.)",
                {},
                {},
                {},
                {},
                {}},
    CommandHelp{"cache", "skein10 cache has|add|remove URL\nskein10 cache list",
                R"(Works on the URL cache store. has prints True or False; add and remove
create and delete the entry of URL; list prints every URL in the store.)",
                {},
                {},
                {},
                {},
                kCacheExamples},
    CommandHelp{"about", "skein10 about", R"(Prints the library's about box.)", {}, {}, {}, {}, {}},
    CommandHelp{"help", "skein10 help [COMMAND]", R"(The same as skein10 --help, or skein10 COMMAND --help.)",
                {}, {}, {}, {}, {}},
};

constexpr OptionHelp kProgramOptions[]{
    {"-h, --help", "", "print this manual; after a COMMAND, the page of that command"},
    {"--version", "", "print the versions of the program and of the library"},
};

constexpr Term kExitStatuses[]{
    {"0", "success"},
    {"1", "any other error, printed as \"skein10: error NUMBER (SOURCE): DESCRIPTION\""},
    {"2", "a usage mistake"},
    {"6", "ftp: the host name can't be resolved"},
    {"7", "ftp: the connection was refused, failed, or was reset or closed by the server"},
    {"9", "ftp: the server refused a cd"},
    {"23", "ftp: a listing or download could not be written locally, or standard output\nwas closed (\"Failure writing output\")"},
    {"26", "ftp: an upload's local file could not be read"},
    {"28", "ftp: the server did not answer within the time-out"},
    {"35", "ftp: the TLS handshake or a TLS connection failed (a refused certificate too)"},
    {"64", "ftp: the server refused TLS (AUTH TLS, PBSZ or PROT)"},
    {"67", "ftp: the server refused the login (530 or 332 to USER or PASS)"},
    {"77", "ftp: the trust store (--cacert, or $SSL_CERT_FILE with TLS) can't be read"},
    {"78", "ftp: the remote file of a get was not found (550), or nothing matched its PATTERN"},
};

constexpr Term kEnvironment[]{
    {"SKEIN10_REGISTRY", "the user's registration store's file (default\n${XDG_CONFIG_HOME:-$HOME/.config}/skein10/registry)"},
    {"SKEIN10_INSTALLED_REGISTRY",
     "the installed class store's file, instead of the one installed with the\nlibraries (empty: none)"},
    {"SKEIN10_FTP_PASSWORD", "the FTP password when no other place gives one (empty: unset)"},
    {"SKEIN10_URLCACHE", "the URL cache store's folder (default\n${XDG_CACHE_HOME:-$HOME/.cache}/skein10/urlcache)"},
    {"SSL_CERT_FILE", "the certificate authorities TLS trusts when --cacert names none"},
    {"TMPDIR", "where ftp keeps the copy of standard input or output of a \"-\" (default /tmp)"},
};

constexpr Term kFiles[]{
    {"${XDG_CONFIG_HOME:-$HOME/.config}/skein10/registry",
     "The user's registration store, written by skein10 register and\nunregister, and read first."},
    {"", "The class store installed with the libraries, read-only, read after the\nuser's: it registers every installed class for every user."},
    {"${XDG_CACHE_HOME:-$HOME/.cache}/skein10/urlcache", "The URL cache store (skein10 cache)."},
    {"~/.netrc", "The FTP logins that ftp --netrc looks up."},
};

}  // namespace

std::span<const CommandHelp> commandHelp() { return kCommands; }

const CommandHelp* findCommandHelp(std::string_view name) {
  for (const CommandHelp& help : kCommands)
    if (help.name == name) return &help;
  return nullptr;
}

std::string_view programSummary() { return "skein10 - use the Skein10 components from the command line"; }

std::string_view programSynopsis() { return "skein10 [COMMAND] --help\nskein10 --version"; }

std::string_view programDescription() {
  return R"(skein10 is a host of the Skein10 components: it creates their classes by
name (ProgID) and calls their members. It runs FTP sessions, prints the
user's browser folders, works on the URL cache store, and calls any member
of a registered class by name.

The classes installed with skein10 can be created by every user of the
machine without registration: a read-only class store installed with the
libraries registers them (see FILES). A user's own registration store,
written by skein10 register, is read first: it adds classes for that user,
or serves an installed one from another library.)";
}

std::span<const OptionHelp> programOptions() { return kProgramOptions; }

std::span<const Term> exitStatuses() { return kExitStatuses; }

std::string_view exitStatusNotes() {
  return R"(An ftp session ended by SIGINT, SIGTERM or SIGHUP is closed, then the program
ends by that signal (a shell shows 130, 143 or 129).

Error 429 (a class can't be created) names the ProgID, the registration
stores and why a registered library could not be loaded; 'skein10 register'
registers the components built with this program.)";
}

std::span<const Term> environmentVariables() { return kEnvironment; }

std::span<const Term> files() { return kFiles; }

}  // namespace skein10::host
