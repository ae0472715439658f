#pragma once
// Makes one call of a system call fail, for code that cannot be handed a
// failing file: the code runs on a thread of its own under a seccomp filter
// that hands each of that thread's calls of the system call to this one,
// which lets the kernel carry all of them out but the chosen one. Nothing
// outside that thread is affected, and the thread ends with the code.
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <thread>

namespace testsupport {

// Runs `work` with call number `failing` (from 1) of system call `number`
// failing with `error`. How many calls were made, or -1 when the kernel
// refuses the filter (`why` says why).
inline int RunWithFailingCall(long number, int failing, int error, const std::function<void()>& work,
                              std::string& why) {
    const int done = eventfd(0, EFD_CLOEXEC);
    if (done < 0) {
        why = std::string("eventfd: ") + std::strerror(errno);
        return -1;
    }
    std::promise<int> listenerPromise;
    std::future<int> listenerFuture = listenerPromise.get_future();
    std::thread worker([&] {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<__u32>(number), 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
        // Without privileges a filter needs no_new_privs; it holds for this thread only.
        int listener = -errno;
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0) {
            const long fd = syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &program);
            listener = fd >= 0 ? static_cast<int>(fd) : -errno;
        }
        listenerPromise.set_value(listener);
        if (listener >= 0) work();
        const uint64_t one = 1;
        while (write(done, &one, sizeof one) < 0 && errno == EINTR) {
        }
    });
    const int listener = listenerFuture.get();
    int calls = 0;
    if (listener < 0) {
        why = std::string("seccomp user notification: ") + std::strerror(-listener);
        calls = -1;
    } else {
        pollfd watched[] = {{listener, POLLIN, 0}, {done, POLLIN, 0}};
        for (;;) {
            if (poll(watched, 2, -1) < 0) {
                if (errno == EINTR) continue;
                break;
            }
            if (watched[0].revents & POLLIN) {
                seccomp_notif call{};
                if (ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &call) != 0) continue;
                seccomp_notif_resp answer{};
                answer.id = call.id;
                if (++calls == failing)
                    answer.error = -error;
                else
                    answer.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
                ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &answer);
                continue;
            }
            if (watched[1].revents & POLLIN) break;
        }
    }
    worker.join();
    if (listener >= 0) close(listener);
    close(done);
    return calls;
}

}  // namespace testsupport
