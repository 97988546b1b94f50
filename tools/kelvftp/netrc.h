// Logins from a .netrc file, as ftp and curl read them (all OSes, pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelv {

struct NetrcLogin {
  std::string login;     // empty when the entry names none
  std::string password;  // empty when the entry names none
};

// The login for host in the text of a .netrc file: the first "machine host" entry (host
// compared without regard to letter case) whose login is user, or any login when user is
// empty; failing that, the "default" entry under the same rule. Tokens are separated by
// blanks, tabs and line ends, may be quoted ("a b", with \" and \\ inside), and "macdef"
// definitions are skipped up to their empty line. nullopt when no entry fits.
std::optional<NetrcLogin> FindNetrcLogin(std::string_view text, std::string_view host,
                                         std::string_view user);

}  // namespace kelv
