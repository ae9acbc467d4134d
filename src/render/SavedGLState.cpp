#include "render/SavedGLState.h"

SavedGLState::SavedGLState(GLbitfield serverGroups, GLbitfield clientGroups) : savedClient(clientGroups != 0)
{
    glPushAttrib(serverGroups);
    if (savedClient)
        glPushClientAttrib(clientGroups);
}

SavedGLState::~SavedGLState()
{
    if (savedClient)
        glPopClientAttrib();
    glPopAttrib();
}
