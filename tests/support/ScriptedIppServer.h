#pragma once
// An HTTP server on 127.0.0.1 that answers each IPP request with what the
// test's function writes to the connection, for answers no cupsd gives:
// endless, cut short, or pages without end. One connection at a time.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace ipptest {

class ScriptedIppServer {
public:
    // Writes the answer to the request-th request (from 1) on fd; returns
    // whether the connection may take another request.
    using Answer = std::function<bool(int fd, int request)>;

    explicit ScriptedIppServer(Answer answer) : FAnswer(std::move(answer)) {
        FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (FListen < 0 || bind(FListen, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(FListen, 4) != 0 ||
            getsockname(FListen, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        FPort = ntohs(address.sin_port);
        FThread = std::thread([this] { Serve(); });
    }
    ~ScriptedIppServer() {
        FStop = true;
        if (FThread.joinable()) FThread.join();
        if (FListen >= 0) close(FListen);
    }
    ScriptedIppServer(const ScriptedIppServer&) = delete;
    ScriptedIppServer& operator=(const ScriptedIppServer&) = delete;

    // "127.0.0.1:port"; empty when the server could not listen.
    std::string Address() const { return FPort ? "127.0.0.1:" + std::to_string(FPort) : std::string(); }
    int Requests() const { return FRequests.load(); }

    // Writes all of bytes; false once the client has gone.
    static bool Write(int fd, const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (put <= 0) return false;
            done += static_cast<size_t>(put);
        }
        return true;
    }

private:
    // Polls in short steps only to notice the end of the test.
    bool Readable(int fd) {
        while (!FStop) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) > 0) return true;
        }
        return false;
    }

    // Reads one request's headers and body; false at the end of the connection.
    bool ReadRequest(int fd) {
        std::string head;
        char c = 0;
        while (head.find("\r\n\r\n") == std::string::npos) {
            if (!Readable(fd) || read(fd, &c, 1) != 1) return false;
            head += c;
        }
        if (head.find("100-continue") != std::string::npos && !Write(fd, "HTTP/1.1 100 Continue\r\n\r\n")) return false;
        size_t length = 0;
        const size_t at = head.find("Content-Length:");
        if (at != std::string::npos) length = std::strtoul(head.c_str() + at + 15, nullptr, 10);
        std::string body(length, '\0');
        for (size_t got = 0; got < length;) {
            if (!Readable(fd)) return false;
            const ssize_t n = read(fd, body.data() + got, length - got);
            if (n <= 0) return false;
            got += static_cast<size_t>(n);
        }
        return true;
    }

    void Serve() {
        while (!FStop) {
            if (!Readable(FListen)) return;
            const int fd = accept4(FListen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            while (ReadRequest(fd) && FAnswer(fd, ++FRequests)) {
            }
            close(fd);
        }
    }

    Answer FAnswer;
    int FListen = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<int> FRequests{0};
    std::thread FThread;
};

}  // namespace ipptest
