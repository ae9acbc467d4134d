#include "render/AnimationQuery.h"

#include "render/SavedGLState.h"

AnimationQuery::AnimationQuery()
{
    if (GLEW_VERSION_1_5)
        glGenQueries(1, &query);
}

AnimationQuery::~AnimationQuery()
{
    if (query != 0)
        glDeleteQueries(1, &query);
}

void AnimationQuery::measure(const BatchedLevel& batches, const std::vector<bool>& animated)
{
    asked = true;
    answer = true;
    if (query == 0)
        return;
    const SavedGLState saved(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_ENABLE_BIT, GL_CLIENT_VERTEX_ARRAY_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_ALPHA_TEST); // a pixel an alpha test drops counts as seen: the safe side
    glDisable(GL_BLEND);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    for (std::size_t g = 0; g < batches.groupCount(); ++g) {
        if (batches.indexCount(g) == 0 || !animated[std::size_t(batches.group(g).texture)])
            continue;
        batches.pointArraysAt(batches.group(g).source);
        glDrawElements(GL_TRIANGLES, GLsizei(batches.indexCount(g)), GL_UNSIGNED_INT, batches.indices(g));
    }
    glEndQuery(GL_SAMPLES_PASSED);
    pending = true;
}

bool AnimationQuery::seen() const
{
    if (pending) {
        GLuint samples = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &samples);
        answer = samples > 0;
        pending = false;
    }
    return asked && answer;
}
