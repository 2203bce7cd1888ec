#include "host/Usage.h"

#include <array>

namespace skein10::host {
namespace {

struct CommandHelp {
  std::string_view name;
  std::string_view synopsis;
  std::string_view description;
};

constexpr std::array kCommands{
    CommandHelp{"register", "skein10 register [--library PATH]...",
                R"(Registers the component libraries in the registration store, so that
programs create their classes by name. Without --library, registers the
libraries built and installed with this program (libskein10.so and
libkvmarrow10.so, found in ../lib next to the program's folder).

--library PATH
    Register the component library at PATH instead; may be repeated.)"},
    CommandHelp{"unregister", "skein10 unregister [--library PATH]...",
                R"(Removes the classes of the component libraries from the registration
store, and nothing else. The libraries are chosen as for register.)"},
    CommandHelp{"call", "skein10 call PROGID MEMBER [ARG...]",
                R"(Creates the class PROGID (for example Skein10.clsKvSkein10A) and calls its
member MEMBER by name, a method or a property read. Each ARG is converted
to the type of the member's parameter at its position. The result is
printed: a collection one item per line, a byte array as hexadecimal, an
object as the name of its interface, Empty as nothing.)"},
    CommandHelp{"ftp",
                "skein10 ftp [OPTION]... ftp://[USER[:PASS]@]HOST[:PORT] [OPTION]... STEP...",
                R"(Connects and logs in, sets the binary transfer type (TYPE I), runs the
steps in order on one FTP session, and disconnects. The session stops at
the first step that fails. Options may come before or after the URL, up
to the first step. USER and PASS may be percent-encoded; HOST may be an
IPv6 address in brackets. PORT defaults to 21. ftpes:// instead of ftp://
asks for explicit TLS (AUTH TLS), ftps:// for implicit TLS (PORT 990 by
default); the server's certificate must be trusted and name HOST.

The login, first found first: the URL, -u, ~/.netrc with --netrc; without
a user, anonymous. The password, first found first: the URL, -u, ~/.netrc,
$SKEIN10_FTP_PASSWORD, a prompt without echo when standard input is a
terminal. No password is ever printed: messages show it as ***.

-u, --user USER[:PASS]  the login, instead of naming it in the URL
--netrc            look the login up in ~/.netrc (machine, login, password)
--ascii            the ASCII transfer type (TYPE A) for the whole session
--mode PASV|PORT   data connections in passive (default) or active mode
--timeout MS       reply time-out in milliseconds (default 20000)
--log              print the session log at the end, also after a failure
--quiet            draw no progress line
--ssl-reqd         TLS or nothing: ftp:// is taken as ftpes://
--cacert FILE      trust the certificate authorities in FILE (PEM)

Steps:
    cd DIR            change the remote folder
    mkdir DIR         make a remote folder
    rmdir DIR         remove a remote folder
    rm FILE           delete a remote file
    mv FROM TO        rename a remote file
    type binary|ascii choose the transfer type (then none is set by default)
    ls LOCALFILE      store the remote folder's listing in LOCALFILE
    get REMOTE LOCAL  download REMOTE into LOCAL
    put LOCAL REMOTE  upload LOCAL as REMOTE
A LOCALFILE or LOCAL of - is standard output (ls, get) or standard input (put).

On a terminal, ls, get and put draw a progress line on standard error:
bytes moved, of how many and the share when the size is known, rate and
elapsed time; a summary line stays when the step ends. Ctrl-C closes the
session; a download in progress leaves no file behind.

An error names the failing step and, for the server's errors, its last
reply: "skein10: step 3 (get a.bin a.bin): error 8 (FTP Command): ...
[server: 550 a.bin: No such file]". When every step succeeded but QUIT
can't be delivered, a warning is printed and the exit status is 0.)"},
    CommandHelp{"browser", "skein10 browser",
                R"(Prints the current user's browser folders as KEY=VALUE lines
(UserProfileDir, CookiesDir, History, TempInternetFiles), then the names
found in the cookies folder, one per line.)"},
    CommandHelp{"cache", "skein10 cache has|add|remove URL\nskein10 cache list",
                R"(Works on the URL cache store. has prints True or False; add and remove
create and delete the entry of URL; list prints every URL in the store.)"},
    CommandHelp{"about", "skein10 about", R"(Prints the library's about box.)"},
    CommandHelp{"help", "skein10 help [COMMAND]", R"(The same as skein10 --help, or skein10 COMMAND --help.)"},
};

const CommandHelp* find(std::string_view name) {
  for (const CommandHelp& help : kCommands)
    if (help.name == name) return &help;
  return nullptr;
}

void printIndented(std::ostream& out, std::string_view text, std::string_view indent) {
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (!line.empty()) out << indent << line;
    out << "\n";
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
}

void printSynopses(std::ostream& out, std::string_view indent) {
  for (const CommandHelp& help : kCommands) printIndented(out, help.synopsis, indent);
}

}  // namespace

void printManual(std::ostream& out) {
  out << "NAME\n    skein10 - use the Skein10 components from the command line\n\n"
      << "SYNOPSIS\n";
  printSynopses(out, "    ");
  out << "    skein10 [COMMAND] --help\n    skein10 --version\n\nCOMMANDS\n";
  for (const CommandHelp& help : kCommands) {
    out << "    " << help.name << "\n";
    printIndented(out, help.description, "        ");
    out << "\n";
  }
  out << "ENVIRONMENT\n"
      << "    SKEIN10_REGISTRY      the registration store's file (default\n"
      << "                          ${XDG_CONFIG_HOME:-$HOME/.config}/skein10/registry)\n"
      << "    SKEIN10_FTP_PASSWORD  the FTP password when the URL holds none\n"
      << "    SKEIN10_URLCACHE      the URL cache store's folder (default\n"
      << "                          ${XDG_CACHE_HOME:-$HOME/.cache}/skein10/urlcache)\n\n"
      << "EXIT STATUS\n"
      << "    0   success\n"
      << "    1   any other error, printed as \"skein10: error NUMBER (SOURCE): DESCRIPTION\"\n"
      << "    2   a usage mistake\n"
      << "    6   ftp: the host name can't be resolved\n"
      << "    7   ftp: the connection was refused or failed\n"
      << "    9   ftp: the server refused a cd step\n"
      << "    23  ftp: a listing or download could not be written locally\n"
      << "    26  ftp: an upload's local file could not be read\n"
      << "    28  ftp: the server did not answer within the time-out\n"
      << "    67  ftp: the server refused the login\n"
      << "    78  ftp: the remote file of a get step was not found (550)\n"
      << "    130 ftp: interrupted (Ctrl-C); the session was closed\n"
      << "Error 429 (a class can't be created) names the ProgID, the registration\n"
      << "store and why a registered library could not be loaded; 'skein10 register'\n"
      << "registers the components built with this program.\n";
}

bool printCommandHelp(std::string_view command, std::ostream& out) {
  const CommandHelp* help = find(command);
  if (!help) return false;
  out << "SYNOPSIS\n";
  printIndented(out, help->synopsis, "    ");
  out << "\nDESCRIPTION\n";
  printIndented(out, help->description, "    ");
  return true;
}

void printUsage(std::string_view command, std::ostream& out) {
  if (const CommandHelp* help = find(command)) {
    out << "usage:\n";
    printIndented(out, help->synopsis, "    ");
    out << "Try 'skein10 " << help->name << " --help' for more.\n";
    return;
  }
  out << "usage:\n";
  printSynopses(out, "    ");
  out << "Try 'skein10 --help' for more.\n";
}

}  // namespace skein10::host
