#pragma once
// The korvanta-deck command line, callable in-process for tests:
//
//   add --name NAME --tape FILE [--camera] [--id 16HEXDIGITS] [--vendor V] [--model M] [--speed FACTOR]
//   remove NAME
//   list                       one line per deck: name, identifier, vcr|camera, tape (tab-separated)
//   press NAME BUTTON          play|pause|stop|ff|rew|slow-forward|slow-back|step-forward|step-back
//   status NAME                the mode and the time code under the head, e.g. "play 00:00:12:04"
//
// press and status reach a deck only while a program uses it. Exit codes:
// 0 done, 1 refused or not reached (why goes to err), 2 a malformed command line.
#include <ostream>
#include <string>
#include <vector>

inline constexpr int kDeckExitDone = 0;
inline constexpr int kDeckExitFailed = 1;
inline constexpr int kDeckExitUsage = 2;

int RunDeckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
