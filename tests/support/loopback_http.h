// A small HTTP server on 127.0.0.1 (a port of its own), on a thread of the test: each path
// answers what the test set, an ETag that the request names gets 304, and an answer may be
// cut off halfway.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class LoopbackHttp {
 public:
  struct Answer {
    int status = 200;
    std::string body;
    std::string etag;          // sent, and a matching If-None-Match gets 304
    std::string lastModified;  // sent as it is
    std::size_t cutAfter = std::string::npos;  // bytes of the body sent before the line drops
    std::size_t claimedLength = 0;             // a Content-Length larger than the body
  };
  struct Request {
    std::string path, ifNoneMatch, ifModifiedSince;
  };

  LoopbackHttp();
  ~LoopbackHttp();
  LoopbackHttp(const LoopbackHttp&) = delete;
  LoopbackHttp& operator=(const LoopbackHttp&) = delete;

  std::wstring url(const std::string& path) const;
  void serve(const std::string& path, Answer answer);
  std::vector<Request> requests() const;

 private:
  void run();
  void answer(std::uintptr_t client);

  std::uintptr_t listener_;  // a SOCKET
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<Request> requests_;
  std::thread thread_;
};

}  // namespace e2e
