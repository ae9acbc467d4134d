#pragma once

#include <GL/glew.h>

// The one way a drawing that must leave GL as it found it does so: the attribute groups named
// are saved when this is made and restored when it goes, whatever path the drawing takes out.
// Drawings that leave state on purpose for the next step say so in their header instead.
class SavedGLState {
public:
    explicit SavedGLState(GLbitfield serverGroups, GLbitfield clientGroups = 0);
    ~SavedGLState();
    SavedGLState(const SavedGLState&) = delete;
    SavedGLState& operator=(const SavedGLState&) = delete;

private:
    const bool savedClient;
};
