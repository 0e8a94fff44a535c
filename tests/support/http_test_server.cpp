#include "support/http_test_server.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <stdexcept>

namespace quarvel::testing {

namespace {
#ifdef _WIN32
// Winsock spells a few calls differently and must be started once.
int poll(pollfd* fds, unsigned long n, int timeoutMs) { return WSAPoll(fds, n, timeoutMs); }
void closeSocket(int fd) { ::closesocket(static_cast<SOCKET>(fd)); }
constexpr int MSG_NOSIGNAL = 0;
constexpr int SHUT_WR = SD_SEND;
const bool winsockStarted = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();
#else
void closeSocket(int fd) { ::close(fd); }
#endif
}  // namespace

HttpTestServer::HttpTestServer(Handler handler) : handler_(std::move(handler)) {
    listenFd_ = static_cast<int>(::socket(AF_INET, SOCK_STREAM, 0));
    if (listenFd_ < 0) throw std::runtime_error("socket failed");
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one),
                 sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        closeSocket(listenFd_);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

HttpTestServer::~HttpTestServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    closeSocket(listenFd_);
    std::lock_guard lock(mutex_);
    for (int fd : silentFds_) closeSocket(fd);
}

std::vector<std::string> HttpTestServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

HttpTestServer::Handler HttpTestServer::pages(std::map<std::string, std::string> byTarget) {
    return [byTarget = std::move(byTarget)](const std::string& target) {
        const auto it = byTarget.find(target);
        if (it == byTarget.end()) return notFound();
        HttpResponse r;
        r.body = it->second;
        return r;
    };
}

HttpResponse HttpTestServer::notFound() {
    HttpResponse r;
    r.status = 404;
    r.reason = "Not Found";
    r.body = "<html><body>not here</body></html>";
    return r;
}

void HttpTestServer::run() {
    while (!stop_) {
        pollfd p{static_cast<decltype(pollfd::fd)>(listenFd_), POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const int fd = static_cast<int>(::accept(listenFd_, nullptr, nullptr));
        if (fd >= 0) serve(fd);
    }
}

void HttpTestServer::serve(int fd) {
    // Read the request head (bounded in size and time).
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536 && !stop_ &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd p{static_cast<decltype(pollfd::fd)>(fd), POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buf[4096];
        const auto n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) break;
        head.append(buf, static_cast<std::size_t>(n));
    }
    std::string target;
    const auto sp1 = head.find(' ');
    const auto sp2 = sp1 == std::string::npos ? std::string::npos : head.find(' ', sp1 + 1);
    if (sp2 != std::string::npos) target = head.substr(sp1 + 1, sp2 - sp1 - 1);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(target);
    }
    const HttpResponse r = handler_(target);
    if (r.silent) {
        std::lock_guard lock(mutex_);
        silentFds_.push_back(fd);
        return;
    }
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + r.reason + "\r\n";
    out += "Content-Type: " + r.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\nConnection: close\r\n\r\n";
    out += r.body;
    std::size_t sent = 0;
    while (sent < out.size()) {
        const auto n =
            ::send(fd, out.data() + sent, static_cast<int>(out.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(fd, SHUT_WR);
    closeSocket(fd);
}

}  // namespace quarvel::testing
