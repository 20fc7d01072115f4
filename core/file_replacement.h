// The replacement of a file by a new one written beside it and renamed
// over it only once complete, for the text files (written whole) and the
// sound files (written as they come) alike: whatever fails or ends the
// program before that, the earlier file (or its absence) stays as it was
// and no part of the new one is left.
//
// The new file is named ".NAME.XXXXXX" (six letters or digits) in the
// folder of the file it replaces. While it exists, SIGINT, SIGTERM, SIGHUP
// and SIGQUIT (those that the program does not ignore) remove it and then
// end the program by that same signal.
#pragma once

#include <csignal>
#include <string>

// The ending signals, SIGINT, SIGTERM, SIGHUP and SIGQUIT, as a set. The
// replacement holds them back in the thread that writes; a program with
// other threads starts them with the set blocked (pthread_sigmask), so
// that these signals come to the writing thread alone.
sigset_t EndingSignals();

// Sets target to the file that writing to `name` reaches: a symbolic link
// followed to the last name of its chain, which need not exist. False with
// errno set (ELOOP for a chain of more than 40 links) where it cannot be
// followed.
bool LinkTarget(const char* name, std::string& target);

class BesideFile {
 public:
  BesideFile() = default;
  BesideFile(const BesideFile&) = delete;
  BesideFile& operator=(const BesideFile&) = delete;
  // Abandons a new file neither committed nor abandoned.
  ~BesideFile();
  // Creates the new file in the folder of `name` (a symbolic link is
  // followed to its last name, which need not exist), with the mode and,
  // where allowed, the owner of the file it will replace, or, for a new
  // name, 0666 less the umask. Returns its descriptor, or -1 with errno
  // set (ENAMETOOLONG where the new file's name would be too long).
  int Create(const char* name);
  // Writes the new file to disk, closes it and renames it over the target.
  // Returns false with errno set, having removed it.
  bool Commit();
  // Closes and removes the new file.
  void Abandon();

 private:
  std::string target_;
  int fd_ = -1;
  bool pending_ = false;
};

// Writes content to name. The content goes to a new file beside it, which
// replaces name only once it is complete; an earlier file of that name
// stays whole whatever fails. Only where the directory takes no new file
// but an existing file may be written is that file written in place (the
// ending signals wait until it is whole), and if the new content cannot be
// written whole, what the file held is put back. A symbolic link is
// written through, and a device or a pipe is written, never replaced. If
// the file cannot be created, prints "<name> cannot be opened.\n"; if
// writing it fails, "<name> cannot be written.\n", or, when even the
// earlier content cannot be put back, "<name> cannot be written; its
// earlier content is lost.\n"; all on standard output, then exits with
// status 1.
void ReplaceFileOrExit(const char* name, const std::string& content);

// Writes content to name as ReplaceFileOrExit does, but returns instead of
// exiting: "" once the file holds content, else the message that
// ReplaceFileOrExit would print ("<name> cannot be opened." and so on,
// without the newline), printed nowhere; error, if given, gets the
// system's error number of the step that failed (EISDIR for a folder), or
// 0 once written.
std::string ReplaceFile(const char* name, const std::string& content, int* error = nullptr);
