// A new file written beside the file it replaces and renamed over it only
// once complete, for content written as it comes (a sound file): whatever
// fails or ends the program before that, the earlier file (or its absence)
// stays as it was and no part of the new one is left.
#pragma once

#include <sys/types.h>

#include <string>

class BesideFile {
 public:
  // Creates the new file in the folder of `name` (a symbolic link is
  // followed to its last name, which need not exist), with the mode of the
  // file it will replace or, for a new name, 0666 less the umask. Until
  // Commit or Abandon, SIGINT, SIGTERM, SIGHUP and SIGQUIT remove it before
  // they end the program. Returns its descriptor, or -1 with errno set.
  int Create(const char* name);
  // Writes the new file to disk, closes it and renames it over the target.
  // Returns false with errno set, having removed it.
  bool Commit();
  // Closes and removes the new file.
  void Abandon();

 private:
  std::string target_;
  int fd_ = -1;
};

// Sets target to the file that writing to `name` reaches: a symbolic link
// followed to the last name of its chain, which need not exist. False for
// a chain of more than 40 links or a link that cannot be read.
bool LinkTarget(const char* name, std::string& target);
