#pragma once

// A scene of model instances read from a scenery library and its layout.
// Reading scene files is not built yet: every load is refused (logged), so
// the console's LOAD command reports the failure and the game carries on.
class CSCNScene {
public:
    CSCNScene() = default;
    virtual ~CSCNScene() = default;
    CSCNScene(const CSCNScene&) = delete;
    CSCNScene& operator=(const CSCNScene&) = delete;

    // Loads the scene named by its library file; true when loaded. For now
    // always logs the refusal on the 3ME channel and returns false.
    bool Load(const char* fileName);
    // Frees a loaded scene's contents (nothing is ever loaded yet).
    void Release();
};
