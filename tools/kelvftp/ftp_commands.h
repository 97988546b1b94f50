// The commands of kelvftp over one connected cFTP (all OSes).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "ftp/ftp_session.h"

namespace kelv {

struct FtpCommandOptions {
  bool chunked = false;  // 255-byte transfers with progress events
};

// Runs command with args on ftp, writing results to out (names from the server with their
// control characters escaped). Returns false on failure; then error holds what to tell the
// user (empty when cFTP's last error message says it).
// Throws KelvError for a local file that cannot be opened.
bool RunFtpCommand(cFTP& ftp, const std::string& command, const std::vector<std::string>& args,
                   const FtpCommandOptions& options, std::ostream& out, std::string& error);

// "RHSDANTCO" with '-' for every flag that is not set.
std::string AttributeLetters(const cDirItem& item);

// A date value as "YYYY-MM-DD HH:MM:SS".
std::string DateValueText(double dateValue);

// True when command is one RunFtpCommand knows; expectedArgs gets its argument counts.
bool KnownCommand(const std::string& command, std::size_t& minArgs, std::size_t& maxArgs);

}  // namespace kelv
