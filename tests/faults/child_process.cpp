#include "child_process.h"

#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace faults {
namespace {

void WriteAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        written += static_cast<size_t>(count);
    }
}

std::string DescribeStatus(int status) {
    if (WIFSIGNALED(status)) {
        return std::string("the child was ended by signal ") + strsignal(WTERMSIG(status));
    }
    return "the child exited with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

std::string Failure(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::string EnterPrivateMounts() {
    if (unshare(CLONE_NEWNS) != 0) {
        return Failure("this machine allows no mount namespace (unshare)");
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Failure("this machine allows no private mounts");
    }
    return "";
}

ChildResult RunInChild(const std::function<std::string()>& work, std::chrono::seconds deadline) {
    int channel[2];
    if (pipe(channel) != 0) {
        throw std::runtime_error("pipe failed");
    }
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        close(channel[0]);
        std::string report;
        try {
            report = work();
        } catch (const std::exception& error) {
            report = std::string("the work threw: ") + error.what();
        } catch (...) {
            report = "the work threw something that is not an exception";
        }
        WriteAll(channel[1], report);
        // Skip the test framework's exit handlers: the parent reports.
        _exit(0);
    }
    close(channel[1]);

    ChildResult result;
    std::string received;
    bool timedOut = false;
    while (true) {
        auto left = deadline - (std::chrono::steady_clock::now() - start);
        int leftMs =
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(left).count());
        if (leftMs <= 0) {
            timedOut = true;
            break;
        }
        pollfd readable{channel[0], POLLIN, 0};
        int ready = poll(&readable, 1, leftMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready == 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        ssize_t count = read(channel[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;  // the child closed its end: it has finished
        }
        received.append(buffer, static_cast<size_t>(count));
    }
    close(channel[0]);
    if (timedOut) {
        kill(child, SIGKILL);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.elapsed = std::chrono::steady_clock::now() - start;
    if (timedOut) {
        result.ending = ChildResult::Ending::kTimedOut;
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result.ending = ChildResult::Ending::kCrashed;
        result.report = DescribeStatus(status) + (received.empty() ? "" : ": " + received);
    } else {
        result.report = received;
    }
    return result;
}

}  // namespace faults
