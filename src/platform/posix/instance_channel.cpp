// The single-instance rendezvous on POSIX systems: a Unix domain socket per
// launcher executable in the user's runtime folder. The first instance holds
// an exclusive lock on a file beside the socket for as long as it runs, so
// exactly one start wins, and a socket left by a crashed first instance (its
// lock went with it) is replaced.
//
// A second instance sends "KVN1", the area's length (4 bytes, little-endian)
// and the area. The first answers with 'R' and the reply, or, when it ends
// without having replied, with 'E' and its exit code (4 bytes each).
#include "platform/instance_channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "platform/posix/own_folder.h"
#include "platform/text.h"
#include "platform/user_roots.h"

namespace korvan::platform {

namespace {

// Far beyond any command line (the kernel's limit is a few MiB at most), small
// enough that a hostile length cannot make the first instance allocate much.
constexpr std::size_t kAreaCapacity = 1 << 20;
constexpr char kMagic[4] = {'K', 'V', 'N', '1'};
// How long a second instance tries to reach a first one that holds the lock
// but does not listen yet.
constexpr auto kConnectPatience = std::chrono::seconds(5);
// How long a first instance that stops serving waits for running requests.
constexpr auto kServePatience = std::chrono::seconds(5);

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Reset(); }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

void PutField(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetField(const std::uint8_t* bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  return value;
}

bool SendAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = recv(fd, bytes, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool SendAnswer(int fd, char kind, std::int32_t code) {
  std::uint8_t answer[5] = {static_cast<std::uint8_t>(kind)};
  PutField(answer + 1, static_cast<std::uint32_t>(code));
  return SendAll(fd, answer, sizeof answer);
}

// The peer on the other end of `fd` runs as this user.
bool PeerIsSameUser(int fd) {
  struct ucred credentials {};
  socklen_t length = sizeof credentials;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
         credentials.uid == getuid();
}

// A folder that only this user can enter and where a socket named
// `file_name` has a short enough address: $XDG_RUNTIME_DIR when it is one,
// else korvan-<uid> in the temporary folder ($TMPDIR, else /tmp). Another
// user may have taken that name there first, so last comes korvan/instance
// in the user's cache folder. Empty when none will do.
std::string PrivateFolder(const std::string& file_name) {
  auto usable = [&file_name](const std::string& folder) {
    return folder.size() + 1 + file_name.size() < sizeof(sockaddr_un::sun_path) &&
           WhyNotOwnFolder(folder, S_IRWXG | S_IRWXO).empty();
  };
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/' && usable(runtime)) return runtime;
  const char* temporary = std::getenv("TMPDIR");
  const std::string own = std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp") +
                          "/korvan-" + std::to_string(getuid());
  mkdir(own.c_str(), 0700);  // it may exist already: checked next
  if (usable(own)) return own;
  const std::wstring cache = UserCacheRoot().path;
  if (cache.empty()) return std::string();
  const std::string in_cache = NarrowFromWide(cache);
  for (const char* level : {"", "/korvan", "/korvan/instance"}) mkdir((in_cache + level).c_str(), 0700);
  return usable(in_cache + "/korvan/instance") ? in_cache + "/korvan/instance" : std::string();
}

// A short file name for `name` (a full path would not fit a socket address):
// its 64-bit FNV-1a hash in hexadecimal.
std::string FileKey(const std::wstring& name) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const unsigned char byte : NarrowFromWide(name)) {
    hash = (hash ^ byte) * 0x100000001b3ULL;
  }
  static const char kDigits[] = "0123456789abcdef";
  std::string key = "korvan-";
  for (int shift = 60; shift >= 0; shift -= 4) key += kDigits[(hash >> shift) & 0xF];
  return key;
}

bool SocketAddress(const std::string& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// What the first instance's threads share; it outlives the channel while a
// request thread still runs.
struct Listener {
  InstanceRequestHandler handler;
  std::mutex lock;
  std::condition_variable ready_changed;
  bool ready = false;
  bool stopping = false;  // this process no longer serves requests
  // Connections not answered yet: they learn the exit code when this process ends.
  std::set<int> open;
  // Connections whose request the handler is serving now.
  std::set<int> serving;
  std::condition_variable serving_ended;

  // Sends the first answer on `fd` and closes it; later ones are dropped.
  void Answer(int fd, char kind, std::int32_t code) {
    std::lock_guard<std::mutex> hold(lock);
    if (open.erase(fd) == 0) return;
    SendAnswer(fd, kind, code);
    close(fd);
  }

  void AnswerAll(std::int32_t exit_code) {
    std::lock_guard<std::mutex> hold(lock);
    for (const int fd : open) {
      SendAnswer(fd, 'E', exit_code);
      close(fd);
    }
    open.clear();
  }
};

// The listener of this process, kept for the exit handler: an application
// that ends the process itself (System.exit) still tells waiting second
// instances its exit code.
std::shared_ptr<Listener>& ExitingListener() {
  static auto* listener = new std::shared_ptr<Listener>();
  return *listener;
}

void AnswerAtExit(int status, void*) {
  if (const std::shared_ptr<Listener>& listener = ExitingListener()) listener->AnswerAll(status);
}

class SocketRequest : public InstanceRequest {
 public:
  SocketRequest(Listener& listener, std::vector<std::uint8_t> area, int fd)
      : listener_(listener), area_(std::move(area)), fd_(fd) {}
  const std::vector<std::uint8_t>& area() const override { return area_; }
  void Reply(std::int32_t code) override { listener_.Answer(fd_, 'R', code); }

 private:
  Listener& listener_;
  std::vector<std::uint8_t> area_;
  int fd_;
};

// One connection, on a thread of its own: read the request, wait for the
// application to be ready, serve it.
void ServeConnection(std::shared_ptr<Listener> listener, int fd) {
  // A peer that never finishes its request must not hold this thread forever.
  const timeval patience{5, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  std::uint8_t header[8];
  std::vector<std::uint8_t> area;
  bool whole = ReceiveAll(fd, header, sizeof header) &&
               std::memcmp(header, kMagic, sizeof kMagic) == 0;
  if (whole) {
    const std::uint32_t size = GetField(header + 4);
    whole = size <= kAreaCapacity;
    if (whole) {
      area.resize(size);
      whole = ReceiveAll(fd, area.data(), area.size());
    }
  }
  if (!whole) {
    std::lock_guard<std::mutex> hold(listener->lock);
    if (listener->open.erase(fd) != 0) close(fd);
    return;
  }
  bool served = false;
  {
    std::unique_lock<std::mutex> hold(listener->lock);
    listener->ready_changed.wait(hold, [&] { return listener->ready || listener->stopping; });
    served = !listener->stopping;
    if (served) listener->serving.insert(fd);
  }
  if (!served) {
    listener->Answer(fd, 'R', -1);
    return;
  }
  // Unanswered, the connection stays open until this process ends.
  SocketRequest request(*listener, std::move(area), fd);
  listener->handler(request);
  std::lock_guard<std::mutex> hold(listener->lock);
  listener->serving.erase(fd);
  listener->serving_ended.notify_all();
}

void AcceptConnections(std::shared_ptr<Listener> listener, int socket_fd) {
  for (;;) {
    const int fd = accept4(socket_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // the socket was shut down: the first instance is ending
    }
    if (!PeerIsSameUser(fd)) {
      close(fd);
      continue;
    }
    {
      std::lock_guard<std::mutex> hold(listener->lock);
      listener->open.insert(fd);
    }
    std::thread(ServeConnection, listener, fd).detach();
  }
}

class SocketChannel : public InstanceChannel {
 public:
  SocketChannel(std::string socket_path, int lock_fd, bool first)
      : socket_path_(std::move(socket_path)), lock_(lock_fd), first_(first) {}

  ~SocketChannel() override {
    if (!first_ || !listener_) return;
    StopServing();
    listener_->AnswerAll(exit_code_);
  }

  void StopServing() override {
    if (!first_ || !listener_ || !acceptor_.joinable()) return;
    // No later start reaches this process: the socket goes first.
    unlink(socket_path_.c_str());  // still ours: the lock is held until the channel goes
    shutdown(socket_.get(), SHUT_RDWR);  // wakes the accepting thread
    acceptor_.join();
    std::unique_lock<std::mutex> hold(listener_->lock);
    listener_->stopping = true;
    listener_->ready_changed.notify_all();  // requests still waiting for the ready point
    if (!listener_->serving_ended.wait_for(hold, kServePatience,
                                           [&] { return listener_->serving.empty(); })) {
      for (const int fd : listener_->serving) {
        if (listener_->open.erase(fd) == 0) continue;
        SendAnswer(fd, 'R', -1);
        close(fd);
      }
    }
  }

  bool first() const override { return first_; }

  bool Listen(InstanceRequestHandler handler) override {
    sockaddr_un address;
    if (!SocketAddress(socket_path_, address)) return false;
    unlink(socket_path_.c_str());  // left by a first instance that crashed
    socket_.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket_ || bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket_.get(), SOMAXCONN) != 0) {
      return false;
    }
    listener_ = std::make_shared<Listener>();
    listener_->handler = std::move(handler);
    acceptor_ = std::thread(AcceptConnections, listener_, socket_.get());
    static const bool exit_handler = on_exit(AnswerAtExit, nullptr) == 0;
    (void)exit_handler;
    ExitingListener() = listener_;
    return true;
  }

  void SignalReady() override {
    std::lock_guard<std::mutex> hold(listener_->lock);
    listener_->ready = true;
    listener_->ready_changed.notify_all();
  }

  void SetExitCode(int code) override { exit_code_ = code; }

  HandOverResult HandOver(const std::vector<std::uint8_t>& area) override {
    sockaddr_un address;
    if (!SocketAddress(socket_path_, address) || area.size() > kAreaCapacity) {
      return HandOverResult::kFailed;
    }
    // The first instance takes its lock before it listens: give it a moment.
    const auto deadline = std::chrono::steady_clock::now() + kConnectPatience;
    for (;;) {
      socket_.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
      if (!socket_) return HandOverResult::kFailed;
      if (connect(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
      if (std::chrono::steady_clock::now() >= deadline) return HandOverResult::kFailed;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!PeerIsSameUser(socket_.get())) return HandOverResult::kNotOurs;
    std::vector<std::uint8_t> message(8 + area.size());
    std::memcpy(message.data(), kMagic, sizeof kMagic);
    PutField(message.data() + 4, static_cast<std::uint32_t>(area.size()));
    std::copy(area.begin(), area.end(), message.begin() + 8);
    return SendAll(socket_.get(), message.data(), message.size()) ? HandOverResult::kHandedOver
                                                                  : HandOverResult::kFailed;
  }

  int WaitForReply() override {
    std::uint8_t answer[5];
    // A first instance that vanished without a word (killed by a signal)
    // leaves no exit code to take over.
    if (!ReceiveAll(socket_.get(), answer, sizeof answer)) return -1;
    if (answer[0] != 'R' && answer[0] != 'E') return -1;
    return static_cast<std::int32_t>(GetField(answer + 1));
  }

 private:
  std::string socket_path_;
  FileDescriptor lock_;
  FileDescriptor socket_;
  bool first_;
  std::shared_ptr<Listener> listener_;
  std::thread acceptor_;
  std::atomic<int> exit_code_{0};
};

}  // namespace

std::size_t ArgumentAreaCapacity() { return kAreaCapacity; }

std::unique_ptr<InstanceChannel> OpenInstanceChannel(const std::wstring& name) {
  const std::string key = FileKey(name);
  const std::string folder = PrivateFolder(key + ".sock");
  if (folder.empty()) return nullptr;
  const std::string base = folder + "/" + key;
  const int lock_fd = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock_fd < 0) return nullptr;
  bool first = false;
  for (;;) {
    if (flock(lock_fd, LOCK_EX | LOCK_NB) == 0) {
      first = true;
      break;
    }
    if (errno == EWOULDBLOCK) break;
    if (errno != EINTR) {
      close(lock_fd);
      return nullptr;
    }
  }
  return std::make_unique<SocketChannel>(base + ".sock", lock_fd, first);
}

}  // namespace korvan::platform
