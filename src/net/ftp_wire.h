// The FTP client's texts, free of any system call: the passive-mode port,
// the argument forms of the transfer commands, the folder change before a
// transfer, and the names and lines taken from a listing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kes {

// The data port of a "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" reply:
// p1 x 256 + p2, from the text between "(" and ")". The four address
// fields are not used (the data connection goes to the control host).
// False when there are not six numbers or the port is not 1 to 65,535.
bool PassivePort(std::string_view reply, uint16_t& port);

// The two names of FTPGET (remote, local) and FTPPUT (local, remote). When
// the text holds the quote, the first name is the text between the first and
// second quotes, the second between the third and fourth; otherwise every
// blank is a separator and the first two fields (trimmed) are taken, so
// names with blanks must be quoted. A name that is not there is empty.
void TransferNames(std::string_view args, std::string_view sep, std::string_view quote, std::string& first,
                   std::string& second);

// A remote path cut at the last `at` ("\" first, then "/"): the folder, sent
// trimmed with "CWD", and the name that follows it.
struct RemoteSplit {
  bool found = false;  // the path holds `at`
  std::string folder, name;
};
RemoteSplit SplitRemotePath(std::string_view path, char at);

// FTPDIR: the remote path is a folder and a name pattern, cut at its last
// "\" (or "/" when it has none). The folder is what is listed ("/" for a
// pattern in the root); the pattern selects the names ("" takes all).
struct DirRequest {
  std::string folder, pattern;
  bool folders = false;  // the path ends with "\" or "/": subfolders only
};
DirRequest DirRequestOf(std::string_view path);
// The names a Unix-style listing gives for the request: the text from column
// 56 of each kept line. Subfolders are the lines beginning with "d" or "D"
// whose last character is not "." ("." and ".."); files the other lines.
// Lines too short to hold a name are skipped.
std::vector<std::string> DirNames(std::string_view listing, const DirRequest& r);
// FTPLIST: the listing cut at each CR LF, every piece as it is (a listing
// that ends with CR LF gives a last empty piece).
std::vector<std::string> ListLines(std::string_view listing);

}  // namespace kes
