#pragma once
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/scene/SceneLog.h"

// Collects every line logged on one channel while alive.
template <int Channel>
class ChannelLogCapture {
public:
    ChannelLogCapture() : previous_(SetSceneLogObserver(Channel, &Collect)) { Lines().clear(); }
    ~ChannelLogCapture() { SetSceneLogObserver(Channel, previous_); }
    ChannelLogCapture(const ChannelLogCapture&) = delete;
    ChannelLogCapture& operator=(const ChannelLogCapture&) = delete;

    const std::vector<std::string>& lines() const { return Lines(); }
    // True when some line equals the text.
    bool Has(const std::string& text) const {
        for (const std::string& line : Lines())
            if (line == text) return true;
        return false;
    }
    // True when some line contains the text.
    bool Contains(const std::string& text) const {
        for (const std::string& line : Lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

private:
    static std::vector<std::string>& Lines() {
        static std::vector<std::string> lines;
        return lines;
    }
    static void Collect(const char* line) { Lines().emplace_back(line); }
    SceneLogObserver previous_;
};

// The model, skeleton and key-frame readers' channel, "3ME".
using LogCapture = ChannelLogCapture<kLog3ME>;
// The animation manager's and sequences' channel, "ANM".
using AnimLogCapture = ChannelLogCapture<kLogANM>;
