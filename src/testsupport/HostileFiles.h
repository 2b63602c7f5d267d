// SPDX-License-Identifier: MIT
#pragma once

// Test helpers for inputs that are not plain files of the user running the tests: named pipes, and
// files that belong to someone else. Header-only and without Qt, for the core's and the tools' tests.

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <mutex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tonvale::testing {

// Guards a call that must not block on the named pipe `path`. If the call has not returned after two
// seconds, a writer opens the pipe and closes it again, which releases a reader blocked in opening it:
// the reader then sees an empty file, so a test of code that blocks fails instead of hanging.
class PipeRelease {
  public:
    explicit PipeRelease(std::string path)
        : m_path(std::move(path)), m_thread([this] {
              std::unique_lock lock(m_mutex);
              if (m_done.wait_for(lock, std::chrono::seconds(2), [this] { return m_returned; }))
                  return;
              lock.unlock();
              const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
              if (fd >= 0)
                  ::close(fd);
          }) {}
    ~PipeRelease() {
        {
            std::lock_guard lock(m_mutex);
            m_returned = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    PipeRelease(const PipeRelease&) = delete;
    PipeRelease& operator=(const PipeRelease&) = delete;

  private:
    std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_returned = false;
    std::thread m_thread;
};

// An unprivileged user and group that own nothing on the machine.
inline constexpr uid_t StrangerUser = 47321;
inline constexpr gid_t StrangerGroup = 47321;

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Runs `body` in a child process as `user`/`group` and returns what it returned (-1 when the child
// could not become that user or did not end normally). Only root can do this.
inline int runAsUser(uid_t user, gid_t group, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(user) != 0)
            ::_exit(255);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

} // namespace tonvale::testing
