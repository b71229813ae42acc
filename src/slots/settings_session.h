// Reading and writing the program's settings so that no setting is lost to another writer:
// a second copy of the program, a script or an installer. Each write leaves alone a value
// that this copy did not change and that someone else has changed since this copy last read
// or wrote it. A copy running alone writes every key, exactly as it always did.
//
// A key a policy holds reads as the policy's text and is never written: the user's own value
// under it stays as it is, and counts again once the policy goes.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/services.h"
#include "slots/policy.h"
#include "slots/settings_layout.h"

namespace td::settings {

// A setting that could not be written: what it is, and the system's reason.
struct SaveFailure {
    std::wstring what;
    std::wstring reason;
};
using SaveFailures = std::vector<SaveFailure>;

// The message that names each failure: the heading, the failures, then what happens now.
std::wstring report(const SaveFailures& failures, const std::wstring& heading,
                    const std::wstring& outcome);

class Session {
public:
    Session(SettingsStore& store, PolicySource& policies) : store_(store), policies_(policies) {}

    // Reads policy again; returns the keys whose held text changed, or that a policy took or
    // let go.
    std::set<std::wstring> readPolicy();
    // Whether a policy holds the key.
    bool held(const Key& key) const { return policy_.find(key.name) != nullptr; }

    // The key's text, or the default when it holds none; remembers what was stored there.
    std::wstring read(const Key& key, const std::wstring& defaultValue);
    // The text this copy would write for the key while its user changes nothing, when that is
    // not the text read (an option shown as "True" that was stored as "1").
    void hold(const Key& key, const std::wstring& text) { seen_[key.name].held = text; }
    // Writes the key, or leaves someone else's value in place (see above); a write that fails
    // is collected, and the next one is still made.
    void write(const Key& key, const std::wstring& value, SaveFailures& failures);

private:
    struct Seen {
        StoredValue stored;  // what the store held when this copy last read or wrote the key
        std::wstring held;   // the text this copy writes back for it, unchanged
    };
    SettingsStore& store_;
    PolicySource& policies_;
    Policy policy_;
    std::map<std::wstring, Seen> seen_;
};

}  // namespace td::settings
