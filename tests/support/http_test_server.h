#pragma once
// A small HTTP/1.1 server for tests, on 127.0.0.1 and a free port, answering from a handler in
// a thread of its own. Each connection gets one answer and is closed; a handler may instead
// leave the connection open without a word (a server that never answers).

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarvel::testing {

struct HttpResponse {
    int status = 200;
    std::string reason = "OK";
    std::string contentType = "text/html; charset=utf-8";
    std::string body;
    bool silent = false;  // accept, read the request and never answer
};

class HttpTestServer {
  public:
    // The handler gets the request target (path and query) of each GET.
    using Handler = std::function<HttpResponse(const std::string& target)>;

    explicit HttpTestServer(Handler handler);
    ~HttpTestServer();  // stops the thread and closes every connection
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    // The request targets received so far, in order.
    std::vector<std::string> requests() const;

    // Handlers: fixed pages by target, everything else 404.
    static Handler pages(std::map<std::string, std::string> byTarget);
    static HttpResponse notFound();

  private:
    void run();
    void serve(int fd);
    Handler handler_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::vector<int> silentFds_;
    std::thread thread_;
};

}  // namespace quarvel::testing
