#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback_http.h"

#include <algorithm>
#include <stdexcept>

namespace e2e {
namespace {

struct WinsockStart {
  WinsockStart() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockStart() { WSACleanup(); }
};

std::string headerValue(const std::string& head, const std::string& name) {
  std::string lower = head;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto at = lower.find("\r\n" + name + ":");
  if (at == std::string::npos) return {};
  auto start = at + 2 + name.size() + 1;
  while (start < head.size() && head[start] == ' ') ++start;
  return head.substr(start, head.find("\r\n", start) - start);
}

bool sendAll(SOCKET socket, const char* bytes, std::size_t size) {
  while (size) {
    const int sent = send(socket, bytes, static_cast<int>(std::min<std::size_t>(size, 1 << 16)), 0);
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

}  // namespace

LoopbackHttp::LoopbackHttp() {
  static WinsockStart winsock;
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  listener_ = listener;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 16) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("loopback server: cannot listen on 127.0.0.1");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { run(); });
}

LoopbackHttp::~LoopbackHttp() {
  stopping_ = true;
  thread_.join();
  closesocket(static_cast<SOCKET>(listener_));
}

std::wstring LoopbackHttp::url(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

void LoopbackHttp::serve(const std::string& path, Answer answer) {
  std::lock_guard lock(mutex_);
  answers_[path] = std::move(answer);
}

std::vector<LoopbackHttp::Request> LoopbackHttp::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackHttp::run() {
  const auto listener = static_cast<SOCKET>(listener_);
  while (!stopping_) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener, &ready);
    timeval wait{0, 50 * 1000};
    if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
    const SOCKET client = accept(listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    answer(static_cast<std::uintptr_t>(client));
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}

void LoopbackHttp::answer(std::uintptr_t connection) {
  const auto client = static_cast<SOCKET>(connection);
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const int got = recv(client, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    head.append(buffer, static_cast<std::size_t>(got));
  }
  Request request;
  const auto pathStart = head.find(' ') + 1;
  request.path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
  request.ifNoneMatch = headerValue(head, "if-none-match");
  request.ifModifiedSince = headerValue(head, "if-modified-since");
  Answer answer;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    const auto found = answers_.find(request.path);
    if (found == answers_.end()) answer.status = 404;
    else answer = found->second;
  }
  const bool unchanged = !answer.etag.empty() && request.ifNoneMatch == answer.etag;
  const int status = unchanged ? 304 : answer.status;
  std::string reply = "HTTP/1.1 " + std::to_string(status) + " X\r\nConnection: close\r\nContent-Type: text/plain\r\n";
  if (!answer.etag.empty()) reply += "ETag: " + answer.etag + "\r\n";
  if (!answer.lastModified.empty()) reply += "Last-Modified: " + answer.lastModified + "\r\n";
  const std::string body = unchanged ? std::string() : answer.body;
  reply += "Content-Length: " + std::to_string(std::max(body.size(), answer.claimedLength)) + "\r\n\r\n";
  reply += body.substr(0, std::min(body.size(), answer.cutAfter));
  sendAll(client, reply.data(), reply.size());
}

}  // namespace e2e
