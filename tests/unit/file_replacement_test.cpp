// The replacement of a file by a new one beside it, as a user meets it
// (modes, owner, links, a full disk, places that cannot be written, a
// signal during a long write, a name too long for the file beside), and
// numbers as text in the C locale.

#include <linux/capability.h>
#include <locale.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include "core/textio.h"
#include "tests/support.h"

namespace {

// Without the capabilities that let root pass over file permissions, so
// that they apply as they do to any user.
void AsAnyUser() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  syscall(SYS_capget, &header, data);
  const uint32_t overrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
  data[0].permitted = data[0].effective &= ~overrides;  // access() checks root against the permitted ones
  syscall(SYS_capset, &header, data);
}

// The file is replaced only once the new one is complete: a new file gets
// the umask's mode, a replaced one keeps its mode and owner, a symbolic
// link is written through (also to a file that does not exist yet), and a
// directory that takes no new file has a writable file written in place,
// even one that the user may write but not read.
// What cannot be written is reported with status 1 and leaves the earlier
// file whole, even one written in place and longer than the size limit,
// and nothing beside it.
TEST(FileReplacement, TextReplacedWholeOrNotAtAll) {
  const std::string dir = test::MakeTempDir(), file = dir + "/coeff1.txt";
  const std::string content = "0.265783\n0.000000\n-0.265783\n-0.385449\n";
  const std::string earlier = "an earlier file of 40 bytes, 8 too many\n";
  const bool root = geteuid() == 0;
  ASSERT_EQ(symlink("coeff1.txt", (dir + "/link").c_str()), 0);
  umask(027);
  // name, the earlier file's mode (0: none), the directory's, the size limit, what is said
  struct Case { std::string name; mode_t mode, dir_mode; long size_limit; std::string said; };
  for (const Case& c :
       {Case{"coeff1.txt", 0, 0755, 0, ""}, {"link", 0, 0755, 0, ""}, {"coeff1.txt", 0604, 0755, 0, ""},
        {"link", 0604, 0755, 0, ""}, {"coeff1.txt", 0666, 0555, 0, ""}, {"coeff1.txt", 0222, 0555, 0, ""},
        {"coeff1.txt", 0644, 0755, 32, "cannot be written"}, {"coeff1.txt", 0666, 0555, 32, "cannot be written"},
        {"coeff1.txt", 0444, 0755, 0, "cannot be opened"}, {"new.txt", 0644, 0555, 0, "cannot be opened"},
        {"none/coeff1.txt", 0644, 0755, 0, "cannot be opened"}, {".", 0644, 0755, 0, "cannot be opened"}}) {
    unlink(file.c_str());
    if (c.mode) {
      test::Write(file, earlier);
      chmod(file.c_str(), c.mode);
      EXPECT_TRUE(!root || chown(file.c_str(), 4321, 4321) == 0);
    }
    chmod(dir.c_str(), c.dir_mode);
    SCOPED_TRACE(c.name + " " + std::to_string(c.mode) + " " + std::to_string(c.dir_mode));
    auto replace = [&] {
      if (chdir(dir.c_str()) != 0 || dup2(2, 1) != 1) return;  // relative names: the message fits the size limit
      if (c.dir_mode != 0755 || c.mode == 0444) AsAnyUser();
      const rlimit limit{rlim_t(c.size_limit), rlim_t(c.size_limit)};
      if (c.size_limit) setrlimit(RLIMIT_FSIZE, &limit);
      ReplaceFileOrExit(c.name.c_str(), content);
      std::exit(0);
    };
    EXPECT_EXIT(replace(), testing::ExitedWithCode(c.said.empty() ? 0 : 1),
                c.said.empty() ? "^$" : "^" + c.name + " " + c.said + ".\n$");
    chmod(dir.c_str(), 0755);
    struct stat st {};
    stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, c.mode ? c.mode : 0640u);
    EXPECT_EQ(st.st_uid, root && c.mode ? 4321u : geteuid());
    chmod(file.c_str(), (st.st_mode & 07777) | 0400);  // a write-only file is read back too
    EXPECT_EQ(test::Read(file), c.said.empty() ? content : earlier);
    EXPECT_EQ(test::Listing(dir), "coeff1.txt\nlink\n");
  }
}

