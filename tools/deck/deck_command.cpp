#include "tools/deck/deck_command.h"

#include <charconv>
#include <filesystem>
#include <optional>

#include "platform/devices/deck_buttons.h"
#include "platform/devices/deck_config.h"
#include "platform/devices/deck_control.h"
#include "platform/devices/tape_file.h"

namespace {

constexpr const char* kUsage =
    "usage: korvanta-deck add --name NAME --tape FILE [--camera] [--id 16HEXDIGITS] [--vendor V] [--model M] "
    "[--speed FACTOR]\n"
    "       korvanta-deck remove NAME\n"
    "       korvanta-deck list\n"
    "       korvanta-deck press NAME play|pause|stop|ff|rew|slow-forward|slow-back|step-forward|step-back\n"
    "       korvanta-deck status NAME\n";

int Usage(std::ostream& err, const std::string& problem) {
    err << "korvanta-deck: " << problem << "\n" << kUsage;
    return kDeckExitUsage;
}

std::string TapeProblem(HRESULT hr) {
    if (hr == VFW_E_FILE_TOO_SHORT) return "holds not even one whole DV frame";
    if (hr == VFW_E_INVALID_FILE_FORMAT) return "is not a raw DV stream";
    return "cannot be read";
}

int Add(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    DeckConfig deck;
    std::optional<std::string> id;
    bool named = false, taped = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--camera") {
            deck.camera = true;
            continue;
        }
        if (i + 1 == args.size()) return Usage(err, option + " needs a value");
        const std::string& value = args[++i];
        if (option == "--name") {
            deck.name = value;
            named = true;
        } else if (option == "--tape") {
            deck.tape = std::filesystem::absolute(value).lexically_normal();
            taped = true;
        } else if (option == "--id") {
            id = value;
        } else if (option == "--vendor") {
            deck.vendor = value;
        } else if (option == "--model") {
            deck.model = value;
        } else if (option == "--speed") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), deck.speed);
            if (error != std::errc() || end != value.data() + value.size()) return Usage(err, "--speed takes a number");
        } else {
            return Usage(err, "unknown option " + option);
        }
    }
    if (!named || !taped) return Usage(err, "add needs --name and --tape");
    if (id) {
        const auto parsed = ParseDeckDeviceId(*id);
        if (!parsed) return Usage(err, "--id takes 16 hexadecimal digits");
        deck.deviceId = *parsed;
    } else {
        deck.deviceId = deck_store::NewDeviceId();
    }
    TapeFile tape;
    if (const HRESULT hr = tape.Open(deck.tape); FAILED(hr)) {
        err << "korvanta-deck: the tape " << deck.tape.string() << " " << TapeProblem(hr) << "\n";
        return kDeckExitFailed;
    }
    std::string why;
    if (!deck_store::Add(deck, &why)) {
        err << "korvanta-deck: " << why << "\n";
        return kDeckExitFailed;
    }
    out << deck.name << "\t" << FormatDeckDeviceId(deck.deviceId) << "\n";
    return kDeckExitDone;
}

int Remove(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "remove takes one deck name");
    if (!deck_store::Remove(args[1])) {
        err << "korvanta-deck: no deck named \"" << args[1] << "\"\n";
        return kDeckExitFailed;
    }
    return kDeckExitDone;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return Usage(err, "list takes no arguments");
    for (const DeckConfig& deck : deck_store::List())
        out << deck.name << "\t" << FormatDeckDeviceId(deck.deviceId) << "\t" << (deck.camera ? "camera" : "vcr")
            << "\t" << deck.tape.string() << "\n";
    return kDeckExitDone;
}

// press and status: one request to the program that uses the deck.
int Control(const std::string& deckName, const std::string& request, std::ostream& out, std::ostream& err) {
    if (!deck_store::Find(deckName)) {
        err << "korvanta-deck: no deck named \"" << deckName << "\"\n";
        return kDeckExitFailed;
    }
    const DeckControlReply reply = SendDeckCommand(deckName, request);
    if (reply.reached && reply.line.starts_with("ok ")) {
        out << reply.line.substr(3) << "\n";
        return kDeckExitDone;
    }
    err << "korvanta-deck: " << (reply.line.starts_with("error ") ? reply.line.substr(6) : reply.line) << "\n";
    return kDeckExitFailed;
}

}  // namespace

int RunDeckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "no command");
    const std::string& command = args[0];
    if (command == "add") return Add(args, out, err);
    if (command == "remove") return Remove(args, err);
    if (command == "list") return List(args, out, err);
    if (command == "press") {
        if (args.size() != 3) return Usage(err, "press takes a deck name and a button");
        if (!ModeOfButton(args[2])) return Usage(err, "no button \"" + args[2] + "\"");
        return Control(args[1], "press " + args[2], out, err);
    }
    if (command == "status") {
        if (args.size() != 2) return Usage(err, "status takes one deck name");
        return Control(args[1], "status", out, err);
    }
    return Usage(err, "unknown command " + command);
}
