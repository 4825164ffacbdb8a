#include "support/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace korvane::testing {

WakePipe::WakePipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  }
  read_ = fds[0];
  write_ = fds[1];
}

WakePipe::~WakePipe() {
  ::close(read_);
  ::close(write_);
}

void WakePipe::raise() noexcept {
  const char byte = 1;
  while (::write(write_, &byte, 1) < 0 && errno == EINTR) {
  }
}

}  // namespace korvane::testing
