#pragma once
// The entries of a folder listing as FTP servers write it for LIST, in the
// two formats that cover nearly every server:
//   Unix `ls -l`:  "drwxr-xr-x 2 owner group 4096 Jan 01 12:00 name"
//                  (the time may be a year, the date may be 2024-01-01);
//   DOS/IIS:       "01-02-24  10:15AM       <DIR>          name"
//                  "01-02-24  10:15AM                 1234 name".
// A name is everything after the date and time (Unix: after the one blank
// that follows them; DOS: after the blanks that follow the size), so names
// with blanks survive; a link's " -> target" is cut off.

#include <string>
#include <string_view>
#include <vector>

namespace skein10::host {

enum class EntryKind { File, Folder, Link, Other };  // Other: a device, pipe or socket

struct ListingEntry {
  std::string name;
  EntryKind kind;
};

struct ParsedListing {
  std::vector<ListingEntry> entries;  // in the listing's order, without "." and ".."
  // Lines of neither format, other than empty lines and "total N".
  std::vector<std::string> unread;
};

ParsedListing parseListing(std::string_view text);

}  // namespace skein10::host
