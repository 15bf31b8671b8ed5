#pragma once
// Where the registry lives on disk and how it is read and changed.
//
// Each root is one file in the registry folder. Readers take the file as it
// is: writers replace it whole with rename(), so a reader always sees one
// complete version. Writers serialise on an exclusive flock() of a lock file
// in the same folder (between processes and between threads, since each
// writer opens the lock file itself), read the newest version, change it and
// write it to a temporary file that is synced and renamed over the old one.
// A damaged file is never replaced: reads and writes report ERROR_BADDB until
// someone repairs or removes it.
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/com/registry_tree.h"

namespace kvreg {

enum class Root { ClassesRoot, CurrentUser, LocalMachine };

// $KORVANTA_REGISTRY, else $XDG_CONFIG_HOME/korvanta/registry, else
// ~/.config/korvanta/registry; read again at every call, so a changed
// environment takes effect at once.
std::filesystem::path RegistryFolder();

// The current tree of root (empty when its file does not exist yet).
// Returns ERROR_SUCCESS, ERROR_BADDB, ERROR_ACCESS_DENIED or ERROR_CANTREAD.
LONG ReadRoot(Root root, std::shared_ptr<const RegNode>* tree);

// Applies change to the newest tree of root under the writers' lock and
// stores the result when change returns ERROR_SUCCESS; otherwise nothing is
// written and change's code is returned.
LONG ModifyRoot(Root root, const std::function<LONG(RegNode&)>& change);

}  // namespace kvreg
