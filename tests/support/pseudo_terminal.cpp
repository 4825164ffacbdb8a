#include "support/pseudo_terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace korvane::testing {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void addDescriptorFlags(int fd, int flags) {
  const int current = ::fcntl(fd, F_GETFD);
  if (current < 0 || ::fcntl(fd, F_SETFD, current | flags) < 0) fail("fcntl(F_SETFD)");
}

void addStatusFlags(int fd, int flags) {
  const int current = ::fcntl(fd, F_GETFL);
  if (current < 0 || ::fcntl(fd, F_SETFL, current | flags) < 0) fail("fcntl(F_SETFL)");
}

void makeRaw(int fd) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) fail("tcgetattr");
  ::cfmakeraw(&settings);  // no echo, no line editing, no output processing, CS8
  settings.c_cflag |= CLOCAL | CREAD;
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) fail("tcsetattr");
}

std::string temporaryDirectoryRoot() {
  const char* root = std::getenv("TMPDIR");
  return root && *root ? std::string(root) : std::string("/tmp");
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  try {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) fail("openpty");
    terminal_ = name;
    addDescriptorFlags(master_, FD_CLOEXEC);
    addDescriptorFlags(slave_, FD_CLOEXEC);
    addStatusFlags(master_, O_NONBLOCK);
    makeRaw(slave_);

    std::string pattern = temporaryDirectoryRoot() + "/korvane-sim-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data())) fail("mkdtemp " + pattern);
    directory_ = buffer.data();
    const std::string link = directory_ + "/ttySIM0";
    if (::symlink(terminal_.c_str(), link.c_str()) != 0) fail("symlink " + link);
    link_ = link;
  } catch (...) {
    release();
    throw;
  }
}

PseudoTerminal::~PseudoTerminal() { release(); }

int PseudoTerminal::unreadBytes() const {
  int count = 0;
  if (master_ < 0 || ::ioctl(slave_, TIOCINQ, &count) != 0) return -1;
  return count;
}

void PseudoTerminal::hangUp() noexcept {
  if (master_ >= 0) ::close(master_);
  master_ = -1;
}

void PseudoTerminal::release() noexcept {
  if (!link_.empty()) ::unlink(link_.c_str());
  if (!directory_.empty()) ::rmdir(directory_.c_str());
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  link_.clear();
  directory_.clear();
  slave_ = master_ = -1;
}

}  // namespace korvane::testing
