#include "platform/devices/deck_control.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/devices/deck_config.h"

namespace {

constexpr std::size_t kMaxLine = 256;
constexpr int kPollMs = 100;                                // how soon the server notices it must stop
constexpr std::chrono::milliseconds kServerIoLimit{1000};   // a client that stalls is dropped after this

std::filesystem::path SocketFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::filesystem::path(runtime) / "korvanta";
    return std::filesystem::path("/tmp") / ("korvanta-" + std::to_string(::getuid()));
}

std::optional<sockaddr_un> AddressOf(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

void LimitIo(int fd, std::chrono::milliseconds limit) {
    timeval time{};
    time.tv_sec = static_cast<time_t>(limit.count() / 1000);
    time.tv_usec = static_cast<suseconds_t>((limit.count() % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &time, sizeof time);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &time, sizeof time);
}

// One line, without its newline; nullopt when the peer closes, stalls or sends too much.
std::optional<std::string> ReadLine(int fd) {
    std::string line;
    char c = 0;
    while (line.size() < kMaxLine) {
        if (::recv(fd, &c, 1, 0) != 1) return std::nullopt;
        if (c == '\n') return line;
        line += c;
    }
    return std::nullopt;
}

bool WriteLine(int fd, std::string line) {
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t sent = ::send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace

DeckControlServer::DeckControlServer(std::string deckName, Handler handler)
    : deckName_(std::move(deckName)), handler_(std::move(handler)) {
    const std::filesystem::path folder = SocketFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ::chmod(folder.c_str(), 0700);
    // The process id and this server's address make the name unique among live servers.
    char name[64];
    std::snprintf(name, sizeof name, "deck-%d-%p.sock", static_cast<int>(::getpid()), static_cast<void*>(this));
    path_ = (folder / name).string();
    const auto address = AddressOf(path_);
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!address || !fd) return;
    ::unlink(path_.c_str());  // left by an earlier process with our pid
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(fd.Get(), 4) != 0)
        return;
    listener_ = std::move(fd);
    deck_store::SetControlSocket(deckName_, path_);
    thread_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
}

DeckControlServer::~DeckControlServer() {
    if (!listener_) return;
    thread_.request_stop();
    thread_.join();
    deck_store::ClearControlSocket(deckName_, path_);
    ::unlink(path_.c_str());
}

void DeckControlServer::Serve(std::stop_token stop) {
    while (!stop.stop_requested()) {
        pollfd waiting{listener_.Get(), POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0) continue;
        UniqueFd connection(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (connection) Answer(connection.Get());
    }
}

void DeckControlServer::Answer(int connection) {
    LimitIo(connection, kServerIoLimit);
    if (const auto request = ReadLine(connection)) WriteLine(connection, handler_(*request));
}

DeckControlReply SendDeckCommand(std::string_view deckName, std::string_view request,
                                 std::chrono::milliseconds timeout) {
    const std::string name(deckName);
    const auto path = deck_store::ControlSocket(name);
    const auto address = path ? AddressOf(*path) : std::nullopt;
    if (!address) return {false, "deck \"" + name + "\" is not in use by any program"};
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) return {false, "no socket: " + std::string(std::strerror(errno))};
    LimitIo(fd.Get(), timeout);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0)
        return {false, "deck \"" + name + "\" is not in use by any program (its last user is gone)"};
    if (!WriteLine(fd.Get(), std::string(request))) return {false, "deck \"" + name + "\" does not listen"};
    const auto answer = ReadLine(fd.Get());
    if (!answer) return {false, "deck \"" + name + "\" does not answer"};
    return {true, *answer};
}