// While a sound file is written as it comes, the file beside has 0666
// less the umask, or the mode of the file it replaces; SIGINT, SIGTERM,
// SIGHUP and SIGQUIT remove it and end the program by that same signal,
// leaving the earlier file (or none) as it was; an ignored one stays so.
TEST(FileReplacement, EndingSignalRemovesTheFileBeside) {
  const std::string dir = test::MakeTempDir();
  test::Write(dir + "/out.wav", "earlier");
  chmod((dir + "/out.wav").c_str(), 0604);
  umask(027);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
    const std::string name = sig == SIGINT || sig == SIGHUP ? "out.wav" : "new.wav";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {  // writes a byte every 10 ms for 10 s, unless a signal ends it; tells the file's mode
      const rlimit no_core{0, 0};
      setrlimit(RLIMIT_CORE, &no_core);
      if (sig == SIGTERM) signal(SIGHUP, SIG_IGN);  // as under nohup: SIGHUP stays ignored
      BesideFile beside;
      const int fd = beside.Create((dir + "/" + name).c_str());
      struct stat st {};
      fstat(fd, &st);
      for (int i = 0; i < 1000 && write(fd, "x", 1) == 1 && write(ready[1], &st, sizeof st) > 0; ++i) usleep(10000);
      _exit(beside.Commit() ? 0 : 1);
    }
    struct stat st {};
    EXPECT_TRUE(close(ready[1]) == 0 && read(ready[0], &st, sizeof st) == sizeof st);
    EXPECT_EQ(std::make_tuple(st.st_mode & 07777, test::Listing(dir).find("." + name + ".") != std::string::npos),
              std::make_tuple(name == "out.wav" ? 0604u : 0640u, true));
    if (sig == SIGTERM) kill(child, SIGHUP);
    kill(child, sig);
    int status = 0;
    EXPECT_TRUE(waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
    close(ready[0]);
    EXPECT_EQ(test::Listing(dir) + test::Read(dir + "/out.wav"), "out.wav\nearlier");
  }
  // A folder of the name is found only when the new file is renamed over it.
  BesideFile beside;
  ASSERT_TRUE(mkdir((dir + "/out.wav.d").c_str(), 0755) == 0 && beside.Create((dir + "/out.wav.d").c_str()) != -1);
  EXPECT_TRUE(!beside.Commit() && errno == EISDIR);
  EXPECT_EQ(test::Listing(dir), "out.wav\nout.wav.d\n");
}

// The file beside is 8 characters longer than the name: a name that much
// short of the longest the folder takes is replaced (here through a link
// to its full path); a longer one is refused with its reason, the earlier
// file as it was; so is a symbolic link that leads to itself.
TEST(FileReplacement, NameTooLongForTheFileBeside) {
  const std::string dir = test::MakeTempDir(), name(size_t(pathconf(dir.c_str(), _PC_NAME_MAX)) - 8, 'n');
  const std::string fits = dir + "/" + name, too_long = fits + "n", loop = dir + "/loop";
  test::Write(too_long, "earlier");
  ASSERT_EQ(symlink("loop", loop.c_str()) + symlink(fits.c_str(), (dir + "/full").c_str()), 0);
  int error = 0, loop_error = 0;
  const std::string said = ReplaceFile((dir + "/full").c_str(), "1\n") + ReplaceFile(too_long.c_str(), "1\n", &error) +
                           "|" + ReplaceFile(loop.c_str(), "1\n", &loop_error);
  EXPECT_EQ(said, too_long + " cannot be opened.|" + loop + " cannot be opened.");
  EXPECT_EQ(std::make_tuple(error, loop_error, test::Read(fits), test::Read(too_long), test::Listing(dir)),
            std::make_tuple(ENAMETOOLONG, ELOOP, "1\n", "earlier", "full\nloop\n" + name + "\n" + name + "n\n"));
}

// Numbers are written and read with '.' as the decimal point whatever the
// locale, and the locale is the program's again afterwards.
TEST(NumberText, InTheCLocale) {
  ASSERT_NE(setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "locale de_DE.UTF-8 is not installed";
  std::string lines;
  for (float v : {0.5f, -1.25e-7f, 1234.5678f, 1e30f, -1e30f}) AppendValueLine(lines, v);
  const double parsed = ParseValue(" 0.75xyz");
  const std::string label = FormatNumber("%8.1f", 2500.25), localised = std::to_string(0.5);
  setlocale(LC_ALL, "C");
  EXPECT_EQ(lines, "0.500000\n-0.000000\n1234.567749\n1000000015047466219876688855040.000000\n"
                   "-1.000000e+30\n");
  EXPECT_EQ(std::make_tuple(parsed, label, localised), std::make_tuple(0.75, "  2500.2", "0,500000"));
}

}  // namespace
