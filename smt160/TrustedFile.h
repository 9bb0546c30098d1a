#pragma once

#include <string>

// Whether a file of code can be run or loaded: only when no account but root
// and the running user can replace it. That holds for a file owned by one of
// them and writable by nobody else, in folders of which the same holds, up to
// the root; a folder others may write is fine only when it is sticky (as /tmp
// is), since there nobody can rename or delete another's file.
namespace smt160 {

// Empty when path may be trusted, otherwise why not, in Swedish, naming the
// file or folder at fault. Symbolic links are followed: the file they lead to
// and its folders must pass.
std::string untrustedReason(const std::string &path);

// The same for a file already open as fd, found at realPath (absolute, without
// links): the file is judged by what fd is, its folders by realPath.
std::string untrustedReason(int fd, const std::string &realPath);

} // namespace smt160
