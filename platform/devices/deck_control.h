#pragma once
// How `korvanta-deck press` and `status` reach a deck that a program is
// using: the process holding the deck listens on a Unix socket of its own
// (in $XDG_RUNTIME_DIR/korvanta, else /tmp/korvanta-<uid>) and names it in
// the deck's registry key. A command is one line, the answer one line:
//
//   "press <button>"  ->  "ok <mode> <time code>"  or  "error <why>"
//   "status"          ->  "ok <mode> <time code>"
//
// Both sides give up after a bounded wait, so a hung or dead peer costs at
// most DeckControlClient's time-out; a socket left behind by a process that
// died refuses the connection at once.
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/com/unique_fd.h"

class DeckControlServer {
public:
    // Answers one request line (without its newline) with one answer line.
    using Handler = std::function<std::string(std::string_view request)>;

    // Starts listening for the deck and announces the socket in its registry
    // key. A server that cannot listen stays silent: the deck still works,
    // it just cannot be reached from outside.
    DeckControlServer(std::string deckName, Handler handler);
    // Stops listening, removes the socket and its announcement.
    ~DeckControlServer();
    DeckControlServer(const DeckControlServer&) = delete;
    DeckControlServer& operator=(const DeckControlServer&) = delete;

    bool Listening() const { return static_cast<bool>(listener_); }

private:
    void Serve(std::stop_token stop);
    void Answer(int connection);

    const std::string deckName_;
    const Handler handler_;
    std::string path_;
    UniqueFd listener_;
    std::jthread thread_;  // last: stops before the members it uses go
};

struct DeckControlReply {
    bool reached = false;  // false: no program uses the deck, or it did not answer
    std::string line;      // the answer, or why the deck was not reached
};

// Sends one request to the deck's process and waits at most timeout for the answer.
DeckControlReply SendDeckCommand(std::string_view deckName, std::string_view request,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(2));
