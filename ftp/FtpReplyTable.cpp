#include "ftp/FtpReplyTable.h"

#include <algorithm>
#include <array>

namespace skein10 {

namespace {

using K = FtpReplyKind;

constexpr StringView kNotImplemented =
    u"The previous command used by this program is not implemented on the server and can not be used.";
constexpr StringView kTransferEnded = u"The transfer is no longer in progress.";

constexpr std::array<FtpReplyRow, 37> kRows{{
    {u"110", K::Message, 1, u"Restart marker reply."},
    {u"125", K::Message, 0, u"Data connection open; transfer starting."},
    {u"150", K::Line, 0, u""},
    {u"200", K::Message, 0, u"The previous command was successfull."},
    {u"202", K::Message, 1, kNotImplemented},
    {u"211", K::Message, 0, u"System status, or system help reply."},
    {u"212", K::Message, 0, u"Directory status."},
    {u"213", K::Message, 0, u"File status."},
    {u"214", K::Message, 0, u"Help message."},
    {u"215", K::Message, 0, u"System type."},
    {u"220", K::MultiLine, 0, u"System message."},
    {u"225", K::TransferEnd, 0, kTransferEnded},
    {u"226", K::TransferEnd, 0, kTransferEnded},
    {u"227", K::Line, 0, u""},
    {u"230", K::MultiLine, 0, u"The login is valid and you may proceed."},
    {u"250", K::MultiLine, 0, u"Requested file action okay, completed."},
    {u"257", K::Line, 0, u""},
    {u"331", K::Message, 0, u"User name okay, need password."},
    {u"332", K::Message, 1, u"Need account for login."},
    {u"350", K::Message, 0, u"Requested file action pending further information."},
    {u"421", K::Message, 1, u"Service not available, your connection has been terminated."},
    {u"425", K::Message, 1, u"Can't open data connection with the server."},
    {u"426", K::Message, 1, u"Connection closed; transfer aborted."},
    {u"450", K::Message, 1,
     u"The requested file/directory action was not taken, either the file/directory is unavailable or busy."},
    {u"451", K::Message, 1,
     u"The requested file/directory action was aborted due to an error in processing."},
    {u"452", K::Message, 1,
     u"The requested file/directory action was not completed due to insufficient space."},
    {u"500", K::Message, 1, u"The previous command used by this program is unrecognized by the server."},
    {u"501", K::Message, 1,
     u"The previous command used by this program has different parameters or arguments then the servers "
     u"command and can not be used."},
    {u"502", K::Message, 1, kNotImplemented},
    {u"503", K::Message, 1,
     u"The previous commands where not in correct order to the servers specifications and can not be used."},
    {u"504", K::Message, 1,
     u"The previous commands parameters where not implemented by the server and can not be used."},
    {u"530", K::Message, 1, u"User not logged in correct."},
    {u"532", K::Message, 1, u"You need an account for storing files."},
    {u"550", K::Message, 1,
     u"The requested file/directory action was aborted because the file/directory was not found or you "
     u"don't have access."},
    {u"551", K::Message, 1,
     u"The requested file/directory action was aborted because the page type was unknown."},
    {u"552", K::Message, 1,
     u"The requested file/directory action was aborted because it exceeded storage allocation."},
    {u"553", K::Message, 1,
     u"The requested file/directory action was aborted because the file/directory name was not allowed."},
}};

}  // namespace

const FtpReplyRow* FtpReplyTable::find(StringView code) {
  auto row = std::find_if(kRows.begin(), kRows.end(), [&](const FtpReplyRow& r) { return r.code == code; });
  return row == kRows.end() ? nullptr : &*row;
}

std::size_t FtpReplyTable::size() { return kRows.size(); }

}  // namespace skein10
